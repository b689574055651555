#pragma once
// The dialog engine: makes element objects from description names, draws the
// images that elements name, and holds the table of localised texts.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CWynElement;

class CWynEngine {
public:
    // Resources (descriptions, images) are loaded from `module`.
    explicit CWynEngine(HINSTANCE module) noexcept;
    CWynEngine(const CWynEngine&) = delete;
    CWynEngine& operator=(const CWynEngine&) = delete;

    // The engine operations, in their fixed slot order.
    virtual ~CWynEngine();
    // A new element for a description name (any case), neither parsed nor
    // attached; none for an unknown name or when memory runs out.
    virtual std::unique_ptr<CWynElement> CreateElement(std::wstring_view name, CWynElement* parent);
    virtual void DrawImage(HDC dc, int x, int y, int width, int height, const wchar_t* image);
    virtual void DrawImageGray(HDC dc, int x, int y, int width, int height, const wchar_t* image);
    // One frame of a strip of `frame_count` frames (0: the whole image) drawn
    // as a stretchable skin.
    virtual void DrawImageSkin(HDC dc, int x, int y, int width, int height, const wchar_t* image,
                               int frame_count, int frame_index, bool frames_side_by_side);
    virtual void OpenHelp(HWND window, const wchar_t* topic, LPARAM reserved);
    virtual bool IsViewerMode();

    // The text for (key, attribute) from the text table, or `default_text`.
    // A null attribute means none.
    const wchar_t* GetString(std::wstring_view key, const wchar_t* attribute,
                             const wchar_t* default_text) const;
    // The first entry whose key equals `key` in any case and whose attribute
    // name is absent on both sides or present on both and equal in any case.
    const std::wstring* Lookup(std::wstring_view key, const wchar_t* attribute) const;
    // Appends an entry; earlier entries win over later ones with the same key.
    void AddString(std::wstring key, std::optional<std::wstring> attribute, std::wstring text);

    HINSTANCE Module() const noexcept { return m_module; }

private:
    struct TextEntry {
        std::wstring key;
        std::optional<std::wstring> attribute;
        std::wstring text;
    };

    HINSTANCE m_module;
    std::vector<TextEntry> m_strings;
};
