#pragma once
// The bytes of a data file as the parsers read them, shared by the document
// that callers change (CXMLProps) and the library's one-pass reader.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/com.h"
#include "library/file_replace.h"

// How an attempt to read a data file ended.
enum class FileState {
    kRead,    // read and parsed as ours
    kMissing, // no file
    kEmpty,   // 0 bytes, as a sync client leaves it while it rewrites the file
    kHeld,    // could not be opened or read: held by another program, access
              // denied, a cloud file whose provider is not running
    kDamaged, // not well-formed, or carrying a document type
    kForeign, // well-formed, but its root is not ours
};

// Runs `read` (of the file at `path`) again after short, growing pauses
// (under a second in all) while it reports a file that is empty, held or
// damaged: a sync client or another writer may be in the middle of rewriting
// it. An empty or damaged file whose size or time is still changing is being
// written in place: it is read again as it changes, until it has been quiet
// for a moment. The last attempt's state.
FileState ReadPatiently(const std::wstring& path, const std::function<FileState()>& read);

// The whole file in a byte array, the form the DOM parser takes fastest
// (loading by path or from a stream is far slower on large files).
class CDataFileBytes {
public:
    enum class ReadResult { kOk, kMissing, kFailed };

    CDataFileBytes() = default;
    ~CDataFileBytes();
    CDataFileBytes(const CDataFileBytes&) = delete;
    CDataFileBytes& operator=(const CDataFileBytes&) = delete;

    ReadResult Read(const wchar_t* path);
    // Why the last Read failed (a Win32 error code).
    DWORD ReadError() const noexcept { return m_readError; }

    std::string_view View() const noexcept { return {m_data, m_size}; }
    // The bytes as the byte array variant the parsers take.
    const VARIANT& Variant() const noexcept { return *m_bytes.Get(); }
    // A document type declaration, in UTF-8 or UTF-16: the data files never
    // carry one, and it is the door to entity expansion.
    bool HasDoctype() const;

    enum class ParseResult { kFailed, kParsed, kParsedWithoutForbidden };
    // Hands the bytes to `parse`. When that fails and the bytes hold raw
    // characters XML cannot carry (written by an earlier build), it hands it
    // the bytes without them; the file as stored is then still unreadable.
    ParseResult Parse(const std::function<bool(const VARIANT&)>& parse);

private:
    void Assign(std::size_t size);

    kelvo::UniqueVariant m_bytes;
    bool m_accessed = false; // the array's data stays accessed while it is held
    const char* m_data = nullptr;
    std::size_t m_size = 0;
    DWORD m_readError = ERROR_SUCCESS;
};

// A read-only stream over the bytes of an XML file, which outlive it. Every
// CR LF and lone CR reads as LF, as every XML parser reads line ends anyway
// (XML 1.0, end-of-line handling): a reader then hands out the text in long
// runs instead of one run per line.
kelvo::ComPtr<IStream> CreateXmlByteStream(std::string_view bytes);

// A stream that appends what is written to `out`, which outlives it.
kelvo::ComPtr<IStream> CreateOutputStream(std::string& out);

// Appends text, turning every line feed that does not follow a carriage return
// into both (the parsers hand out bare line feeds; the program's texts use
// CR LF), and growing the output once.
void AppendWithCrLf(std::wstring_view text, std::wstring& out);
