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
        test_files::Write(folder + L"portable", "");
        RemoveDataFiles();
    }
    void TearDown() override {
        RemoveDataFiles();
        ::DeleteFileW((folder + L"portable").c_str());
    }
    void RemoveDataFiles() {
        ::DeleteFileW(settings_path.c_str());
        ::DeleteFileW(chunks_path.c_str());
    }
    std::string SettingsFile() { return test_files::Read(settings_path); }
    void WriteSettings(const std::string& xml) { test_files::Write(settings_path, xml); }
    std::string ChunksFile() { return test_files::Read(chunks_path); }
    void WriteChunks(const std::string& xml) { test_files::Write(chunks_path, xml); }

    std::wstring folder = GetExecutableFolder();
    std::wstring settings_path = folder + L"settings.xml";
    std::wstring chunks_path = folder + L"chunks.xml";
};
