#include "library/xml_props.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/msxml_ids.h"
#include "base/utf16.h"
#include "base/win_handles.h"
#include "library/data_folder.h"
#include "library/file_replace.h"
#include "library/xml_chars.h"
#include "library/xml_file.h"

using kelvo::ComPtr;
using kelvo::UniqueBstr;
using kelvo::UniqueVariant;

namespace {

void SetStringVariant(VARIANT* v, std::wstring_view text) {
    v->bstrVal = UniqueBstr(text).Release();
    v->vt = VT_BSTR;
}

// Every text that goes into a file passes here: see xml_chars.h.
UniqueBstr XmlSafeText(std::wstring_view text) {
    return UniqueBstr(kelvo::AsWide(kelvo::DropNonXmlChars(kelvo::AsU16(text))));
}

void SetBoolProperty(IXMLDOMDocument2* doc, const wchar_t* name, bool value) {
    UniqueVariant v;
    v.Get()->vt = VT_BOOL;
    v.Get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    doc->setProperty(UniqueBstr(name).Get(), *v.Get());
}

ComPtr<IXMLDOMDocument> CreateDocument() {
    ComPtr<IXMLDOMDocument> doc;
    HRESULT hr =
        ::CoCreateInstance(kelvo::msxml::kFreeThreadedDocument, nullptr, CLSCTX_INPROC_SERVER,
                           kelvo::msxml::kIXMLDOMDocument, doc.PutVoid());
    if (FAILED(hr)) {
        // A thread where start-up did not initialise COM.
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        hr = ::CoCreateInstance(kelvo::msxml::kFreeThreadedDocument, nullptr, CLSCTX_INPROC_SERVER,
                                kelvo::msxml::kIXMLDOMDocument, doc.PutVoid());
    }
    if (FAILED(hr))
        return {};
    doc->put_async(VARIANT_FALSE);
    doc->put_resolveExternals(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
    // Blank text is kept so that chunk texts come back exactly; the walkers
    // skip the non-element nodes that this leaves between elements.
    doc->put_preserveWhiteSpace(VARIANT_TRUE);
    if (auto doc2 = doc.Query<IXMLDOMDocument2>(kelvo::msxml::kIXMLDOMDocument2)) {
        UniqueVariant xpath;
        SetStringVariant(xpath.Get(), L"XPath");
        doc2->setProperty(UniqueBstr(L"SelectionLanguage").Get(), *xpath.Get());
        SetBoolProperty(doc2.Get(), L"ProhibitDTD", true);
    }
    return doc;
}

void AppendText(IXMLDOMNode* node, std::wstring& out) {
    ComPtr<IXMLDOMNode> child;
    node->get_firstChild(child.Put());
    while (child) {
        DOMNodeType type{};
        child->get_nodeType(&type);
        if (type == NODE_TEXT || type == NODE_CDATA_SECTION) {
            UniqueVariant value;
            if (SUCCEEDED(child->get_nodeValue(value.Get())) && value.Get()->vt == VT_BSTR)
                AppendWithCrLf({value.Get()->bstrVal, ::SysStringLen(value.Get()->bstrVal)}, out);
        } else if (type == NODE_ELEMENT || type == NODE_ENTITY_REFERENCE) {
            AppendText(child.Get(), out);
        }
        ComPtr<IXMLDOMNode> next;
        child->get_nextSibling(next.Put());
        child = std::move(next);
    }
}

} // namespace

CXMLProps::CXMLProps() : m_doc(CreateDocument()) {
    m_stack.reserve(10);
}

CXMLProps::~CXMLProps() = default;

bool CXMLProps::Push(const ComPtr<IXMLDOMNode>& node) {
    auto element = node.Query<IXMLDOMElement>(kelvo::msxml::kIXMLDOMElement);
    if (!element)
        return false;
    m_stack.push_back(std::move(element));
    return true;
}

bool CXMLProps::Load(const wchar_t* path) {
    m_unreadable = false;
    m_readError = ERROR_SUCCESS;
    m_loaded.reset();
    if (!m_doc || !path)
        return false;
    CDataFileBytes bytes;
    switch (bytes.Read(path)) {
    case CDataFileBytes::ReadResult::kMissing:
        m_state = FileState::kMissing;
        m_loaded = FileContents{};
        return false;
    case CDataFileBytes::ReadResult::kFailed:
        m_state = FileState::kHeld;
        m_readError = bytes.ReadError();
        m_unreadable = true;
        return false;
    case CDataFileBytes::ReadResult::kOk:
        break;
    }
    m_loaded = FileContents{
        .exists = true, .size = bytes.View().size(), .hash = ContentHash(bytes.View())};
    if (bytes.View().empty()) {
        m_state = FileState::kEmpty; // holds nothing to lose
        return false;
    }
    m_state = FileState::kDamaged;
    m_unreadable = true;
    if (bytes.HasDoctype())
        return false;
    const auto parsed = bytes.Parse([this](const VARIANT& input) {
        VARIANT_BOOL ok = VARIANT_FALSE;
        return SUCCEEDED(m_doc->load(input, &ok)) && ok == VARIANT_TRUE;
    });
    if (parsed == CDataFileBytes::ParseResult::kFailed)
        return false;

    // Well-formed: a foreign root stays in the document (so CreateNew refuses
    // to build on it) and the file is left alone. Read only without the
    // characters XML cannot carry, the file as stored is kept before the
    // first save replaces it.
    m_unreadable = parsed == CDataFileBytes::ParseResult::kParsedWithoutForbidden;
    m_state = FileState::kForeign;
    ComPtr<IXMLDOMNode> root;
    if (m_doc->selectSingleNode(UniqueBstr(L"kelvo").Get(), root.Put()) != S_OK || !root)
        return false;
    if (!Push(root))
        return false;
    m_state = FileState::kRead;
    m_path = path;
    return true;
}

bool CXMLProps::CreateNew(const wchar_t* path) {
    if (!m_doc)
        return false;
    ComPtr<IXMLDOMElement> existing;
    if (m_doc->get_documentElement(existing.Put()) == S_OK && existing)
        return false; // a document holds one root element
    ComPtr<IXMLDOMProcessingInstruction> declaration;
    ComPtr<IXMLDOMNode> appended;
    if (FAILED(m_doc->createProcessingInstruction(
            UniqueBstr(L"xml").Get(), UniqueBstr(L"version=\"1.0\" encoding=\"UTF-8\"").Get(),
            declaration.Put())) ||
        FAILED(m_doc->appendChild(declaration.Get(), appended.Put())))
        return false;
    ComPtr<IXMLDOMElement> root;
    if (FAILED(m_doc->createElement(UniqueBstr(L"kelvo").Get(), root.Put())) ||
        FAILED(m_doc->appendChild(root.Get(), appended.Put())))
        return false;
    m_stack.clear();
    Push(appended);
    if (path)
        m_path = path;
    return true;
}

bool CXMLProps::Select(const wchar_t* path, bool create) {
    if (!m_stack.empty()) {
        ComPtr<IXMLDOMNode> found;
        if (m_stack.back()->selectSingleNode(UniqueBstr(path).Get(), found.Put()) == S_OK && found)
            return Push(found);
    }
    return create && AddChild(path);
}

bool CXMLProps::AddChild(const wchar_t* name) {
    if (!m_doc || m_stack.empty())
        return false;
    ComPtr<IXMLDOMElement> element;
    ComPtr<IXMLDOMNode> appended;
    if (FAILED(m_doc->createElement(UniqueBstr(name).Get(), element.Put())) ||
        FAILED(m_stack.back()->appendChild(element.Get(), appended.Put())))
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
    ComPtr<IXMLDOMNode> node = m_stack.back();
    for (;;) {
        ComPtr<IXMLDOMNode> next;
        if (node->get_nextSibling(next.Put()) != S_OK || !next)
            return false;
        if (auto element = next.Query<IXMLDOMElement>(kelvo::msxml::kIXMLDOMElement)) {
            m_stack.back() = std::move(element);
            return true;
        }
        node = std::move(next);
    }
}

bool CXMLProps::GetAttr(const wchar_t* name, std::wstring& value) {
    if (m_stack.empty())
        return false;
    UniqueVariant v;
    if (m_stack.back()->getAttribute(UniqueBstr(name).Get(), v.Get()) != S_OK ||
        v.Get()->vt != VT_BSTR)
        return false;
    value.assign(v.Get()->bstrVal, ::SysStringLen(v.Get()->bstrVal));
    return true;
}

int CXMLProps::GetIntAttr(const wchar_t* name, int def) {
    std::wstring text;
    if (!GetAttr(name, text))
        return def;
    UniqueVariant in, out;
    SetStringVariant(in.Get(), text);
    if (FAILED(::VariantChangeType(out.Get(), in.Get(), 0, VT_I4)))
        return def;
    return out.Get()->lVal;
}

unsigned CXMLProps::GetUIntAttr(const wchar_t* name) {
    std::wstring text;
    if (!GetAttr(name, text))
        return 0;
    UniqueVariant in, out;
    SetStringVariant(in.Get(), text);
    if (FAILED(::VariantChangeType(out.Get(), in.Get(), 0, VT_UI4)))
        return 0;
    return out.Get()->ulVal;
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
    UniqueVariant v;
    v.Get()->bstrVal = XmlSafeText(text).Release();
    v.Get()->vt = VT_BSTR;
    m_stack.back()->setAttribute(UniqueBstr(name).Get(), *v.Get());
}

bool CXMLProps::SetChildText(const wchar_t* name, std::wstring_view text) {
    if (name && !Select(name, false) && !AddChild(name))
        return false;
    bool ok = false;
    if (m_doc && !m_stack.empty()) {
        IXMLDOMNode* node = m_stack.back().Get();
        ok = true;
        ComPtr<IXMLDOMNode> child;
        while (ok && node->get_firstChild(child.Put()) == S_OK && child) {
            ComPtr<IXMLDOMNode> removed;
            ok = SUCCEEDED(node->removeChild(child.Get(), removed.Put()));
        }
        ComPtr<IXMLDOMText> text_node;
        ComPtr<IXMLDOMNode> appended;
        ok = ok && SUCCEEDED(m_doc->createTextNode(XmlSafeText(text).Get(), text_node.Put())) &&
             SUCCEEDED(node->appendChild(text_node.Get(), appended.Put()));
    }
    if (name)
        Up();
    return ok;
}

std::optional<std::wstring> CXMLProps::GetText() {
    if (m_stack.empty())
        return std::nullopt;
    std::wstring text;
    AppendText(m_stack.back().Get(), text);
    return text;
}

bool CXMLProps::RemoveCurrent() {
    if (m_stack.empty())
        return false;
    ComPtr<IXMLDOMElement> node = std::move(m_stack.back());
    m_stack.pop_back();
    if (m_stack.empty())
        return false;
    ComPtr<IXMLDOMNode> removed;
    return SUCCEEDED(m_stack.back()->removeChild(node.Get(), removed.Put()));
}

bool CXMLProps::KeepUnreadableCopy() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring copy = StampedPath(*m_path, L"unreadable", attempt);
        if (::CopyFileW(LongPathForm(*m_path).c_str(), LongPathForm(copy).c_str(), TRUE)) {
            m_keptCopy = std::move(copy);
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool CXMLProps::DeclareUtf8() {
    // The parser keeps the declaration the file had (UTF-16, ISO-8859-1, or
    // none), and the save writes what it finds there.
    ComPtr<IXMLDOMNode> first;
    if (m_doc->get_firstChild(first.Put()) == S_OK && first) {
        DOMNodeType type{};
        UniqueBstr name;
        if (SUCCEEDED(first->get_nodeType(&type)) && type == NODE_PROCESSING_INSTRUCTION &&
            SUCCEEDED(first->get_nodeName(name.Put())) && name.Get() &&
            std::wstring_view(name.Get()) == L"xml") {
            ComPtr<IXMLDOMNode> removed;
            if (FAILED(m_doc->removeChild(first.Get(), removed.Put())))
                return false;
            first.Reset();
            m_doc->get_firstChild(first.Put());
        }
    }
    ComPtr<IXMLDOMProcessingInstruction> declaration;
    if (FAILED(m_doc->createProcessingInstruction(
            UniqueBstr(L"xml").Get(), UniqueBstr(L"version=\"1.0\" encoding=\"UTF-8\"").Get(),
            declaration.Put())))
        return false;
    ComPtr<IXMLDOMNode> inserted;
    UniqueVariant before;
    if (first) {
        before.Get()->vt = VT_UNKNOWN;
        before.Get()->punkVal = first.Get();
        first.Get()->AddRef();
    }
    return SUCCEEDED(m_doc->insertBefore(declaration.Get(), *before.Get(), inserted.Put()));
}

ReplaceResult CXMLProps::Write(const std::optional<FileContents>& expected) {
    if (!m_doc || !m_path || !DeclareUtf8())
        return ReplaceResult::kFailed;
    if (m_unreadable) {
        if (!KeepUnreadableCopy())
            return ReplaceResult::kFailed;
        m_unreadable = false;
    }
    // The document in memory first, so that the file is written in one go.
    std::string bytes;
    const std::size_t loaded = m_loaded ? static_cast<std::size_t>(m_loaded->size) : 0;
    bytes.reserve(loaded + loaded / 8 + 4096);
    UniqueVariant target;
    target.Get()->punkVal = CreateOutputStream(bytes).Detach();
    target.Get()->vt = VT_UNKNOWN;
    if (FAILED(m_doc->save(*target.Get())))
        return ReplaceResult::kFailed;
    const ReplaceResult result = ReplaceFileContents(*m_path, bytes, expected);
    if (result == ReplaceResult::kReplaced) {
        m_savedHash = ContentHash(bytes);
        m_savedBytes = std::move(bytes);
    }
    return result;
}

bool CXMLProps::Save() {
    return Write(std::nullopt) == ReplaceResult::kReplaced;
}

ReplaceResult CXMLProps::SaveIfUnchanged() {
    if (!m_loaded) {
        ::SetLastError(m_readError != ERROR_SUCCESS ? m_readError : ERROR_INVALID_DATA);
        return ReplaceResult::kFailed;
    }
    return Write(m_loaded);
}

std::unique_ptr<CXMLProps> OpenXmlFile(const std::wstring& path) {
    std::unique_ptr<CXMLProps> props;
    ReadPatiently(path, [&] {
        // A fresh document each time: a failed parse may leave part of one.
        props = std::make_unique<CXMLProps>();
        if (!props->HasDocument())
            return FileState::kRead; // nothing to wait for
        props->Load(path.c_str());
        return props->State();
    });
    if (props->HasDocument() && props->State() != FileState::kRead)
        props->CreateNew(path.c_str());
    return props;
}

std::wstring SettingsXmlPath() {
    return GetDataFolder() + L"settings.xml";
}

std::wstring ChunksXmlPath() {
    return GetDataFolder() + L"chunks.xml";
}

std::unique_ptr<CXMLProps> OpenSettingsXml() {
    return OpenXmlFile(SettingsXmlPath());
}

std::unique_ptr<CXMLProps> OpenChunksXml() {
    return OpenXmlFile(ChunksXmlPath());
}
