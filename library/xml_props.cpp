#include "library/xml_props.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/msxml_ids.h"
#include "base/win_handles.h"
#include "library/data_folder.h"

using kelvo::com_ptr;
using kelvo::unique_bstr;
using kelvo::unique_variant;

namespace {

// Larger files are not data files of ours; refusing them keeps memory bounded.
constexpr LONGLONG kMaxFileSize = 512LL * 1024 * 1024;

void SetStringVariant(VARIANT* v, std::wstring_view text) {
    v->bstrVal = unique_bstr(text).release();
    v->vt = VT_BSTR;
}

void SetBoolProperty(IXMLDOMDocument2* doc, const wchar_t* name, bool value) {
    unique_variant v;
    v.get()->vt = VT_BOOL;
    v.get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    doc->setProperty(unique_bstr(name).get(), *v.get());
}

com_ptr<IXMLDOMDocument> CreateDocument() {
    com_ptr<IXMLDOMDocument> doc;
    HRESULT hr =
        ::CoCreateInstance(kelvo::msxml::kFreeThreadedDocument, nullptr, CLSCTX_INPROC_SERVER,
                           kelvo::msxml::kIXMLDOMDocument, doc.put_void());
    if (FAILED(hr)) {
        // A thread where start-up did not initialise COM.
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        hr = ::CoCreateInstance(kelvo::msxml::kFreeThreadedDocument, nullptr, CLSCTX_INPROC_SERVER,
                                kelvo::msxml::kIXMLDOMDocument, doc.put_void());
    }
    if (FAILED(hr))
        return {};
    doc->put_async(VARIANT_FALSE);
    doc->put_resolveExternals(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
    // Blank text is kept so that chunk texts come back exactly; the walkers
    // skip the non-element nodes that this leaves between elements.
    doc->put_preserveWhiteSpace(VARIANT_TRUE);
    if (auto doc2 = doc.query<IXMLDOMDocument2>(kelvo::msxml::kIXMLDOMDocument2)) {
        unique_variant xpath;
        SetStringVariant(xpath.get(), L"XPath");
        doc2->setProperty(unique_bstr(L"SelectionLanguage").get(), *xpath.get());
        SetBoolProperty(doc2.get(), L"ProhibitDTD", true);
    }
    return doc;
}

enum class ReadResult { ok, missing, failed };

// Reads the whole file into a byte array variant, the form the parser takes
// fastest (loading by path or from a stream is far slower on large files).
ReadResult ReadWholeFile(const wchar_t* path, unique_variant& bytes, std::size_t& size) {
    auto file = kelvo::adopt_file(
        ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::missing
                                                                              : ReadResult::failed;
    }
    LARGE_INTEGER file_size{};
    if (!::GetFileSizeEx(file.get(), &file_size) || file_size.QuadPart > kMaxFileSize)
        return ReadResult::failed;
    size = static_cast<std::size_t>(file_size.QuadPart);
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(size));
    if (!array)
        throw std::bad_alloc();
    VARIANT* v = bytes.put();
    v->vt = VT_ARRAY | VT_UI1;
    v->parray = array;
    kelvo::safearray_access data(array);
    auto* target = static_cast<char*>(data.data());
    for (std::size_t done = 0; done < size;) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1 << 24));
        DWORD read = 0;
        if (!target || !::ReadFile(file.get(), target + done, chunk, &read, nullptr) || read == 0)
            return ReadResult::failed;
        done += read;
    }
    return ReadResult::ok;
}

// True if the bytes hold a document type declaration in UTF-8 or UTF-16.
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

bool HasDoctype(const VARIANT& bytes, std::size_t size) {
    kelvo::safearray_access data(bytes.parray);
    return !data.data() ||
           HasDoctype(std::string_view(static_cast<const char*>(data.data()), size));
}

std::wstring FolderOf(const std::wstring& path) {
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

std::wstring UnreadableCopyName(const std::wstring& path, int attempt) {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    wchar_t stamp[64];
    swprintf(stamp, 64, L".unreadable-%04u%02u%02u-%02u%02u%02u", t.wYear, t.wMonth, t.wDay,
             t.wHour, t.wMinute, t.wSecond);
    std::wstring name = path + stamp;
    if (attempt > 0)
        name += L"-" + std::to_wstring(attempt + 1);
    return name;
}

// Appends text, turning every line feed that does not follow a carriage return
// into both, and growing the output once.
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

void AppendText(IXMLDOMNode* node, std::wstring& out) {
    com_ptr<IXMLDOMNode> child;
    node->get_firstChild(child.put());
    while (child) {
        DOMNodeType type{};
        child->get_nodeType(&type);
        if (type == NODE_TEXT || type == NODE_CDATA_SECTION) {
            unique_variant value;
            if (SUCCEEDED(child->get_nodeValue(value.get())) && value.get()->vt == VT_BSTR)
                AppendWithCrLf({value.get()->bstrVal, ::SysStringLen(value.get()->bstrVal)}, out);
        } else if (type == NODE_ELEMENT || type == NODE_ENTITY_REFERENCE) {
            AppendText(child.get(), out);
        }
        com_ptr<IXMLDOMNode> next;
        child->get_nextSibling(next.put());
        child = std::move(next);
    }
}

} // namespace

CXMLProps::CXMLProps() : m_doc(CreateDocument()) {
    m_stack.reserve(10);
}

CXMLProps::~CXMLProps() = default;

bool CXMLProps::Push(const com_ptr<IXMLDOMNode>& node) {
    auto element = node.query<IXMLDOMElement>(kelvo::msxml::kIXMLDOMElement);
    if (!element)
        return false;
    m_stack.push_back(std::move(element));
    return true;
}

bool CXMLProps::Load(const wchar_t* path) {
    m_unreadable = false;
    if (!m_doc || !path)
        return false;
    unique_variant bytes;
    std::size_t size = 0;
    switch (ReadWholeFile(path, bytes, size)) {
    case ReadResult::missing:
        return false;
    case ReadResult::failed:
        m_unreadable = true;
        return false;
    case ReadResult::ok:
        break;
    }
    // An empty file holds nothing to lose.
    m_unreadable = size > 0;
    if (size == 0 || HasDoctype(*bytes.get(), size))
        return false;
    VARIANT_BOOL ok = VARIANT_FALSE;
    if (FAILED(m_doc->load(*bytes.get(), &ok)) || ok != VARIANT_TRUE)
        return false;

    // Well-formed: a foreign root stays in the document (so CreateNew refuses
    // to build on it) and the file is left alone.
    m_unreadable = false;
    com_ptr<IXMLDOMNode> root;
    if (m_doc->selectSingleNode(unique_bstr(L"kelvo").get(), root.put()) != S_OK || !root)
        return false;
    if (!Push(root))
        return false;
    m_path = path;
    return true;
}

bool CXMLProps::CreateNew(const wchar_t* path) {
    if (!m_doc)
        return false;
    com_ptr<IXMLDOMElement> existing;
    if (m_doc->get_documentElement(existing.put()) == S_OK && existing)
        return false; // a document holds one root element
    com_ptr<IXMLDOMProcessingInstruction> declaration;
    com_ptr<IXMLDOMNode> appended;
    if (FAILED(m_doc->createProcessingInstruction(
            unique_bstr(L"xml").get(), unique_bstr(L"version=\"1.0\" encoding=\"UTF-8\"").get(),
            declaration.put())) ||
        FAILED(m_doc->appendChild(declaration.get(), appended.put())))
        return false;
    com_ptr<IXMLDOMElement> root;
    if (FAILED(m_doc->createElement(unique_bstr(L"kelvo").get(), root.put())) ||
        FAILED(m_doc->appendChild(root.get(), appended.put())))
        return false;
    m_stack.clear();
    Push(appended);
    if (path)
        m_path = path;
    return true;
}

bool CXMLProps::Select(const wchar_t* path, bool create) {
    if (!m_stack.empty()) {
        com_ptr<IXMLDOMNode> found;
        if (m_stack.back()->selectSingleNode(unique_bstr(path).get(), found.put()) == S_OK && found)
            return Push(found);
    }
    return create && AddChild(path);
}

bool CXMLProps::AddChild(const wchar_t* name) {
    if (!m_doc || m_stack.empty())
        return false;
    com_ptr<IXMLDOMElement> element;
    com_ptr<IXMLDOMNode> appended;
    if (FAILED(m_doc->createElement(unique_bstr(name).get(), element.put())) ||
        FAILED(m_stack.back()->appendChild(element.get(), appended.put())))
        return false;
    return Push(appended);
}

void CXMLProps::Up() {
    if (!m_stack.empty())
        m_stack.pop_back();
}

bool CXMLProps::Next() {
    if (m_stack.empty())
        return false;
    com_ptr<IXMLDOMNode> node = m_stack.back();
    for (;;) {
        com_ptr<IXMLDOMNode> next;
        if (node->get_nextSibling(next.put()) != S_OK || !next)
            return false;
        if (auto element = next.query<IXMLDOMElement>(kelvo::msxml::kIXMLDOMElement)) {
            m_stack.back() = std::move(element);
            return true;
        }
        node = std::move(next);
    }
}

bool CXMLProps::GetAttr(const wchar_t* name, std::wstring& value) {
    if (m_stack.empty())
        return false;
    unique_variant v;
    if (m_stack.back()->getAttribute(unique_bstr(name).get(), v.get()) != S_OK ||
        v.get()->vt != VT_BSTR)
        return false;
    value.assign(v.get()->bstrVal, ::SysStringLen(v.get()->bstrVal));
    return true;
}

int CXMLProps::GetIntAttr(const wchar_t* name, int def) {
    std::wstring text;
    if (!GetAttr(name, text))
        return def;
    unique_variant in, out;
    SetStringVariant(in.get(), text);
    if (FAILED(::VariantChangeType(out.get(), in.get(), 0, VT_I4)))
        return def;
    return out.get()->lVal;
}

unsigned CXMLProps::GetUIntAttr(const wchar_t* name) {
    std::wstring text;
    if (!GetAttr(name, text))
        return 0;
    unique_variant in, out;
    SetStringVariant(in.get(), text);
    if (FAILED(::VariantChangeType(out.get(), in.get(), 0, VT_UI4)))
        return 0;
    return out.get()->ulVal;
}

std::wstring CXMLProps::GetStrAttr(const wchar_t* name, std::wstring_view def) {
    std::wstring value;
    if (!GetAttr(name, value))
        value.assign(def);
    return value;
}

void CXMLProps::SetIntAttr(const wchar_t* name, int value) {
    SetStrAttr(name, std::to_wstring(value));
}

void CXMLProps::SetStrAttr(const wchar_t* name, std::wstring_view text) {
    if (m_stack.empty())
        return;
    unique_variant v;
    SetStringVariant(v.get(), text);
    m_stack.back()->setAttribute(unique_bstr(name).get(), *v.get());
}

bool CXMLProps::SetChildText(const wchar_t* name, std::wstring_view text) {
    if (name && !Select(name, false) && !AddChild(name))
        return false;
    bool ok = false;
    if (m_doc && !m_stack.empty()) {
        IXMLDOMNode* node = m_stack.back().get();
        ok = true;
        com_ptr<IXMLDOMNode> child;
        while (ok && node->get_firstChild(child.put()) == S_OK && child) {
            com_ptr<IXMLDOMNode> removed;
            ok = SUCCEEDED(node->removeChild(child.get(), removed.put()));
        }
        com_ptr<IXMLDOMText> text_node;
        com_ptr<IXMLDOMNode> appended;
        ok = ok && SUCCEEDED(m_doc->createTextNode(unique_bstr(text).get(), text_node.put())) &&
             SUCCEEDED(node->appendChild(text_node.get(), appended.put()));
    }
    if (name)
        Up();
    return ok;
}

std::optional<std::wstring> CXMLProps::GetText() {
    if (m_stack.empty())
        return std::nullopt;
    std::wstring text;
    AppendText(m_stack.back().get(), text);
    return text;
}

bool CXMLProps::RemoveCurrent() {
    if (m_stack.empty())
        return false;
    com_ptr<IXMLDOMElement> node = std::move(m_stack.back());
    m_stack.pop_back();
    if (m_stack.empty())
        return false;
    com_ptr<IXMLDOMNode> removed;
    return SUCCEEDED(m_stack.back()->removeChild(node.get(), removed.put()));
}

bool CXMLProps::KeepUnreadableCopy() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (::CopyFileW(m_path->c_str(), UnreadableCopyName(*m_path, attempt).c_str(), TRUE))
            return true;
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool CXMLProps::Save() {
    if (!m_doc || !m_path)
        return false;
    if (m_unreadable) {
        if (!KeepUnreadableCopy())
            return false;
        m_unreadable = false;
    }
    wchar_t temp[MAX_PATH + 16] = {};
    if (!::GetTempFileNameW(FolderOf(*m_path).c_str(), L"kvx", 0, temp))
        return false;
    unique_variant target;
    SetStringVariant(target.get(), temp);
    bool ok = SUCCEEDED(m_doc->save(*target.get()));
    if (ok) {
        // Clears read-only, hidden and system, so such a file is replaced too.
        ::SetFileAttributesW(m_path->c_str(), FILE_ATTRIBUTE_ARCHIVE);
        ok = ::MoveFileExW(temp, m_path->c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (!ok) {
        // Callers tell the user why a save failed: keep the error across the clean-up.
        const DWORD error = ::GetLastError();
        ::DeleteFileW(temp);
        ::SetLastError(error);
    }
    return ok;
}

std::unique_ptr<CXMLProps> OpenXmlFile(const std::wstring& path) {
    auto props = std::make_unique<CXMLProps>();
    if (props->has_document() && !props->Load(path.c_str()))
        props->CreateNew(path.c_str());
    return props;
}

std::unique_ptr<CXMLProps> OpenSettingsXml() {
    return OpenXmlFile(GetDataFolder() + L"settings.xml");
}

std::unique_ptr<CXMLProps> OpenChunksXml() {
    return OpenXmlFile(GetDataFolder() + L"chunks.xml");
}
