// Draws the program's images and icon into res/.
//
// Run by hand after changing a painter, from the repository root:
//   cmake --preset native && cmake --build build/native --target kelvo-artwork &&
//   build/native/tools/kelvo-artwork res
// and commit the changed files in res/.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/artwork_icons.h"
#include "tools/artwork_kit.h"
#include "tools/ico_file.h"

namespace kelvo::tools {
namespace {

using Painter = void (*)(cairo_t*, int, int);

struct Artwork {
    const char* file;
    int width;
    int height;
    Painter paint;
};

const Artwork kImages[] = {
    {"list-all-tags.png", 16, 16, PaintAllTags}, {"list-tag.png", 16, 16, PaintTag},
    {"encrypted.png", 24, 24, PaintPadlock},     {"tb-add.png", 32, 32, PaintAddChunk},
    {"tb-edit.png", 32, 32, PaintEditChunk},     {"tb-delete.png", 32, 32, PaintDeleteChunk},
    {"settings.png", 32, 32, PaintSettings},     {"paste.png", 32, 32, PaintPaste},
    {"delhkicon.png", 24, 24, PaintClearMark},   {"delhkicon20.png", 20, 20, PaintClearMark},
    {"delhkicon16.png", 16, 16, PaintClearMark}, {"delhkbg.png", 24, 72, PaintClearBackground},
    {"error.png", 48, 48, PaintError},           {"password.png", 48, 48, PaintKey},
    {"logo.png", 64, 64, PaintAppMark},
};

const int kIconSizes[] = {16, 32, 48, 256};

UniqueSurface Render(int width, int height, Painter paint) {
    UniqueSurface surface{cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)};
    UniqueContext cr{cairo_create(surface.get())};
    paint(cr.get(), width, height);
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    cairo_surface_flush(surface.get());
    return surface;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool Generate(const std::string& folder) {
    for (const Artwork& art : kImages) {
        auto surface = Render(art.width, art.height, art.paint);
        std::string path = folder + "/" + art.file;
        if (!surface ||
            cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "kelvo-artwork: cannot write %s\n", path.c_str());
            return false;
        }
    }

    std::vector<UniqueSurface> icons;
    std::vector<cairo_surface_t*> images;
    for (int size : kIconSizes) {
        icons.push_back(Render(size, size, PaintAppMark));
        images.push_back(icons.back().get());
    }
    std::string path = folder + "/kelvo.ico";
    auto ico = BuildIcoFile(images);
    if (ico.empty() || !WriteFile(path, ico)) {
        std::fprintf(stderr, "kelvo-artwork: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace
} // namespace kelvo::tools

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelvo-artwork <output folder>\n");
        return 2;
    }
    return kelvo::tools::Generate(argv[1]) ? 0 : 1;
}
