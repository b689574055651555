#include "library/chunk_reader.h"

#include <windows.h>

#include <msxml2.h>

#include <climits>
#include <new>
#include <optional>
#include <string_view>

#include "base/com.h"
#include "base/msxml_ids.h"
#include "base/utf16.h"
#include "library/tokenizer.h"
#include "library/xml_file.h"

using kelvo::ComPtr;
using kelvo::UniqueBstr;
using kelvo::UniqueVariant;

namespace {

using ChunkMap = std::map<int, kelvo::Ref<text_chunk>>;

bool IsNamed(std::wstring_view uri, std::wstring_view local, std::wstring_view name) {
    return uri.empty() && local == name;
}

// The attribute's text, as the document would give it; nothing when missing.
std::optional<std::wstring_view> Attribute(ISAXAttributes* attributes, std::wstring_view name) {
    const wchar_t* value = nullptr;
    int length = 0;
    if (attributes->getValueFromQName(name.data(), static_cast<int>(name.size()), &value,
                                      &length) != S_OK)
        return std::nullopt;
    return std::wstring_view(value ? value : L"", value ? static_cast<std::size_t>(length) : 0);
}

// An id in the form a save writes it: decimal digits, a leading "-" for a
// negative one, no leading zero, within 32 bits.
bool PlainDecimal(std::wstring_view text, int& value) {
    const bool negative = !text.empty() && text.front() == L'-';
    const std::wstring_view digits = text.substr(negative ? 1 : 0);
    if (digits.empty() || digits.size() > 10 || digits.front() < L'1' || digits.front() > L'9')
        return false;
    long long number = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9')
            return false;
        number = number * 10 + (c - L'0');
    }
    number = negative ? -number : number;
    if (number < INT_MIN || number > INT_MAX)
        return false;
    value = static_cast<int>(number);
    return true;
}

// An integer attribute converted as the document's readers convert it.
int IntAttribute(std::optional<std::wstring_view> text) {
    if (!text)
        return 0;
    int plain = 0;
    if (PlainDecimal(*text, plain))
        return plain;
    UniqueVariant in, out;
    in.Get()->bstrVal = UniqueBstr(*text).Release();
    in.Get()->vt = VT_BSTR;
    if (FAILED(::VariantChangeType(out.Get(), in.Get(), 0, VT_I4)))
        return 0;
    return out.Get()->lVal;
}

// Collects the chunks while the reader walks the file. It lives on the stack
// and outlives the reader that uses it, so it does not count references.
class CChunkHandler final : public ISAXContentHandler, public ISAXLexicalHandler {
public:
    ChunkMap& Chunks() noexcept { return m_chunks; }
    std::vector<kelvo::Ref<text_chunk>>& Renumber() noexcept { return m_renumber; }
    std::optional<std::wstring>& Password() noexcept { return m_password; }
    bool PasswordFirst() const noexcept { return m_passwordFirst; }
    bool OnlyLibrary() const noexcept { return !m_more && !m_unseen; }
    // Some events were not to be had: what the file holds beside the library
    // cannot be told.
    void NoteUnseen() noexcept { m_unseen = true; }
    bool SawRoot() const noexcept { return m_sawRoot; }
    bool RanOutOfMemory() const noexcept { return m_outOfMemory; }

    void Reset() {
        m_chunks.clear();
        m_renumber.clear();
        m_repeats.clear();
        m_oddForms.clear();
        m_current = {};
        m_text.clear();
        m_password.reset();
        m_depth = 0;
        m_inRoot = m_inChunks = m_chunksSeen = m_walking = m_inRecord = m_inPassword = false;
        m_sawRoot = m_passwordFirst = m_more = false;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == kelvo::msxml::kISAXContentHandler) {
            *out = static_cast<ISAXContentHandler*>(this);
            return S_OK;
        }
        if (iid == kelvo::msxml::kISAXLexicalHandler) {
            *out = static_cast<ISAXLexicalHandler*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }

    HRESULT STDMETHODCALLTYPE putDocumentLocator(ISAXLocator*) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE startDocument() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE endDocument() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE startPrefixMapping(const wchar_t*, int, const wchar_t*,
                                                 int) noexcept override {
        m_more = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE endPrefixMapping(const wchar_t*, int) noexcept override {
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE startElement(const wchar_t* uri, int uri_length, const wchar_t* local,
                                           int local_length, const wchar_t*, int,
                                           ISAXAttributes* attributes) noexcept override {
        const std::wstring_view uri_view(uri, static_cast<std::size_t>(uri_length));
        const std::wstring_view local_view(local, static_cast<std::size_t>(local_length));
        ++m_depth;
        NoteElement(uri_view, local_view, attributes);
        if (m_depth == 1) {
            m_inRoot = IsNamed(uri_view, local_view, L"kelvo");
            m_sawRoot = m_inRoot;
        } else if (m_depth == 2) {
            // Only the first "chunks" element is read.
            m_inChunks = m_inRoot && !m_chunksSeen && IsNamed(uri_view, local_view, L"chunks");
            m_chunksSeen = m_chunksSeen || m_inChunks;
            // And the first "password" element.
            m_inPassword = m_inRoot && !m_password && IsNamed(uri_view, local_view, L"password");
            if (m_inPassword) {
                m_passwordFirst = !m_chunksSeen;
                try {
                    m_password.emplace();
                } catch (const std::bad_alloc&) {
                    return OutOfMemory();
                }
            }
        } else if (m_depth == 3 && m_inChunks) {
            // From the first "chunk" on, every element is a record.
            m_walking = m_walking || IsNamed(uri_view, local_view, L"chunk");
            if (m_walking)
                return StartRecord(attributes);
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE endElement(const wchar_t*, int, const wchar_t*, int, const wchar_t*,
                                         int) noexcept override {
        if (m_depth == 3 && m_inRecord) {
            m_inRecord = false;
            if (m_current) {
                try {
                    // One allocation of the exact size for the text.
                    AppendWithCrLf(m_text, m_current->text);
                } catch (const std::bad_alloc&) {
                    return OutOfMemory();
                }
                m_text.clear();
                try {
                    Keep(std::move(m_current));
                } catch (const std::bad_alloc&) {
                    return OutOfMemory();
                }
            }
        } else if (m_depth == 2) {
            m_inChunks = false;
            m_inPassword = false;
        }
        --m_depth;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE characters(const wchar_t* text, int length) noexcept override {
        std::wstring* target = m_current ? &m_text : m_inPassword ? &*m_password : nullptr;
        if (!target) {
            // Only white space lies between the elements of a library.
            m_more = m_more || std::wstring_view(text, static_cast<std::size_t>(length))
                                       .find_first_not_of(L" \t\r\n") != std::wstring_view::npos;
            return S_OK;
        }
        try {
            // The wrapped key holds no line break, so it needs no CR LF.
            target->append(text, static_cast<std::size_t>(length));
        } catch (const std::bad_alloc&) {
            return OutOfMemory();
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE ignorableWhitespace(const wchar_t*, int) noexcept override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE processingInstruction(const wchar_t*, int, const wchar_t*,
                                                    int) noexcept override {
        m_more = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE skippedEntity(const wchar_t*, int) noexcept override {
        m_more = true;
        return S_OK;
    }

    // The lexical events tell what the content events leave out.
    HRESULT STDMETHODCALLTYPE startDTD(const wchar_t*, int, const wchar_t*, int, const wchar_t*,
                                       int) noexcept override {
        m_more = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE endDTD() noexcept override { return S_OK; }
    // Without a document type only the predefined entities can occur.
    HRESULT STDMETHODCALLTYPE startEntity(const wchar_t*, int) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE endEntity(const wchar_t*, int) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE startCDATA() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE endCDATA() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE comment(const wchar_t*, int) noexcept override {
        m_more = true;
        return S_OK;
    }

private:
    // Whether the element is one a file written afresh holds, in the place
    // and with the attributes it would have there (m_depth counts it).
    void NoteElement(std::wstring_view uri, std::wstring_view local, ISAXAttributes* attributes) {
        int count = 0;
        attributes->getLength(&count);
        bool known = false;
        if (m_depth == 1)
            known = IsNamed(uri, local, L"kelvo") && count == 0;
        else if (m_depth == 2 && m_inRoot)
            known = count == 0 && ((IsNamed(uri, local, L"chunks") && !m_chunksSeen) ||
                                   (IsNamed(uri, local, L"password") && !m_password));
        else if (m_depth == 3 && m_inChunks && IsNamed(uri, local, L"chunk"))
            known = KnownChunkAttributes(attributes, count);
        m_more = m_more || !known;
    }

    // id (a usable one), encrypted ("0" or "1"), title and tags, each at most
    // once and nothing else.
    static bool KnownChunkAttributes(ISAXAttributes* attributes, int count) {
        int seen = 0;
        for (const wchar_t* name : {L"id", L"encrypted", L"title", L"tags"}) {
            const auto value = Attribute(attributes, name);
            seen += value.has_value();
            if (!value)
                continue;
            if (name == std::wstring_view(L"id") && IntAttribute(value) == 0)
                return false;
            if (name == std::wstring_view(L"encrypted") && *value != L"0" && *value != L"1")
                return false;
        }
        return seen == count && Attribute(attributes, L"id").has_value();
    }

    // Ends the parse; the reader raises the out-of-memory exception after it.
    HRESULT OutOfMemory() noexcept {
        m_outOfMemory = true;
        return E_OUTOFMEMORY;
    }

    // A chunk that is found by its id takes its place in the map; of two with
    // one id the later does, and the earlier needs a fresh one.
    void Keep(kelvo::Ref<text_chunk> chunk) {
        if (!chunk->file_id.empty()) {
            chunk->file_occurrence = ++m_oddForms[chunk->file_id];
            m_renumber.push_back(std::move(chunk));
            return;
        }
        auto& slot = m_chunks[chunk->id];
        if (slot) {
            slot->file_id = std::to_wstring(slot->id);
            slot->file_occurrence = ++m_repeats[slot->id];
            m_renumber.push_back(std::move(slot));
        }
        slot = std::move(chunk);
    }

    HRESULT StartRecord(ISAXAttributes* attributes) noexcept {
        m_inRecord = true;
        const auto id_text = Attribute(attributes, L"id");
        const int id = IntAttribute(id_text);
        if (id == 0)
            return S_OK; // skipped, text and all
        try {
            m_current = kelvo::MakeRef<text_chunk>();
            m_current->id = id;
            int plain = 0;
            if (!PlainDecimal(*id_text, plain))
                m_current->file_id = *id_text;
            m_current->encrypted = IntAttribute(Attribute(attributes, L"encrypted")) != 0;
            m_current->title = Attribute(attributes, L"title").value_or(L"");
            for (auto& tag : SplitTags(kelvo::AsU16(Attribute(attributes, L"tags").value_or(L""))))
                m_current->tags.emplace_back(kelvo::AsWide(tag));
        } catch (const std::bad_alloc&) {
            return OutOfMemory();
        }
        return S_OK;
    }

    ChunkMap m_chunks;
    std::vector<kelvo::Ref<text_chunk>> m_renumber;
    // How many elements before the last one carried an id (repeats), or an
    // id text in another form.
    std::map<int, int> m_repeats;
    std::map<std::wstring, int, std::less<>> m_oddForms;
    kelvo::Ref<text_chunk> m_current; // the record being read, if it has an id
    std::wstring m_text;              // its text so far, as the reader hands it out
    int m_depth = 0;
    bool m_inRoot = false;     // the root is "kelvo"
    bool m_inChunks = false;   // inside the first "chunks" element
    bool m_chunksSeen = false; // the first "chunks" element has begun
    bool m_walking = false;    // its first "chunk" child has begun
    bool m_inRecord = false;   // inside a record at depth 3
    bool m_inPassword = false; // inside the first "password" element (any depth below)
    bool m_sawRoot = false;    // the root is "kelvo"
    bool m_passwordFirst = false;
    bool m_more = false; // the file holds more than the library
    bool m_unseen = false;
    bool m_outOfMemory = false;
    std::optional<std::wstring> m_password;
};

ComPtr<ISAXXMLReader> CreateReader() {
    ComPtr<ISAXXMLReader> reader;
    HRESULT hr = ::CoCreateInstance(kelvo::msxml::kSaxXmlReader, nullptr, CLSCTX_INPROC_SERVER,
                                    kelvo::msxml::kISAXXMLReader, reader.PutVoid());
    if (FAILED(hr)) {
        // A thread where start-up did not initialise COM.
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        hr = ::CoCreateInstance(kelvo::msxml::kSaxXmlReader, nullptr, CLSCTX_INPROC_SERVER,
                                kelvo::msxml::kISAXXMLReader, reader.PutVoid());
    }
    if (FAILED(hr))
        return {};
    // Nothing from outside the file. A document type is refused before the
    // parse; these hold where the reader supports them.
    reader->putFeature(L"prohibit-dtd", VARIANT_TRUE);
    reader->putFeature(L"external-general-entities", VARIANT_FALSE);
    reader->putFeature(L"external-parameter-entities", VARIANT_FALSE);
    return reader;
}

// The handler takes the reader's content and lexical events (comments among
// them); without the lexical events it cannot tell that a file holds only the
// library.
bool Attach(ISAXXMLReader& reader, CChunkHandler& handler) {
    if (FAILED(reader.putContentHandler(&handler)))
        return false;
    UniqueVariant lexical;
    lexical.Get()->vt = VT_UNKNOWN;
    lexical.Get()->punkVal = static_cast<ISAXContentHandler*>(&handler);
    if (FAILED(
            reader.putProperty(L"http://xml.org/sax/properties/lexical-handler", *lexical.Get())))
        handler.NoteUnseen();
    return true;
}

void Detach(ISAXXMLReader& reader) {
    reader.putContentHandler(nullptr);
    UniqueVariant none;
    none.Get()->vt = VT_UNKNOWN;
    reader.putProperty(L"http://xml.org/sax/properties/lexical-handler", *none.Get());
}

// Parses the bytes into `file`; false when they do not parse.
bool Parse(std::string_view bytes, CChunkHandler& handler, ISAXXMLReader& reader) {
    handler.Reset();
    UniqueVariant input;
    // The bytes go in as a stream: the documented input that every reader
    // takes whole (Wine 8 drops the last byte of a byte array).
    input.Get()->punkVal = CreateXmlByteStream(bytes).Detach();
    input.Get()->vt = VT_UNKNOWN;
    return reader.parse(*input.Get()) == S_OK;
}

// Markup the content events may not show: processing instructions,
// comments, CDATA sections, a document type; the declaration at the start
// aside. Text never holds a raw "<", so these are found in the bytes. Bytes
// in an encoding of wider units are not looked into, and count as holding it.
bool HasOtherMarkup(std::string_view bytes) {
    if (bytes.find('\0') != std::string_view::npos)
        return true;
    std::size_t from = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    if (bytes.substr(from).starts_with("<?xml")) {
        from = bytes.find("?>", from);
        if (from == std::string_view::npos)
            return true;
    }
    return bytes.find("<?", from) != std::string_view::npos ||
           bytes.find("<!", from) != std::string_view::npos;
}

void TakeParsed(CChunkHandler& handler, bool parsed, ChunksFile& file) {
    if (handler.RanOutOfMemory())
        throw std::bad_alloc();
    if (!parsed)
        return;
    file.state = handler.SawRoot() ? FileState::kRead : FileState::kForeign;
    if (file.state == FileState::kRead) {
        file.chunks = std::move(handler.Chunks());
        file.renumber = std::move(handler.Renumber());
        file.password = std::move(handler.Password());
        file.password_first = handler.PasswordFirst();
        file.only_library = handler.OnlyLibrary() && file.renumber.empty();
    }
}

} // namespace

ChunksFile ReadChunksFile(const wchar_t* path, std::optional<std::uint64_t> known) {
    ChunksFile file;
    CDataFileBytes bytes;
    switch (bytes.Read(path)) {
    case CDataFileBytes::ReadResult::kMissing:
        file.state = FileState::kMissing;
        return file;
    case CDataFileBytes::ReadResult::kFailed:
        file.state = FileState::kHeld;
        file.error = bytes.ReadError();
        return file;
    case CDataFileBytes::ReadResult::kOk:
        break;
    }
    file.hash = ContentHash(bytes.View());
    file.size = bytes.View().size();
    file.state = FileState::kDamaged;
    if (bytes.View().empty()) {
        file.state = FileState::kEmpty;
        return file;
    }
    if (known == file.hash) {
        file.state = FileState::kRead;
        file.unchanged = true;
        return file;
    }
    if (bytes.HasDoctype())
        return file;
    CChunkHandler handler;
    auto reader = CreateReader();
    if (!reader || !Attach(*reader.Get(), handler))
        return file;
    const auto parsed =
        bytes.Parse([&](const VARIANT&) { return Parse(bytes.View(), handler, *reader.Get()); });
    Detach(*reader.Get());
    TakeParsed(handler, parsed != CDataFileBytes::ParseResult::kFailed, file);
    // Read without raw characters XML cannot carry, it is not the file.
    file.only_library = file.only_library && parsed == CDataFileBytes::ParseResult::kParsed &&
                        !HasOtherMarkup(bytes.View());
    return file;
}

ChunksFile ReadChunksBytes(std::string_view bytes) {
    ChunksFile file;
    file.hash = ContentHash(bytes);
    file.size = bytes.size();
    file.state = FileState::kDamaged;
    CChunkHandler handler;
    auto reader = CreateReader();
    if (!reader || !Attach(*reader.Get(), handler))
        return file;
    const bool parsed = Parse(bytes, handler, *reader.Get());
    Detach(*reader.Get());
    TakeParsed(handler, parsed, file);
    file.only_library = file.only_library && !HasOtherMarkup(bytes);
    return file;
}
