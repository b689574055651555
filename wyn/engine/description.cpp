#include "wyn/engine/description.h"

#include <string>
#include <string_view>

#include "base/msxml_ids.h"
#include "wyn/engine/wyn_resource.h"

namespace kelvo {
namespace {

constexpr std::wstring_view kResourcePrefix = L"res:";

ComPtr<IXMLDOMDocument> CreateDocument() {
    ComPtr<IXMLDOMDocument> doc;
    if (FAILED(::CoCreateInstance(msxml::kFreeThreadedDocument, nullptr, CLSCTX_INPROC_SERVER,
                                  msxml::kIXMLDOMDocument, doc.PutVoid())))
        return {};
    doc->put_async(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
    doc->put_resolveExternals(VARIANT_FALSE);
    if (auto doc2 = doc.Query<IXMLDOMDocument2>(msxml::kIXMLDOMDocument2)) {
        UniqueVariant xpath;
        xpath.Get()->bstrVal = UniqueBstr(L"XPath").Release();
        xpath.Get()->vt = VT_BSTR;
        doc2->setProperty(UniqueBstr(L"SelectionLanguage").Get(), *xpath.Get());
    }
    return doc;
}

bool Parse(IXMLDOMDocument* doc, std::wstring_view source, HINSTANCE module) {
    VARIANT_BOOL ok = VARIANT_FALSE;
    if (source.starts_with(kResourcePrefix)) {
        const std::wstring name(source.substr(kResourcePrefix.size()));
        const std::wstring text = ReadWynText(module, name.c_str());
        if (text.empty())
            return false;
        const UniqueBstr xml(text);
        return SUCCEEDED(doc->loadXML(xml.Get(), &ok)) && ok == VARIANT_TRUE;
    }
    UniqueVariant path;
    path.Get()->bstrVal = UniqueBstr(source).Release();
    path.Get()->vt = VT_BSTR;
    return SUCCEEDED(doc->load(*path.Get(), &ok)) && ok == VARIANT_TRUE;
}

} // namespace

std::optional<WynDescription> LoadDescription(const wchar_t* source, const wchar_t* root_path,
                                              HINSTANCE module) {
    if (!source || !root_path)
        return std::nullopt;
    WynDescription description{CreateDocument(), {}};
    if (!description.document || !Parse(description.document.Get(), source, module))
        return std::nullopt;
    if (description.document->selectSingleNode(UniqueBstr(root_path).Get(),
                                               description.root.Put()) != S_OK ||
        !description.root)
        return std::nullopt;
    return description;
}

} // namespace kelvo
