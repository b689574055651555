#pragma once
// Fixture of the tests that read and write the data files: portable mode in
// the test program's own folder, with no data files at the start and none
// left behind.

#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <string>

#include "library/data_folder.h"
#include "library/test_files.h"

class PortableDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        test_files::Write(m_folder + L"portable", "");
        RemoveDataFiles();
    }
    void TearDown() override {
        RemoveDataFiles();
        ::DeleteFileW((m_folder + L"portable").c_str());
    }
    void RemoveDataFiles() {
        ::DeleteFileW(m_settingsPath.c_str());
        ::DeleteFileW(m_chunksPath.c_str());
    }
    std::string SettingsFile() { return test_files::Read(m_settingsPath); }
    void WriteSettings(const std::string& xml) { test_files::Write(m_settingsPath, xml); }
    std::string ChunksFile() { return test_files::Read(m_chunksPath); }
    void WriteChunks(const std::string& xml) { test_files::Write(m_chunksPath, xml); }

    std::wstring m_folder = GetExecutableFolder();
    std::wstring m_settingsPath = m_folder + L"settings.xml";
    std::wstring m_chunksPath = m_folder + L"chunks.xml";
};
