#include "ui/colored_text_box.h"

#include <richedit.h>
#include <richole.h>
#include <tom.h>

#include <algorithm>
#include <string>
#include <utility>

#include "base/com.h"
#include "base/utf16.h"
#include "base/win_handles.h"
#include "paste/key_tokens.h"
#include "paste/token_runs.h"

namespace {

// The text's face: 16 pixels high at 96 DPI (12 points, 240 twips).
constexpr wchar_t kFace[] = L"Courier New";
constexpr int kFacePixels = 16;

CHARFORMAT2W RunFormat(bool token) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR | CFM_BOLD | CFM_ITALIC;
    format.crTextColor = token ? RGB(0, 136, 0) : RGB(0, 0, 0);
    format.dwEffects = token ? CFE_BOLD : 0;
    return format;
}

// The rich edit's text object model; null where the control does not offer it.
kelvo::ComPtr<ITextDocument> TextDocument(HWND edit) {
    static constexpr IID kTextDocument = {
        0x8CC497C0, 0xA1DF, 0x11CE, {0x80, 0x98, 0x00, 0xAA, 0x00, 0x47, 0xBE, 0x5D}};
    kelvo::ComPtr<IRichEditOle> ole;
    ::SendMessageW(edit, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(ole.Put()));
    return ole ? ole.Query<ITextDocument>(kTextDocument) : kelvo::ComPtr<ITextDocument>();
}

// The text the control shows, a line break as one character (as positions in
// the control count it), read once into wiped storage: it may be a secret.
kelvo::WipedString<char16_t> ShownText(HWND edit) {
    kelvo::WipedString<char16_t> text;
    const int length = ::GetWindowTextLengthW(edit);
    if (length <= 0)
        return text;
    text.Resize(static_cast<std::size_t>(length));
    const int read = ::GetWindowTextW(edit, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    const auto end = std::remove(text.data(), text.data() + std::max(read, 0), u'\r');
    text.Resize(static_cast<std::size_t>(end - text.data()));
    return text;
}

} // namespace

CUndoSuspension::CUndoSuspension(HWND edit) : CUndoSuspension(edit, Way::kTextObjectModel) {}

CUndoSuspension::CUndoSuspension(HWND edit, Way way) : m_edit(edit), m_way(way) {
    if (m_way == Way::kTextObjectModel) {
        // Not every control knows tomSuspend (its documentation names only
        // tomFalse and tomTrue, and tomFalse empties the history): where it
        // is refused, the undo limit is used. A control that suspends may
        // answer S_FALSE, as it does for an undo count not reached.
        m_document = TextDocument(edit);
        if (!m_document || FAILED(m_document->Undo(tomSuspend, nullptr))) {
            m_document = nullptr;
            m_way = Way::kUndoLimit;
        }
    }
    // With no room in the history nothing is added to it; what it holds stays.
    if (m_way == Way::kUndoLimit)
        ::SendMessageW(m_edit, EM_SETUNDOLIMIT, 0, 0);
}

CUndoSuspension::~CUndoSuspension() {
    if (m_way == Way::kTextObjectModel)
        m_document->Undo(tomResume, nullptr);
    else
        ::SendMessageW(m_edit, EM_SETUNDOLIMIT, kUndoLimit, 0);
}

bool CColoredTextBox::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"codedit", name, element);
}

void CColoredTextBox::Create() {
    CWynRTF::Create();
    if (!m_hWnd)
        return;
    ::SendMessageW(m_hWnd, EM_SETWORDWRAPMODE, WBF_WORDBREAK, 0);
    ::SendMessageW(m_hWnd, EM_SETEVENTMASK, 0, ENM_CHANGE);
    // Set, not assumed: colouring may lower it for a moment and puts this back.
    ::SendMessageW(m_hWnd, EM_SETUNDOLIMIT, CUndoSuspension::kUndoLimit, 0);
    kelvo::CWindowSubclass::Install<&CColoredTextBox::OnEditMessage, &CColoredTextBox::m_typing>(
        m_hWnd, *this);
}

void CColoredTextBox::UpdatePixels() {
    CWynRTF::UpdatePixels();
    if (!m_hWnd)
        return;
    CHARFORMAT2W face{};
    face.cbSize = sizeof face;
    face.dwMask = CFM_FACE | CFM_SIZE;
    face.bPitchAndFamily = FIXED_PITCH;
    wcscpy_s(face.szFaceName, kFace);
    // The control turns points into pixels at the system's DPI, so the size
    // is given in points at that DPI.
    const UINT system_dpi = ::GetDpiForSystem();
    face.yHeight = ::MulDiv(kFacePixels * 15, static_cast<int>(GetDpi()),
                            static_cast<int>(system_dpi > 0 ? system_dpi : 96));
    ::SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&face));
}

SIZE CColoredTextBox::TextRoom(int columns, int lines) const {
    LOGFONTW face{};
    face.lfHeight = -::MulDiv(kFacePixels, static_cast<int>(GetDpi()), USER_DEFAULT_SCREEN_DPI);
    face.lfPitchAndFamily = FIXED_PITCH;
    wcscpy_s(face.lfFaceName, kFace);
    const kelvo::UniqueHfont font(::CreateFontIndirectW(&face));
    const kelvo::WindowDc dc(m_hWnd);
    const kelvo::SelectedObject selected(dc.Get(), font.Get());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    return {columns * metrics.tmAveCharWidth, lines * metrics.tmHeight};
}

void CColoredTextBox::SetTextValue(const wchar_t* text) {
    CWynRTF::SetTextValue(text);
    // A new text in the default look: all of it is formatted.
    m_shown = {};
    Colour();
}

LRESULT CColoredTextBox::OnCommand(int code, int control_id, HWND window) {
    if (code == EN_CHANGE && !m_settingText) {
        Colour();
        OfferCompletion();
    }
    return CWynRTF::OnCommand(code, control_id, window);
}

void ColourTokens(HWND edit, kelvo::TokenLook& shown, kelvo::TypedSpan typed) {
    kelvo::WipedString<char16_t> text = ShownText(edit);
    if (text.empty()) {
        shown = {};
        return;
    }
    ::SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
    CHARRANGE selection{};
    ::SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    {
        // Formats are not the user's edits: they stay out of the undo history.
        const CUndoSuspension suspension(edit);
        if (shown.text.empty()) {
            // Nothing known: all of it plain at once, then the token runs.
            CHARFORMAT2W format = RunFormat(false);
            ::SendMessageW(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
            shown = {kelvo::WipedString<char16_t>(text.view()),
                     std::vector<bool>(text.size(), false)};
        }
        kelvo::TokenLook wanted = kelvo::LookOf(std::move(text));
        for (const kelvo::TextRun& run : kelvo::RunsToFormat(shown, wanted, typed)) {
            CHARRANGE range{static_cast<LONG>(run.start),
                            static_cast<LONG>(run.start + run.length)};
            ::SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
            CHARFORMAT2W format = RunFormat(run.token);
            ::SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION,
                           reinterpret_cast<LPARAM>(&format));
        }
        // The old look's text goes, wiped.
        shown = std::move(wanted);
    }
    ::SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    ::SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(edit, nullptr, TRUE);
}

LRESULT CColoredTextBox::OnEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REDO:
    case EM_REPLACESEL:
    case EM_PASTESPECIAL: {
        CHARRANGE selection{};
        ::SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        m_typedFrom = selection.cpMin;
        break;
    }
    default:
        break;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

void CColoredTextBox::Colour() {
    if (!m_hWnd)
        return;
    // What was typed or pasted ends at the caret. A change no noted message
    // brought (a drop, which only inserts) is told by the texts alone.
    kelvo::TypedSpan typed;
    if (m_typedFrom) {
        CHARRANGE selection{};
        ::SendMessageW(m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        typed = {static_cast<std::size_t>(std::min(*m_typedFrom, selection.cpMax)),
                 static_cast<std::size_t>(selection.cpMax)};
        m_typedFrom.reset();
    }
    // The control's own changes are not the user's.
    const bool was_setting = m_settingText;
    m_settingText = true;
    ColourTokens(m_hWnd, m_shown, typed);
    m_settingText = was_setting;
}

void CColoredTextBox::OfferCompletion() {
    DWORD caret = 0;
    ::SendMessageW(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    if (caret == 0 || m_completion.IsOpen())
        return;
    wchar_t before[2] = {};
    TEXTRANGEW range{{static_cast<LONG>(caret - 1), static_cast<LONG>(caret)}, before};
    if (::SendMessageW(m_hWnd, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)) != 1 ||
        before[0] != L'[')
        return;
    std::vector<std::wstring> items;
    for (std::u16string_view item : kelvo::kBracketCompletions)
        items.emplace_back(kelvo::AsWide(item));
    m_completion.Open(m_hWnd, std::move(items));
}
