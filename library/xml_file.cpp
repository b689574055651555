#include "library/xml_file.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "base/win_handles.h"
#include "library/data_folder.h"
#include "library/file_replace.h"
#include "library/xml_chars.h"

namespace {

// Larger files are not data files of ours; refusing them keeps memory bounded.
constexpr LONGLONG kMaxFileSize = 512LL * 1024 * 1024;

bool HasDoctype(std::string_view bytes) {
    static constexpr char kAscii[] = "<!DOCTYPE";
    if (bytes.find(kAscii) != std::string_view::npos)
        return true;
    for (int high_first = 0; high_first < 2; ++high_first) {
        std::string wide;
        for (const char* p = kAscii; *p; ++p) {
            wide.push_back(high_first ? '\0' : *p);
            wide.push_back(high_first ? *p : '\0');
        }
        if (bytes.find(wide) != std::string_view::npos)
            return true;
    }
    return false;
}

// What every stream of ours shares: counted references and the operations
// that readers and writers of a whole document never use.
class CStreamBase : public IStream {
public:
    virtual ~CStreamBase() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
            *out = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() noexcept override {
        const ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                     ULARGE_INTEGER*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER,
                                           DWORD) noexcept override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) noexcept override { return E_NOTIMPL; }

protected:
    HRESULT FillStat(STATSTG* stat, std::size_t size) noexcept {
        if (!stat)
            return STG_E_INVALIDPOINTER;
        *stat = STATSTG{};
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = size;
        return S_OK;
    }

private:
    std::atomic<ULONG> m_refs{1};
};

class CByteStream final : public CStreamBase {
public:
    CByteStream(std::string_view bytes, bool unify_line_ends)
        : m_bytes(bytes), m_unify(unify_line_ends), m_size(bytes.size()) {
        if (m_unify) {
            for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
                m_size -= bytes[i] == '\r' && bytes[i + 1] == '\n';
        }
    }

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) noexcept override {
        auto* out = static_cast<char*>(buffer);
        ULONG n = 0;
        if (!m_unify) {
            n = static_cast<ULONG>(std::min<std::size_t>(size, m_bytes.size() - m_source));
            std::memcpy(out, m_bytes.data() + m_source, n);
            m_source += n;
        } else {
            for (; n < size && m_source < m_bytes.size(); ++m_source) {
                char c = m_bytes[m_source];
                if (c == '\r') {
                    if (m_source + 1 < m_bytes.size() && m_bytes[m_source + 1] == '\n')
                        continue;
                    c = '\n';
                }
                out[n++] = c;
            }
        }
        m_position += n;
        if (read)
            *read = n;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) noexcept override {
        return STG_E_ACCESSDENIED;
    }
    // Readers only ask where they are or start again from the beginning.
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                   ULARGE_INTEGER* position) noexcept override {
        if (move.QuadPart != 0 || (origin != STREAM_SEEK_SET && origin != STREAM_SEEK_CUR))
            return STG_E_INVALIDFUNCTION;
        if (origin == STREAM_SEEK_SET)
            m_source = m_position = 0;
        if (position)
            position->QuadPart = m_position;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) noexcept override {
        return FillStat(stat, m_size);
    }

private:
    std::string_view m_bytes;
    bool m_unify;
    std::size_t m_size;         // as read
    std::size_t m_source = 0;   // in m_bytes
    std::size_t m_position = 0; // as read
};

// Writes into a string, growing it as a file grows.
class COutputStream final : public CStreamBase {
public:
    explicit COutputStream(std::string& out) : m_out(out) {}

    HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG*) noexcept override {
        return STG_E_ACCESSDENIED;
    }
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size,
                                    ULONG* written) noexcept override {
        try {
            const auto* bytes = static_cast<const char*>(data);
            if (m_position == m_out.size()) {
                m_out.append(bytes, size);
            } else {
                if (m_position + size > m_out.size())
                    m_out.resize(m_position + size);
                m_out.replace(m_position, size, bytes, size);
            }
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        m_position += size;
        if (written)
            *written = size;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                   ULARGE_INTEGER* position) noexcept override {
        const LONGLONG base = origin == STREAM_SEEK_SET   ? 0
                              : origin == STREAM_SEEK_CUR ? static_cast<LONGLONG>(m_position)
                              : origin == STREAM_SEEK_END ? static_cast<LONGLONG>(m_out.size())
                                                          : -1;
        if (base < 0 || base + move.QuadPart < 0)
            return STG_E_INVALIDFUNCTION;
        m_position = static_cast<std::size_t>(base + move.QuadPart);
        if (position)
            position->QuadPart = m_position;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) noexcept override {
        try {
            m_out.resize(static_cast<std::size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) noexcept override {
        return FillStat(stat, m_out.size());
    }

private:
    std::string& m_out;
    std::size_t m_position = 0;
};

} // namespace

CDataFileBytes::~CDataFileBytes() {
    if (m_accessed)
        ::SafeArrayUnaccessData(m_bytes.Get()->parray);
}

void CDataFileBytes::Assign(std::size_t size) {
    if (m_accessed)
        ::SafeArrayUnaccessData(m_bytes.Get()->parray);
    m_accessed = false;
    m_data = nullptr;
    m_size = 0;
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(size));
    if (!array)
        throw std::bad_alloc();
    VARIANT* v = m_bytes.Put();
    v->vt = VT_ARRAY | VT_UI1;
    v->parray = array;
    void* data = nullptr;
    if (FAILED(::SafeArrayAccessData(array, &data)))
        throw std::bad_alloc();
    m_accessed = true;
    m_data = static_cast<const char*>(data);
    m_size = size;
}

CDataFileBytes::ReadResult CDataFileBytes::Read(const wchar_t* path) {
    m_readError = ERROR_SUCCESS;
    RestoreInterruptedReplace(path);
    auto file =
        kelvo::AdoptFile(::CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        m_readError = ::GetLastError();
        // A link to a drive not yet mounted names a library that is not
        // missing, only out of reach.
        return (m_readError == ERROR_FILE_NOT_FOUND || m_readError == ERROR_PATH_NOT_FOUND) &&
                       !IsDanglingLink(path)
                   ? ReadResult::kMissing
                   : ReadResult::kFailed;
    }
    LARGE_INTEGER file_size{};
    if (!::GetFileSizeEx(file.Get(), &file_size)) {
        m_readError = ::GetLastError();
        return ReadResult::kFailed;
    }
    if (file_size.QuadPart > kMaxFileSize) {
        m_readError = ERROR_FILE_TOO_LARGE;
        return ReadResult::kFailed;
    }
    Assign(static_cast<std::size_t>(file_size.QuadPart));
    auto* target = const_cast<char*>(m_data);
    for (std::size_t done = 0; done < m_size;) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(m_size - done, 1 << 24));
        DWORD read = 0;
        if (!::ReadFile(file.Get(), target + done, chunk, &read, nullptr)) {
            m_readError = ::GetLastError();
            return ReadResult::kFailed;
        }
        if (read == 0) {
            m_readError = ERROR_HANDLE_EOF; // cut short while it was read
            return ReadResult::kFailed;
        }
        done += read;
    }
    return ReadResult::kOk;
}

bool CDataFileBytes::HasDoctype() const {
    return ::HasDoctype(View());
}

CDataFileBytes::ParseResult
CDataFileBytes::Parse(const std::function<bool(const VARIANT&)>& parse) {
    if (parse(Variant()))
        return ParseResult::kParsed;
    auto kept = kelvo::DropNonXmlCharsUtf8(View());
    if (!kept)
        return ParseResult::kFailed;
    Assign(kept->size());
    if (!kept->empty())
        std::memcpy(const_cast<char*>(m_data), kept->data(), kept->size());
    // What was dropped may have hidden a document type ("<!DOC\x01TYPE").
    if (HasDoctype())
        return ParseResult::kFailed;
    return parse(Variant()) ? ParseResult::kParsedWithoutForbidden : ParseResult::kFailed;
}

namespace {

struct Stamp {
    ULONGLONG size = 0;
    ULONGLONG last_write = 0;
    bool operator==(const Stamp&) const = default;
};

Stamp StampOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(LongPathForm(path).c_str(), GetFileExInfoStandard, &data))
        return {};
    return {(ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
            (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) |
                data.ftLastWriteTime.dwLowDateTime};
}

} // namespace

FileState ReadPatiently(const std::wstring& path, const std::function<FileState()>& read) {
    static constexpr DWORD kPausesMs[] = {50, 100, 200, 400};
    constexpr DWORD kStepMs = 100;
    constexpr ULONGLONG kQuietMs = 1000;
    constexpr ULONGLONG kLongestMs = 20000;
    // Taken before each read: a change while it reads shows as one.
    Stamp stamp = StampOf(path);
    FileState state = read();
    for (DWORD pause : kPausesMs) {
        if (state != FileState::kEmpty && state != FileState::kHeld && state != FileState::kDamaged)
            return state;
        ::Sleep(pause);
        stamp = StampOf(path);
        state = read();
    }
    const ULONGLONG start = ::GetTickCount64();
    ULONGLONG quiet_since = start;
    while ((state == FileState::kEmpty || state == FileState::kDamaged) &&
           ::GetTickCount64() - start < kLongestMs) {
        ::Sleep(kStepMs);
        const Stamp now = StampOf(path);
        if (now == stamp) {
            if (::GetTickCount64() - quiet_since >= kQuietMs)
                break;
            continue;
        }
        stamp = now;
        quiet_since = ::GetTickCount64();
        state = read();
    }
    return state;
}

kelvo::ComPtr<IStream> CreateOutputStream(std::string& out) {
    return kelvo::ComPtr<IStream>::Attach(new COutputStream(out));
}

kelvo::ComPtr<IStream> CreateXmlByteStream(std::string_view bytes) {
    // Only where CR and LF are the bytes 0x0D and 0x0A whatever surrounds them:
    // UTF-8 and the other encodings that extend ASCII, never UTF-16 or UTF-32,
    // which hold zero bytes.
    const bool ascii_based = bytes.find('\0') == std::string_view::npos;
    return kelvo::ComPtr<IStream>::Attach(new CByteStream(bytes, ascii_based));
}

void AppendWithCrLf(std::wstring_view text, std::wstring& out) {
    wchar_t previous = out.empty() ? L'\0' : out.back();
    std::size_t missing = 0;
    for (wchar_t c : text) {
        missing += c == L'\n' && previous != L'\r';
        previous = c;
    }
    out.reserve(out.size() + text.size() + missing);
    previous = out.empty() ? L'\0' : out.back();
    for (wchar_t c : text) {
        if (c == L'\n' && previous != L'\r')
            out.push_back(L'\r');
        out.push_back(c);
        previous = c;
    }
}
