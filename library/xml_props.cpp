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

using kelvo::com_ptr;
using kelvo::unique_bstr;
using kelvo::unique_variant;

namespace {

void SetStringVariant(VARIANT* v, std::wstring_view text) {
    v->bstrVal = unique_bstr(text).release();
    v->vt = VT_BSTR;
}

// Every text that goes into a file passes here: see xml_chars.h.
unique_bstr XmlSafeText(std::wstring_view text) {
    return unique_bstr(kelvo::as_wide(kelvo::DropNonXmlChars(kelvo::as_u16(text))));
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
    CDataFileBytes bytes;
    switch (bytes.Read(path)) {
    case CDataFileBytes::ReadResult::missing:
        return false;
    case CDataFileBytes::ReadResult::failed:
        m_unreadable = true;
        return false;
    case CDataFileBytes::ReadResult::ok:
        break;
    }
    m_loadedSize = bytes.view().size();
    // An empty file holds nothing to lose.
    m_unreadable = !bytes.view().empty();
    if (bytes.view().empty() || bytes.HasDoctype())
        return false;
    const auto parsed = bytes.Parse([this](const VARIANT& input) {
        VARIANT_BOOL ok = VARIANT_FALSE;
        return SUCCEEDED(m_doc->load(input, &ok)) && ok == VARIANT_TRUE;
    });
    if (parsed == CDataFileBytes::ParseResult::failed)
        return false;

    // Well-formed: a foreign root stays in the document (so CreateNew refuses
    // to build on it) and the file is left alone. Read only without the
    // characters XML cannot carry, the file as stored is kept before the
    // first save replaces it.
    m_unreadable = parsed == CDataFileBytes::ParseResult::parsed_without_forbidden;
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
    v.get()->bstrVal = XmlSafeText(text).release();
    v.get()->vt = VT_BSTR;
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
        ok = ok && SUCCEEDED(m_doc->createTextNode(XmlSafeText(text).get(), text_node.put())) &&
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
        if (::CopyFileW(LongPathForm(*m_path).c_str(),
                        LongPathForm(UnreadableCopyName(*m_path, attempt)).c_str(), TRUE))
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
    // The document in memory first, so that the file is written in one go.
    std::string bytes;
    bytes.reserve(m_loadedSize + m_loadedSize / 8 + 4096);
    unique_variant target;
    target.get()->punkVal = CreateOutputStream(bytes).release();
    target.get()->vt = VT_UNKNOWN;
    if (FAILED(m_doc->save(*target.get())))
        return false;
    return ReplaceFileContents(*m_path, bytes);
}

std::unique_ptr<CXMLProps> OpenXmlFile(const std::wstring& path) {
    auto props = std::make_unique<CXMLProps>();
    if (props->has_document() && !props->Load(path.c_str()))
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
