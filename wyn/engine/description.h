#pragma once
// Finds and parses a dialog description: "res:" plus a name reads the
// "WYNLIB" resource of that name from the module; any other source is a file
// path or URL. External entities and document types are never fetched.

#include <windows.h>

#include <msxml2.h>

#include <optional>

#include "base/com.h"

namespace kelvo {

struct WynDescription {
    ComPtr<IXMLDOMDocument> document;
    ComPtr<IXMLDOMNode> root; // the node the root path selected
};

// None when the source is missing, does not parse, or has no node at the
// root path. COM must be initialised on the calling thread.
std::optional<WynDescription> LoadDescription(const wchar_t* source, const wchar_t* root_path,
                                              HINSTANCE module);

} // namespace kelvo
