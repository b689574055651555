#pragma once
// Fixtures of the dialog host's tests: descriptions written to temporary
// files, and a dialog that runs a script of steps once it is on screen, each
// step after the messages the previous one posted, and ends itself with 99
// if a script forgets to (RunDialog then fails the test).

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "wyn/engine/wyn_engine.h"
#include "wyn/host/wyn_dialog.h"
#include "wyn/testing/test_tree.h"

namespace wyn_test {

// A description in a temporary file, removed when the object goes.
class DescriptionFile {
public:
    explicit DescriptionFile(std::wstring_view body) {
        wchar_t folder[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, folder);
        wchar_t name[MAX_PATH] = {};
        ::GetTempFileNameW(folder, L"wyn", 0, name);
        m_path = name;
        std::wstring xml = L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\n";
        xml.append(body);
        std::ofstream out(std::filesystem::path(m_path), std::ios::binary);
        const char16_t bom = 0xFEFF;
        out.write(reinterpret_cast<const char*>(&bom), 2);
        out.write(reinterpret_cast<const char*>(xml.data()),
                  static_cast<std::streamsize>(xml.size() * sizeof(wchar_t)));
    }
    ~DescriptionFile() { ::DeleteFileW(m_path.c_str()); }
    DescriptionFile(const DescriptionFile&) = delete;
    DescriptionFile& operator=(const DescriptionFile&) = delete;

    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

struct RecordedEvent {
    std::wstring source; // the source's id, "-" without one
    std::wstring name;
};

class ScriptedDialog : public CWynDialog {
public:
    using Step = std::function<void(ScriptedDialog&)>;

    ScriptedDialog(std::wstring source, CWynEngine* engine)
        : CWynDialog(std::move(source), engine) {}

    bool OnInitDialog() override {
        CWynDialog::OnInitDialog();
        m_shown = true;
        ::PostMessageW(Hwnd(), kNextStep, 0, 0);
        ::SetTimer(Hwnd(), kTimeout, 10000, nullptr);
        return true;
    }

    bool PreMessage(HWND window, UINT message, WPARAM wParam, LPARAM, INT_PTR&) override {
        if (message == WM_TIMER && wParam == kTimeout) {
            ::EndDialog(window, 99);
            return true;
        }
        if (message != kNextStep)
            return false;
        if (m_next < steps.size()) {
            steps[m_next++](*this);
            ::PostMessageW(window, kNextStep, 0, 0);
        }
        return true;
    }

    bool CanClose(int reason) override {
        reasons.push_back(reason);
        return allowClose;
    }

    std::int64_t OnEvent(CWynElement* source, std::wstring_view name, WPARAM first,
                         LPARAM second) override {
        events.push_back({source && source->Id() ? *source->Id() : L"-", std::wstring(name)});
        return eventAnswer ? eventAnswer(source, name, first, second) : 0;
    }

    void OnSaveSize(int width, int height) override { savedSize = {width, height}; }

    bool OnMessageFallback(UINT message, CWynElement* element, WPARAM, LPARAM) override {
        fallbacks.push_back({message, element});
        return false;
    }

    // The dialog came on screen, and how many steps of its script ran.
    bool Shown() const noexcept { return m_shown; }
    std::size_t StepsRun() const noexcept { return m_next; }

    // Posts a key press to the control with the focus, as the keyboard would.
    void PressKey(UINT key) {
        HWND target = ::GetFocus();
        if (!target || (target != Hwnd() && !::IsChild(Hwnd(), target)))
            target = Hwnd();
        ::PostMessageW(target, WM_KEYDOWN, key, 1);
        ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    }

    HWND Window(const wchar_t* id) {
        CWynElement* element = FindById(id);
        return element ? element->Hwnd() : nullptr;
    }

    // The rectangle of an element's window in the dialog's client coordinates.
    RECT Placed(const wchar_t* id) {
        RECT r{};
        HWND window = Window(id);
        ::GetWindowRect(window, &r);
        ::MapWindowPoints(HWND_DESKTOP, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    std::vector<Step> steps;
    bool allowClose = true;
    std::vector<int> reasons;
    std::vector<RecordedEvent> events;
    std::function<std::int64_t(CWynElement*, std::wstring_view, WPARAM, LPARAM)> eventAnswer;
    struct Fallback {
        UINT message;
        CWynElement* element;
    };
    std::vector<Fallback> fallbacks;
    SIZE savedSize{};

private:
    static constexpr UINT kNextStep = WM_APP + 17;
    static constexpr UINT_PTR kTimeout = 0x5EED;
    std::size_t m_next = 0;
    bool m_shown = false;
};

// Runs a description given as XML text with `steps`; the last step should end
// the dialog (by default a step that presses Escape is appended). The test
// fails unless the dialog showed, ran every step and was ended by its script,
// not by the timeout: a description that does not load skips no check
// unnoticed.
inline INT_PTR RunDialog(CWynEngine& engine, std::wstring_view xml,
                         std::vector<ScriptedDialog::Step> steps, bool append_escape = true) {
    DescriptionFile file(xml);
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = std::move(steps);
    if (append_escape)
        dialog.steps.push_back([](ScriptedDialog& d) { d.PressKey(VK_ESCAPE); });
    const INT_PTR result = dialog.DoModal(nullptr);
    if (!dialog.Shown()) {
        ADD_FAILURE() << "the dialog never showed: its description did not load";
        return result;
    }
    EXPECT_EQ(dialog.StepsRun(), dialog.steps.size()) << "not every step of the script ran";
    EXPECT_NE(result, 99) << "the timeout ended the dialog, not its script";
    return result;
}

// Dialog units of the dialog `window` to pixels, each way.
inline int HorizontalUnits(HWND window, int units) {
    RECT r{0, 0, units, 0};
    ::MapDialogRect(window, &r);
    return r.right;
}
inline int VerticalUnits(HWND window, int units) {
    RECT r{0, 0, 0, units};
    ::MapDialogRect(window, &r);
    return r.bottom;
}

// COM and the common controls, as the program sets them up at start.
inline void InitPlatform() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&controls);
}

} // namespace wyn_test
