#pragma once
// The root element of every description and the host of its window: builds
// the dialog template from the dialog's attributes, runs the dialog modally
// (or, inside another dialog, as a child dialog), creates and lays out the
// element windows, routes control notifications to the elements that own the
// controls and delivers the resulting events to the application's dialog
// class, which derives from this one.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/win_handles.h"
#include "wyn/engine/dialog_units.h"
#include "wyn/engine/wyn_element.h"
#include "wyn/host/data_exchange.h"
#include "wyn/host/wyn_context_help.h"

class CWynDialog : public CWynElement {
public:
    // Why a dialog is asked whether it may end.
    enum CloseReason : int { kCloseBox = 0, kAccept = IDOK, kCancel = IDCANCEL };

    // A top-level dialog on the description `source`: "res:" and a resource
    // name, or a file path.
    CWynDialog(std::wstring source, CWynEngine* engine, CWynElement* parent = nullptr);
    // A dialog nested in a description: a child dialog in its parent's window.
    CWynDialog(CWynElement* parent, CWynEngine* engine);
    ~CWynDialog() override;

    // Element operations.
    bool IsType(std::wstring_view name, CWynElement*& element) override;
    // A nested dialog lays its children out in its own client area.
    void CalculateLayout(const Rect& rect, CWynLayout& layout) const override;
    bool Parse(IXMLDOMNode* node) override;
    // A nested dialog creates its window here; its children are created by
    // its initialisation.
    void Create() override;
    int NextControlId() override;
    // Made when the window is initialised, and again for each new DPI.
    HFONT GetFont() const override;
    // A top-level dialog: the spacing and margins it gives its content; a
    // nested one: its margins.
    void UpdatePixels() override;
    // Set when the window is initialised: the DPI of the window's monitor
    // (or the one SetDpi asked for), then each new one it is moved to.
    UINT GetDpi() const override;
    // By the dialog's own font at its DPI once the window exists.
    RECT UnitsToPixels(RECT units) const override;

    // The dialog operations, in their fixed slot order.

    // Creates and lays out the element windows and places the window.
    virtual bool OnInitDialog();
    // Asked before the dialog ends: kAccept (OK, Enter), kCancel (Cancel,
    // Escape) or kCloseBox. The base agrees.
    virtual bool CanClose(int reason);
    virtual void OnNotifyDefault(CWynElement* element, int control_id, NMHDR* record);
    // Ends the dialog for the ids of OK and Cancel when CanClose agrees.
    virtual bool OnCommandDefault(CWynElement* element, int code, int control_id, HWND control);
    // Offered every message first; true returns `result` (1 unless changed) at once.
    virtual bool PreMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            INT_PTR& result);
    virtual CWynElement* GetDefaultButton();
    virtual int AdjustWidth(int width);
    virtual int AdjustHeight(int height);
    // The outer window size when the window goes.
    virtual void OnSaveSize(int width, int height);
    // The context-help tip with `tag` (none: the untagged one) beside the
    // element with the id `control_id`.
    virtual void ShowTip(const wchar_t* control_id, const wchar_t* tag);
    virtual int AdjustFontSize(int points);
    // save: controls to variables.
    virtual void DoDataExchange(bool save, CWynElement* scope);
    // Before any element window exists.
    virtual void OnBeforeInit();
    // WM_COMMAND and WM_NOTIFY that the element declined, before the defaults.
    virtual bool OnMessageFallback(UINT message, CWynElement* element, WPARAM wParam,
                                   LPARAM lParam);

    // Before DoModal: lays the dialog out for `dpi` instead of the DPI of the
    // monitor it opens on (a preview at another scaling, tests).
    void SetDpi(UINT dpi) noexcept { m_requestedDpi = dpi; }

    // Loads the description and runs the dialog: 1 after accept, 2 after
    // cancel or close, 0 when the description cannot be loaded (nothing is
    // shown) or the dialog was shown before, -1 when the window cannot be made.
    INT_PTR DoModal(HWND owner);

    // The exchange services for DoDataExchange.
    void Exchange(bool save, const CWynExchange& record, CWynElement* scope = nullptr);

    const std::optional<std::wstring>& Caption() const noexcept { return m_caption; }
    DWORD Style() const noexcept { return m_style; }
    DWORD ExStyle() const noexcept { return m_exStyle; }
    // The outer size found at initialisation, below which a resizable dialog
    // cannot be dragged.
    SIZE MinOuterSize() const noexcept { return m_minOuterSize; }
    CWynContextHelp& ContextHelp() noexcept { return m_contextHelp; }
    // A top-level dialog with the "resizing" border; nested dialogs are sized
    // by their parent's layout.
    bool IsResizable() const noexcept { return !m_parent && m_border == kBorderResizing; }

protected:
    // The answer to DM_GETDEFID before GetDefaultButton is asked.
    CWynElement* m_defaultButton = nullptr;

private:
    enum Border : int { kBorderNone, kBorderThin, kBorderResizing, kBorderDialogFrame };

    // The dialog procedure, which binds the dialog window to this object
    // (base/window_binding.h) and hands its messages to HandleMessage.
    static DLGPROC DialogProc() noexcept;
    INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleCommand(WPARAM wParam, LPARAM lParam);
    INT_PTR HandleNotify(WPARAM wParam, LPARAM lParam);
    // Raises `name` on `element`; whether the dialog handled it.
    static INT_PTR RaiseOn(CWynElement* element, std::wstring_view name, WPARAM first,
                           LPARAM second);

    bool IsNested() const noexcept { return m_parent != nullptr; }
    bool BuildTemplate();
    void InitTopLevel();
    void InitNested();
    // The dialog that ends when OK or Cancel reaches this one.
    CWynDialog* TopDialog();
    // The stock GUI font's description at `dpi`, its size in points passed
    // through AdjustFontSize.
    LOGFONTW DialogLogFont(UINT dpi);
    // The font and its dialog units at m_dpi.
    void MakeFont();
    // Lays the whole tree out for `dpi`: the fonts of this dialog and the
    // dialogs nested in it, the controls' fonts and every element's pixels.
    // Moves no window.
    void ApplyDpi(UINT dpi);
    // The client size the content asks for at the current DPI: the described
    // size, else the natural width and the height the content needs in it.
    SIZE NaturalClientSize() const;
    // The non-client part of the outer size at `dpi`: the window's own,
    // changed by what the frame metrics change from the window's DPI to it.
    SIZE FrameSize(UINT dpi) const;
    // The outer size for `dpi`: that of a fresh layout, unless the user has
    // sized the window, which then keeps its size scaled (never below the
    // fresh one). Changes nothing.
    SIZE ScaledOuterSize(UINT dpi);
    // Moves the dialog to `dpi`: one fresh layout, the window at `bounds`
    // (screen coordinates) when given, else where it is at ScaledOuterSize.
    void ChangeDpi(UINT dpi, const RECT* bounds);

    kelvo::UniqueHglobal m_template;
    std::optional<std::wstring> m_caption;
    DWORD m_style = 0;
    DWORD m_exStyle = 0;
    std::wstring m_source;
    bool m_centerScreen = false;
    int m_nextControlId = 100;
    bool m_contextHelpButton = false;
    bool m_clipChildren = false;
    bool m_clipSiblings = false;
    int m_border = kBorderDialogFrame;
    bool m_minimizeBox = false;
    bool m_maximizeBox = false;
    bool m_sysMenu = true;
    bool m_titleBar = true;
    CWynContextHelp m_contextHelp;
    SIZE m_minOuterSize{};
    // The outer size the dialog last gave itself: a window still at it has
    // not been sized by the user.
    SIZE m_placedOuterSize{};
    kelvo::UniqueHfont m_font;
    kelvo::DialogBaseUnits m_baseUnits;
    UINT m_dpi = 0;
    std::optional<UINT> m_requestedDpi;
    bool m_shown = false;
};
