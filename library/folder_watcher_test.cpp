// The folder watcher against real files that the test writes as another
// writer would.

#include "library/folder_watcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "library/test_files.h"

using kelvo::CFolderWatcher;

namespace {

// The reports of a watcher, as they arrive on its thread.
class CReports {
public:
    CFolderWatcher::Changed Callback() {
        return [this](unsigned files) {
            std::lock_guard lock(m_mutex);
            m_reports.push_back(files);
            m_arrived.notify_all();
        };
    }
    // Waits up to `ms` for the report after those taken; 0 when none came.
    unsigned Next(int ms = 3000) {
        std::unique_lock lock(m_mutex);
        m_arrived.wait_for(lock, std::chrono::milliseconds(ms),
                           [&] { return m_reports.size() > m_taken; });
        return m_reports.size() > m_taken ? m_reports[m_taken++] : 0;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<unsigned> m_reports;
    std::size_t m_taken = 0;
};

class FolderWatcherTest : public ::testing::Test {
protected:
    void SetUp() override { test_files::Empty(m_folder); }
    void TearDown() override { test_files::Empty(m_folder); }

    std::wstring m_folder = test_files::Folder(L"watched");
    CFolderWatcher::Timing m_fast{.quiet_ms = 200, .longest_ms = 800, .check_ms = 30000};
};

} // namespace

TEST(ConflictCopyName, TheCopiesSyncClientsMakeAndNothingElse) {
    const struct {
        const wchar_t* name;
        bool copy;
    } cases[] = {
        {L"chunks (Laptop's conflicted copy 2026-12-10).xml", true},
        {L"chunks.sync-conflict-20261210-101500-ABCDEFG.xml", true},
        {L"Chunks (conflicted copy 2026-12-10 101500).XML", true},
        {L"chunks (SFConflict me 2026-12-10-10-15-00).xml", true},
        {L"chunks.xml", false},
        {L"chunks-backup.xml", false},
        {L"chunks (conflicted copy).xml.merged-20261210-101500", false},
        {L"chunks.xml.unreadable-20261210-101500", false},
        {L"settings (conflicted copy).xml", false},
        {L"mychunks (conflicted copy).xml", false},
        {L"chunks conflict.txt", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kelvo::IsConflictCopyName(c.name, L"chunks.xml"), c.copy)
            << testing::PrintToString(std::wstring(c.name));
}

TEST_F(FolderWatcherTest, ConflictCopiesAreFoundInNameOrder) {
    for (const wchar_t* name :
         {L"chunks.sync-conflict-2.xml", L"chunks (b conflicted copy).xml", L"chunks.xml",
          L"chunks (a conflicted copy).xml.merged-20261210-101500"})
        test_files::Write(m_folder + name, "<kelvo/>");
    EXPECT_EQ(kelvo::FindConflictCopies(m_folder, L"chunks.xml"),
              (std::vector<std::wstring>{m_folder + L"chunks (b conflicted copy).xml",
                                         m_folder + L"chunks.sync-conflict-2.xml"}));
}

TEST_F(FolderWatcherTest, ABurstOfWritesIsReportedOnceWithTheFilesItTouched) {
    CReports reports;
    CFolderWatcher watcher(m_folder, L"chunks.xml", L"settings.xml", reports.Callback(), m_fast);
    for (int i = 0; i < 4; ++i) {
        test_files::Write(m_folder + L"chunks.xml", "<kelvo>" + std::to_string(i) + "</kelvo>");
        ::Sleep(30);
    }
    EXPECT_EQ(reports.Next(), kelvo::kChunksFile);
    EXPECT_EQ(reports.Next(600), 0u) << "one report for the burst";

    // Files of no interest, our own temporaries among them, are not reported.
    test_files::Write(m_folder + L"notes.txt", "x");
    test_files::Write(m_folder + L"chunks.xml.1-2-3.kelvo-tmp", "x");
    EXPECT_EQ(reports.Next(600), 0u);

    // A replacement by rename, as writers put a whole file in place, a
    // settings file and a conflict copy, in one burst.
    test_files::Write(m_folder + L"new.tmp", "<kelvo/>");
    ASSERT_TRUE(::MoveFileExW((m_folder + L"new.tmp").c_str(), (m_folder + L"chunks.xml").c_str(),
                              MOVEFILE_REPLACE_EXISTING));
    test_files::Write(m_folder + L"settings.xml", "<kelvo/>");
    test_files::Write(m_folder + L"chunks (PC's conflicted copy).xml", "<kelvo/>");
    EXPECT_EQ(reports.Next(),
              kelvo::kChunksFile | kelvo::kSettingsFile | kelvo::kConflictCopies);
}

TEST_F(FolderWatcherTest, ChangesThatKeepComingAreReportedAtTheLongestWait) {
    CReports reports;
    CFolderWatcher watcher(m_folder, L"chunks.xml", L"", reports.Callback(), m_fast);
    // A write every 100 ms for 2 s: never quiet for 200 ms.
    int reported = 0;
    for (int i = 0; i < 20; ++i) {
        test_files::Write(m_folder + L"chunks.xml", std::string(i + 1, 'x'));
        if (reports.Next(100) == kelvo::kChunksFile)
            ++reported;
    }
    EXPECT_GE(reported, 1) << "no report while the writes went on";
    EXPECT_LE(reported, 3) << "reported more often than the longest wait";
    // Settings are not watched when not named.
    test_files::Write(m_folder + L"settings.xml", "<kelvo/>");
    reports.Next(1000); // the end of the writes above
    EXPECT_EQ(reports.Next(600), 0u);
}

TEST_F(FolderWatcherTest, AFolderRenamedAwayAndMadeAgainIsWatchedAgain) {
    const std::wstring moved = test_files::Folder(L"watched-moved");
    test_files::Empty(moved);
    ::RemoveDirectoryW(moved.c_str());
    CReports reports;
    CFolderWatcher watcher(m_folder, L"chunks.xml", L"settings.xml", reports.Callback(),
                           {.quiet_ms = 200, .longest_ms = 800, .check_ms = 300});
    ASSERT_TRUE(::MoveFileW(m_folder.c_str(), moved.c_str()));
    ASSERT_TRUE(::CreateDirectoryW(m_folder.c_str(), nullptr));
    test_files::Write(m_folder + L"chunks.xml", "<kelvo/>");
    // Windows' notifications follow the folder that was renamed, so the check
    // finds the new one and reports all of it; Wine 8 watches the path, so
    // the write itself is reported. Either way it is seen.
    unsigned seen = 0;
    for (int i = 0; i < 3 && !(seen & kelvo::kChunksFile); ++i)
        seen |= reports.Next(1000);
    EXPECT_EQ(seen & kelvo::kChunksFile, kelvo::kChunksFile);
    test_files::Empty(moved);
    ::RemoveDirectoryW(moved.c_str());

    // A folder that is not there yet is watched once it is made.
    const std::wstring later = moved;
    CFolderWatcher waiting(later, L"chunks.xml", L"", reports.Callback(),
                           {.quiet_ms = 200, .longest_ms = 800, .check_ms = 300});
    while (reports.Next(600) != 0) {
    }
    ASSERT_TRUE(::CreateDirectoryW(later.c_str(), nullptr));
    EXPECT_EQ(reports.Next(), kelvo::kAllWatchedFiles);
    ::RemoveDirectoryW(later.c_str());
}
