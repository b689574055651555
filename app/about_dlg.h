#pragma once
// The About box: the product, its version and its web page.

#include <cstdint>
#include <string>

#include "wyn/host/wyn_dialog.h"

// "v%s (64 bit)" with the file version's four parts joined by "."; trailing
// zero parts are left off, but two parts always stay, and a version of all
// zeros keeps all four.
std::wstring FormatVersionLabel(std::uint16_t major, std::uint16_t minor, std::uint16_t build,
                                std::uint16_t revision);

// The version label of the running program, from its version resource.
std::wstring ProgramVersionLabel();

// The program's web page, a build setting; empty when it has none, and then
// nothing links to one.
const wchar_t* HomePage();

class CAboutDlg : public CWynDialog {
public:
    explicit CAboutDlg(CWynEngine* engine) : CWynDialog(L"res:about.xml", engine) {}
    // The link to the web page, or none.
    void OnBeforeInit() override;
    bool OnInitDialog() override;
};
