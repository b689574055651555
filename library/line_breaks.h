#pragma once
// Chunk texts use carriage return + line feed; XML parsers hand line breaks
// back as bare line feeds.

#include <string>
#include <string_view>

// Every line feed that does not follow a carriage return gets one.
std::u16string WithCrLf(std::u16string_view text);
