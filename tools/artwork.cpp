// Draws the program's images and icon into res/.
//
// Run by hand after changing a painter, from the repository root:
//   cmake --preset native && cmake --build build/native --target kelvo-artwork &&
//   build/native/tools/kelvo-artwork res
// and commit the changed files in res/.

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tools/artwork_icons.h"
#include "tools/artwork_kit.h"
#include "tools/ico_file.h"

namespace kelvo::tools {
namespace {

using Painter = void (*)(cairo_t*, int, int);

// An image drawn at its design size into "<stem>.png" and, for the scalings
// it is shown at, at each of `variants` pixels into "<stem><side>.png" (the
// program picks the smallest variant at least as large as it needs). Painters
// that take their size draw each variant themselves; the others draw on
// their design grid, scaled.
struct Artwork {
    const char* stem;
    int width;
    int height;
    Painter paint;
    bool sized = false;
    std::vector<int> variants = {};
};

const Artwork kImages[] = {
    {"list-all-tags", 16, 16, PaintAllTags, false, {20, 24, 32}},
    {"list-tag", 16, 16, PaintTag, false, {20, 24, 32}},
    {"encrypted", 24, 24, PaintPadlock, false, {32, 48}},
    {"tb-add", 32, 32, PaintAddChunk, false, {40, 48, 64}},
    {"tb-edit", 32, 32, PaintEditChunk, false, {40, 48, 64}},
    {"tb-delete", 32, 32, PaintDeleteChunk, false, {40, 48, 64}},
    {"settings", 32, 32, PaintSettings, false, {40, 48, 64}},
    {"paste", 32, 32, PaintPaste, false, {40, 48, 64}},
    {"delhkicon", 24, 24, PaintClearMark, true, {16, 20, 32}},
    {"delhkbg", 24, 72, PaintClearBackground, true},
    {"error", 48, 48, PaintError, false, {64, 96}},
    {"password", 48, 48, PaintKey, false, {64, 96}},
    {"logo", 64, 64, PaintAppMark, true, {80, 96, 128}},
};

// The small icon at 100, 125 and 150 % scaling (16, 20, 24), the large one at
// 100 and 125 % (32, 40), the shell's 48 and 256.
const int kIconSizes[] = {16, 20, 24, 32, 40, 48, 256};

// Draws at `width` x `height`; a painter that does not take its size draws
// at `design_width` x `design_height`, scaled.
UniqueSurface Render(int width, int height, Painter paint, int design_width = 0,
                     int design_height = 0) {
    UniqueSurface surface{cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)};
    UniqueContext cr{cairo_create(surface.get())};
    if (design_width > 0 && design_height > 0) {
        cairo_scale(cr.get(), static_cast<double>(width) / design_width,
                    static_cast<double>(height) / design_height);
        paint(cr.get(), design_width, design_height);
    } else {
        paint(cr.get(), width, height);
    }
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
        std::vector<std::pair<std::string, UniqueSurface>> files;
        files.emplace_back(art.stem, Render(art.width, art.height, art.paint));
        for (int side : art.variants)
            files.emplace_back(std::string(art.stem) + std::to_string(side),
                               art.sized ? Render(side, side, art.paint)
                                         : Render(side, side, art.paint, art.width, art.height));
        for (const auto& [name, surface] : files) {
            const std::string path = folder + "/" + name + ".png";
            if (!surface ||
                cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
                std::fprintf(stderr, "kelvo-artwork: cannot write %s\n", path.c_str());
                return false;
            }
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
