#include "wyn/engine/description.h"

#include <string>
#include <string_view>

#include "base/msxml_ids.h"
#include "wyn/engine/wyn_resource.h"

namespace kelvo {
namespace {

constexpr std::wstring_view kResourcePrefix = L"res:";

com_ptr<IXMLDOMDocument> CreateDocument() {
    com_ptr<IXMLDOMDocument> doc;
    if (FAILED(::CoCreateInstance(msxml::kFreeThreadedDocument, nullptr, CLSCTX_INPROC_SERVER,
                                  msxml::kIXMLDOMDocument, doc.put_void())))
        return {};
    doc->put_async(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
    doc->put_resolveExternals(VARIANT_FALSE);
    if (auto doc2 = doc.query<IXMLDOMDocument2>(msxml::kIXMLDOMDocument2)) {
        unique_variant xpath;
        xpath.get()->bstrVal = unique_bstr(L"XPath").release();
        xpath.get()->vt = VT_BSTR;
        doc2->setProperty(unique_bstr(L"SelectionLanguage").get(), *xpath.get());
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
        const unique_bstr xml(text);
        return SUCCEEDED(doc->loadXML(xml.get(), &ok)) && ok == VARIANT_TRUE;
    }
    unique_variant path;
    path.get()->bstrVal = unique_bstr(source).release();
    path.get()->vt = VT_BSTR;
    return SUCCEEDED(doc->load(*path.get(), &ok)) && ok == VARIANT_TRUE;
}

} // namespace

std::optional<WynDescription> LoadDescription(const wchar_t* source, const wchar_t* rootPath,
                                              HINSTANCE module) {
    if (!source || !rootPath)
        return std::nullopt;
    WynDescription description{CreateDocument(), {}};
    if (!description.document || !Parse(description.document.get(), source, module))
        return std::nullopt;
    if (description.document->selectSingleNode(unique_bstr(rootPath).get(),
                                               description.root.put()) != S_OK ||
        !description.root)
        return std::nullopt;
    return description;
}

} // namespace kelvo
