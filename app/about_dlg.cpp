#include "app/about_dlg.h"

#include <windows.h>

#include <vector>

#include "library/data_folder.h"
#include "wyn/elements/wyn_url.h"

std::wstring FormatVersionLabel(std::uint16_t major, std::uint16_t minor, std::uint16_t build,
                                std::uint16_t revision) {
    const std::uint16_t parts[] = {major, minor, build, revision};
    std::size_t kept = 4;
    if (major || minor || build || revision) {
        while (kept > 2 && parts[kept - 1] == 0)
            --kept;
    }
    std::wstring label = L"v";
    for (std::size_t i = 0; i < kept; ++i) {
        if (i > 0)
            label += L'.';
        label += std::to_wstring(parts[i]);
    }
    return label + L" (64 bit)";
}

std::wstring ProgramVersionLabel() {
    const std::wstring path = GetExecutablePath();
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !::GetFileVersionInfoW(path.c_str(), 0, size, info.data()) ||
        !::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof *fixed)
        return FormatVersionLabel(0, 0, 0, 0);
    return FormatVersionLabel(HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                              HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
}

const wchar_t* HomePage() {
    return L"" KELVO_HOMEPAGE;
}

void CAboutDlg::OnBeforeInit() {
    CWynElement* element = nullptr;
    CWynElement* website = FindById(L"website");
    if (!website || !website->IsType(L"url", element))
        return;
    const std::wstring page = HomePage();
    if (page.empty())
        website->SetHidden(true);
    else
        static_cast<CWynUrl*>(element)->SetLink(page, page);
}

bool CAboutDlg::OnInitDialog() {
    CWynDialog::OnInitDialog();
    if (CWynElement* version = FindById(L"version"))
        version->SetTextValue(ProgramVersionLabel().c_str());
    return true;
}
