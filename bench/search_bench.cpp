// The search behind every keystroke in the find box: the chunks found and
// their tags counted, against the floor of one bare case-insensitive pass for
// the same word over the titles and texts it searches (for the empty find
// text and a tag term, which search no text, a word that occurs nowhere).
// The list rebuild and painting come on top of this in the main window.

#include <windows.h>

#include <cstdio>
#include <vector>

#include "base/utf16.h"
#include "bench/bench.h"
#include "bench/synthetic_library.h"
#include "library/chunk_finder.h"

namespace {

using namespace kelvo::bench;

void RunSearchBench() {
    const CPortableData data;
    const kelvo::CCaseFold& fold = kelvo::UserCaseFold();

    const std::vector<int> counts =
        IsShortRun() ? std::vector<int>{200} : std::vector<int>{1000, 10000, 100000};
    for (int count : counts) {
        const std::size_t n = static_cast<std::size_t>(count);
        WriteFile(data.ChunksPath(), MakeLibrary(count));
        CChunkStore store;
        store.LoadChunks();
        kelvo::CChunkFinder finder(store);
        finder.Find(L""); // the order by title, worked out once per change of the library

        std::size_t hits = 0;
        // Each search alternates with a second text that neither narrows
        // nor is narrowed by it, so that every one looks at the whole library.
        const struct {
            const char* figure;
            const wchar_t* find_text;
            const wchar_t* other_text;
            std::u16string_view scanned_word;
        } searches[] = {
            {"find-empty", L"", L"", u"\x1"},
            {"find-common-word", L"ab", L"ba", u"ab"},
            {"find-rare-word", L"qzxj", L"jxzq", u"qzxj"},
            {"find-tag", L"#tag17", L"#tag18", u"\x1"},
        };
        for (const auto& search : searches) {
            const auto scan = [&] {
                for (const auto& [id, chunk] : store.Chunks())
                    hits += (!chunk->encrypted &&
                             fold.Contains(kelvo::AsU16(chunk->text), search.scanned_word)) ||
                            fold.Contains(kelvo::AsU16(chunk->title), search.scanned_word);
            };
            bool other = false;
            const Timing timing = MeasureAgainstFloor(
                Sized(count >= 100000 ? 5 : 11, 1), Sized(count >= 100000 ? 2 : 6, 1),
                [&] {
                    other = !other;
                    finder.Find(other ? search.other_text : search.find_text);
                    hits += finder.CountFoundTags().size();
                },
                scan);
            Report("search", search.figure, n, timing.figure_us, timing.floor_us, 0);
        }
        if (hits == static_cast<std::size_t>(-1))
            std::puts(""); // keeps the scan's result alive
    }
}

} // namespace

KELVO_BENCH_AREA("search", RunSearchBench);
