// wynview: shows a dialog description with the real dialog engine and prints
// the events it raises; with --screenshot it saves the dialog, once laid out
// and painted, to a PNG file and ends. The drawn elements, which show only
// what their dialog draws, are drawn here as samples: a button as a framed
// box with its id, a list with a few rows of mixed heights.
//
//   wynview <source> [--screenshot <file.png>]
//
// <source> is "res:" and the name of a description carried in this program
// (the program's own, e.g. "res:settings.xml") or a file path. Exit code: the
// dialog's result (1 accepted, 2 cancelled); with --screenshot 0 once the
// file is written; 3 for a wrong command line, 4 when the description cannot
// be shown, 5 when the capture fails.

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "base/win_handles.h"
#include "draw/paint_buffer.h"
#include "tools/wynview/window_capture.h"
#include "ui/custom_button.h"
#include "ui/custom_list.h"
#include "ui/kv_wyn_engine.h"
#include "wyn/host/wyn_dialog.h"

namespace {

constexpr int kUsage = 3;
constexpr int kNotShown = 4;
constexpr int kCaptureFailed = 5;
// Ends the dialog after a capture; no dialog ends with it otherwise.
constexpr int kCaptured = 1000;
constexpr int kSampleRows = 12;

std::wstring IdOf(const CWynElement* element) {
    return element && element->Id() ? *element->Id() : L"-";
}

// The sample look of the drawn elements.
namespace sample {

HFONT Font() {
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void Text(HDC dc, const std::wstring& text, RECT r, UINT format, COLORREF colour) {
    kelvo::SelectedObject font(dc, Font());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

SIZE ButtonSize(const std::wstring& id) {
    kelvo::WindowDc dc(nullptr);
    kelvo::SelectedObject font(dc.Get(), Font());
    SIZE text{};
    ::GetTextExtentPoint32W(dc.Get(), id.c_str(), static_cast<int>(id.size()), &text);
    return {text.cx + 16, text.cy + 12};
}

void Button(kelvo::CPaintContext& context, const CWynCustomButton::PaintRecord& record,
            const std::wstring& id) {
    using State = CWynCustomButton::State;
    const RECT& r = record.client;
    context.SetColour(::GetSysColor(record.state == State::kPressed ? COLOR_BTNSHADOW
                                    : record.state == State::kHot   ? COLOR_BTNHIGHLIGHT
                                                                   : COLOR_BTNFACE));
    cairo_t* cr = context.Cairo();
    if (!cr)
        return;
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(cr);
    context.SetColour(::GetSysColor(COLOR_BTNSHADOW));
    cairo_set_line_width(cr, 1.0);
    context.InsetRectangle(r, 1.0);
    cairo_stroke(cr);
    context.Flush();
    Text(context.Dc(), id, r, DT_CENTER, ::GetSysColor(COLOR_BTNTEXT));
}

std::uint32_t RowHeight(std::uintptr_t row) {
    return 18 + static_cast<std::uint32_t>(row % 3) * 8;
}

void Row(kelvo::CPaintContext& context, const CWynCustomList::DrawRecord& record,
         const std::wstring& id) {
    const bool selected = record.state & CWynCustomList::kSelected;
    HDC dc = context.Dc();
    if (selected)
        ::FillRect(dc, &record.rect, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    RECT text = record.rect;
    text.left += 4;
    Text(dc, id + L" " + std::to_wstring(record.data + 1), text, DT_LEFT,
         ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
}

// Fills every list below `element` with the sample rows, the first selected.
void FillLists(CWynElement& element) {
    if (auto* list = dynamic_cast<CWynCustomList*>(&element)) {
        for (int i = 0; i < kSampleRows; ++i)
            list->AddItem(static_cast<std::uintptr_t>(i));
        list->RecalculateHeights();
        list->SelectItem(0);
    }
    for (const auto& child : element.Children())
        FillLists(*child);
}

} // namespace sample

// The application's engine, in viewer mode: elements meant for viewing only act.
class CViewerEngine : public CkvWynEngine {
public:
    using CkvWynEngine::CkvWynEngine;
    bool IsViewerMode() override { return true; }
};

class CViewerDialog : public CWynDialog {
public:
    CViewerDialog(std::wstring source, CWynEngine* engine, const wchar_t* screenshot)
        : CWynDialog(std::move(source), engine), m_screenshot(screenshot) {}

    bool OnInitDialog() override {
        CWynDialog::OnInitDialog();
        sample::FillLists(*this);
        // Captured once the window is on screen and has painted.
        if (m_screenshot)
            ::SetTimer(Hwnd(), kCaptureTimer, 300, nullptr);
        return true;
    }

    bool PreMessage(HWND window, UINT message, WPARAM wParam, LPARAM, INT_PTR&) override {
        if (message != WM_TIMER || wParam != kCaptureTimer)
            return false;
        ::KillTimer(window, kCaptureTimer);
        ::RedrawWindow(window, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const bool saved = kelvo::CaptureWindowToPng(window, m_screenshot);
        std::wprintf(saved ? L"screenshot %ls\n" : L"screenshot failed %ls\n", m_screenshot);
        ::EndDialog(window, saved ? kCaptured : kCaptureFailed);
        return true;
    }

    std::int64_t OnEvent(CWynElement* source, std::wstring_view name, WPARAM first,
                         LPARAM second) override {
        const std::wstring id = IdOf(source);
        std::wprintf(L"event %ls %.*ls %llu %lld\n", id.c_str(), static_cast<int>(name.size()),
                     name.data(), static_cast<unsigned long long>(first),
                     static_cast<long long>(second));
        std::fflush(stdout);
        if (name == L"custombtn-getsize") {
            *reinterpret_cast<SIZE*>(first) = sample::ButtonSize(id);
        } else if (name == L"custombtn-paint") {
            sample::Button(*reinterpret_cast<kelvo::CPaintContext*>(first),
                           *reinterpret_cast<const CWynCustomButton::PaintRecord*>(second), id);
        } else if (name == L"customlst-getheight") {
            auto* record = reinterpret_cast<CWynCustomList::MeasureRecord*>(second);
            record->height = sample::RowHeight(record->data);
        } else if (name == L"customlst-drawitem") {
            sample::Row(*reinterpret_cast<kelvo::CPaintContext*>(first),
                        *reinterpret_cast<const CWynCustomList::DrawRecord*>(second), id);
        } else {
            return 0;
        }
        return 1;
    }

private:
    static constexpr UINT_PTR kCaptureTimer = 1;
    const wchar_t* m_screenshot;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    const wchar_t* screenshot = nullptr;
    if (argc == 4 && std::wstring_view(argv[2]) == L"--screenshot")
        screenshot = argv[3];
    else if (argc != 2) {
        std::fwprintf(stderr, L"usage: wynview <source> [--screenshot <file.png>]\n");
        return kUsage;
    }

    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                        ICC_DATE_CLASSES | ICC_USEREX_CLASSES};
    ::InitCommonControlsEx(&controls);
    kelvo::UniqueHmodule rich_edit(::LoadLibraryW(L"Riched20.dll"));

    INT_PTR result = 0;
    {
        CViewerEngine engine(::GetModuleHandleW(nullptr));
        CViewerDialog dialog(argv[1], &engine, screenshot);
        result = dialog.DoModal(nullptr);
        if (result == kCaptured) {
            result = 0;
        } else if (result <= 0) {
            std::fwprintf(stderr, L"wynview: cannot show %ls\n", argv[1]);
            result = kNotShown;
        }
    }
    std::wprintf(L"result %lld\n", static_cast<long long>(result));
    ::OleUninitialize();
    return static_cast<int>(result);
}
