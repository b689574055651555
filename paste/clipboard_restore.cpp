#include "paste/clipboard_restore.h"

#include <cstddef>
#include <cstring>

#include "paste/clipboard.h"

namespace kelvo {

namespace {

// How a format's data is held: most formats are movable memory; a few are
// GDI objects, which the clipboard hands out as handles to be copied.
enum class Kind { kNone, kMemory, kBitmap, kPalette, kEnhMetafile, kMetafilePicture };

Kind KindOf(UINT format) {
    switch (format) {
    case CF_BITMAP:
    case CF_DSPBITMAP:
        return Kind::kBitmap;
    case CF_PALETTE:
        return Kind::kPalette;
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE:
        return Kind::kEnhMetafile;
    case CF_METAFILEPICT:
    case CF_DSPMETAFILEPICT:
        return Kind::kMetafilePicture;
    case CF_OWNERDISPLAY:
        // Drawn by its owner, which the copy no longer is.
        return Kind::kNone;
    default:
        // The private and GDI-object ranges hold handles that mean something
        // only inside the program that put them there.
        if ((format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST) ||
            (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST))
            return Kind::kNone;
        return Kind::kMemory;
    }
}

template <typename T> void Append(SecureBytes& bytes, const T& value) {
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&value);
    bytes.insert(bytes.end(), raw, raw + sizeof value);
}

} // namespace

void CClipboardRestore::Remember(HWND owner) {
    if (m_pending && ::GetClipboardOwner() == owner) {
        WipeOwnClipboardText(); // a secret before, which is emptied next
        return;
    }
    Drop();
    for (UINT format = ::EnumClipboardFormats(0); format; format = ::EnumClipboardFormats(format)) {
        if (KindOf(format) == Kind::kNone)
            continue;
        // Null when its owner would not render it: nothing to keep then.
        HANDLE data = ::GetClipboardData(format);
        Saved saved{format, {}, {}};
        if (data && Save(format, data, saved))
            m_formats.push_back(std::move(saved));
    }
    m_pending = true;
}

bool CClipboardRestore::Save(UINT format, HANDLE data, Saved& saved) {
    switch (KindOf(format)) {
    case Kind::kBitmap:
        saved.bitmap.Reset(static_cast<HBITMAP>(::CopyImage(data, IMAGE_BITMAP, 0, 0, 0)));
        return static_cast<bool>(saved.bitmap);
    case Kind::kPalette: {
        WORD count = 0;
        if (!::GetObjectW(data, sizeof count, &count) || !count)
            return false;
        saved.bytes.resize(offsetof(LOGPALETTE, palPalEntry) + count * sizeof(PALETTEENTRY));
        auto* palette = reinterpret_cast<LOGPALETTE*>(saved.bytes.data());
        palette->palVersion = 0x300;
        palette->palNumEntries = count;
        return ::GetPaletteEntries(static_cast<HPALETTE>(data), 0, count, palette->palPalEntry) ==
               count;
    }
    case Kind::kEnhMetafile: {
        const auto metafile = static_cast<HENHMETAFILE>(data);
        const UINT size = ::GetEnhMetaFileBits(metafile, 0, nullptr);
        saved.bytes.resize(size);
        return size && ::GetEnhMetaFileBits(metafile, size, saved.bytes.data()) == size;
    }
    case Kind::kMetafilePicture: {
        LockedGlobal<const METAFILEPICT> picture(data);
        if (!picture || ::GlobalSize(data) < sizeof(METAFILEPICT))
            return false;
        METAFILEPICT header = *picture.Get();
        const UINT size = ::GetMetaFileBitsEx(header.hMF, 0, nullptr);
        if (!size)
            return false;
        header.hMF = nullptr;
        Append(saved.bytes, header);
        saved.bytes.resize(sizeof header + size);
        return ::GetMetaFileBitsEx(picture.Get()->hMF, size, saved.bytes.data() + sizeof header) ==
               size;
    }
    case Kind::kMemory: {
        const std::size_t size = ::GlobalSize(data);
        LockedGlobal<const std::uint8_t> bytes(data);
        if (!size || !bytes)
            return false;
        saved.bytes.assign(bytes.Get(), bytes.Get() + size);
        return true;
    }
    case Kind::kNone:
        break;
    }
    return false;
}

bool CClipboardRestore::Restore(HWND owner, bool wait) {
    if (!m_pending)
        return true;
    if (wait) {
        PasteClipboardSession clipboard(owner);
        return clipboard && PutBack(owner);
    }
    ClipboardSession clipboard(owner);
    return clipboard && PutBack(owner);
}

bool CClipboardRestore::PutBack(HWND owner) {
    if (::GetClipboardOwner() == owner) {
        WipeOwnClipboardText(); // a secret run, which emptying frees unwiped
        if (::EmptyClipboard())
            for (Saved& saved : m_formats)
                Put(saved);
    }
    Drop();
    return true;
}

bool CClipboardRestore::Put(Saved& saved) {
    const auto to_clipboard = [&](HANDLE handle) {
        return handle && ::SetClipboardData(saved.format, handle) != nullptr;
    };
    switch (KindOf(saved.format)) {
    case Kind::kBitmap:
        if (!to_clipboard(saved.bitmap.Get()))
            return false;
        saved.bitmap.Release(); // the clipboard's now
        return true;
    case Kind::kPalette: {
        UniqueGdi palette(::CreatePalette(reinterpret_cast<const LOGPALETTE*>(saved.bytes.data())));
        if (!to_clipboard(palette.Get()))
            return false;
        palette.Release();
        return true;
    }
    case Kind::kEnhMetafile: {
        HENHMETAFILE metafile =
            ::SetEnhMetaFileBits(static_cast<UINT>(saved.bytes.size()), saved.bytes.data());
        if (to_clipboard(metafile))
            return true;
        if (metafile)
            ::DeleteEnhMetaFile(metafile);
        return false;
    }
    case Kind::kMetafilePicture: {
        METAFILEPICT header;
        std::memcpy(&header, saved.bytes.data(), sizeof header);
        header.hMF = ::SetMetaFileBitsEx(static_cast<UINT>(saved.bytes.size() - sizeof header),
                                         saved.bytes.data() + sizeof header);
        if (header.hMF && PutClipboardBlock(saved.format, sizeof header, [&](void* block) {
                std::memcpy(block, &header, sizeof header);
            }))
            return true;
        if (header.hMF)
            ::DeleteMetaFile(header.hMF);
        return false;
    }
    case Kind::kMemory:
        return PutClipboardBlock(saved.format, saved.bytes.size(), [&](void* block) {
            std::memcpy(block, saved.bytes.data(), saved.bytes.size());
        });
    case Kind::kNone:
        break;
    }
    return false;
}

void CClipboardRestore::Drop() noexcept {
    m_formats.clear(); // each one's bytes wipe themselves; copies of bitmaps are freed
    m_pending = false;
}

} // namespace kelvo
