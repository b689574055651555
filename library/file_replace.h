#pragma once
// Putting new contents in place of a data file so that a crash or a power loss
// at any moment leaves the old or the new file, never a torn or empty one,
// and the file keeps its identity (security, streams, creation time).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Every temporary file ends in this, after the target's name and a unique part.
inline constexpr std::wstring_view kTemporaryMarker = L".kelvo-tmp";

// The file a path finally names, following symbolic links, so that a link
// stays a link and its target is replaced. The path itself when it names no
// file yet or cannot be resolved.
std::wstring FinalPathOf(const std::wstring& path);

// Tells file contents apart (FNV-1a, 64 bits): what was read or written
// against what a file holds now. The hash of bytes that follow others is
// ContentHash(later, ContentHash(earlier)).
inline constexpr std::uint64_t kContentHashStart = 0xCBF29CE484222325ull;
std::uint64_t ContentHash(std::string_view bytes, std::uint64_t so_far = kContentHashStart);

// What a target held when it was read: no file, or bytes of this size and
// ContentHash (xml_file.h).
struct FileContents {
    bool exists = false;
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    bool operator==(const FileContents&) const = default;
};

// What the file at the path holds now; nothing when it exists but cannot be
// read (GetLastError() tells why).
std::optional<FileContents> CurrentContents(const std::wstring& path);

enum class ReplaceResult {
    kReplaced,
    kChanged, // the target no longer held what was expected; left as it is
    kFailed,  // GetLastError() tells why; the target is as it was
};

// Writes the bytes to a temporary file beside the final target, flushes them
// to the disk and replaces the target with it (moves it there when there is no
// target yet). A read-only attribute is cleared first (hidden and system go
// with it). With `expected`, the target must still hold those contents once
// the new ones are on the disk, so that what another writer put there
// meanwhile is never overwritten; a target expected missing is only created,
// never replaced. After success, temporary files that an earlier crash left
// beside the target are removed. No temporary file stays after a failure.
// A symbolic link whose target is missing is never replaced.
ReplaceResult ReplaceFileContents(const std::wstring& path, std::string_view bytes,
                                  const std::optional<FileContents>& expected = {});

// Whether the path is a symbolic link (or another name surrogate) whose
// target cannot be reached, such as a library on a drive not yet mounted, as
// its attributes tell. (Some systems, Wine among them, show such a link as no
// file at all; the replacement above finds those too.)
bool IsDanglingLink(const std::wstring& path);

// "<path>.<mark>-YYYYMMDD-HHMMSS" in local time, with "-2", "-3", ... after it
// for the later attempts (attempt 0 has none): names for copies set aside.
std::wstring StampedPath(const std::wstring& path, std::wstring_view mark, int attempt);

// A replacement cut short between its two moves leaves no file at the path,
// only the new contents under a temporary name beside the old ones under
// theirs: some systems' replace (Wine's among them) moves the old file away
// before it moves the new one in. When the path names no file and such a
// pair is there, the new contents are moved to the path; true when they were.
// A temporary file alone (a write cut short) is never put in place.
bool RestoreInterruptedReplace(const std::wstring& path);
