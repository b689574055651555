#pragma once
// Putting new contents in place of a data file so that a crash or a power loss
// at any moment leaves the old or the new file, never a torn or empty one,
// and the file keeps its identity (security, streams, creation time).

#include <string>
#include <string_view>

// Every temporary file ends in this, after the target's name and a unique part.
inline constexpr std::wstring_view kTemporaryMarker = L".kelvo-tmp";

// The file a path finally names, following symbolic links, so that a link
// stays a link and its target is replaced. The path itself when it names no
// file yet or cannot be resolved.
std::wstring FinalPathOf(const std::wstring& path);

// Writes the bytes to a temporary file beside the final target, flushes them
// to the disk and replaces the target with it (moves it there when there is no
// target yet). A read-only attribute is cleared first (hidden and system go
// with it). After success, temporary files that an earlier crash left beside
// the target are removed. False when the target could not be replaced; it is
// then as it was.
bool ReplaceFileContents(const std::wstring& path, std::string_view bytes);

// "<path>.<mark>-YYYYMMDD-HHMMSS" in local time, with "-2", "-3", ... after it
// for the later attempts (attempt 0 has none): names for copies set aside.
std::wstring StampedPath(const std::wstring& path, std::wstring_view mark, int attempt);

// A replacement cut short between its two moves leaves no file at the path,
// only the new contents under a temporary name: some systems' replace (Wine's
// among them) moves the old file away before it moves the new one in. When
// the path names no file, the newest temporary file of it is moved there;
// true when one was.
bool RestoreInterruptedReplace(const std::wstring& path);
