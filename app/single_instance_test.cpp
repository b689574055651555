#include "library/data_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/win_handles.h"

namespace {

// kelvo.exe is built into the folder above the test programs.
std::wstring KelvoExe() {
    return GetExecutableFolder() + L"..\\kelvo.exe";
}

kelvo::UniqueHandle Start(const std::wstring& exe) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + exe + L"\"";
    if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return {};
    ::CloseHandle(pi.hThread);
    return kelvo::UniqueHandle(pi.hProcess);
}

bool WaitForWindowOfClass(const wchar_t* class_name, DWORD timeout_ms) {
    for (DWORD waited = 0; waited < timeout_ms; waited += 50) {
        if (::FindWindowW(class_name, nullptr))
            return true;
        ::Sleep(50);
    }
    return false;
}

} // namespace

TEST(SingleInstance, SecondCopyExitsAtOnceWithZeroAndTheFirstKeepsRunning) {
    ASSERT_EQ(::FindWindowW(L"KV_MAIN_WND", nullptr), nullptr) << "a copy is already running";
    auto first = Start(KelvoExe());
    ASSERT_TRUE(first);
    ASSERT_TRUE(WaitForWindowOfClass(L"KV_MAIN_WND", 20000));

    auto second = Start(KelvoExe());
    ASSERT_TRUE(second);
    EXPECT_EQ(::WaitForSingleObject(second.Get(), 10000), WAIT_OBJECT_0);
    DWORD code = 1234;
    ::GetExitCodeProcess(second.Get(), &code);
    EXPECT_EQ(code, 0u);

    EXPECT_EQ(::WaitForSingleObject(first.Get(), 500), static_cast<DWORD>(WAIT_TIMEOUT));

    // Asked to close, the running copy ends cleanly.
    ::PostMessageW(::FindWindowW(L"KV_MAIN_WND", nullptr), WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(first.Get(), 10000), WAIT_OBJECT_0);
    ::GetExitCodeProcess(first.Get(), &code);
    EXPECT_EQ(code, 0u);
    ::TerminateProcess(first.Get(), 1); // only if it did not end
}
