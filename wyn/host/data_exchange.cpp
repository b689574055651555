#include "wyn/host/data_exchange.h"

#include <algorithm>
#include <limits>

#include "wyn/engine/wyn_element.h"

namespace {

using Kind = CWynExchange::Kind;

template <typename T> T* Variable(const CWynExchange& record) {
    T* const* v = std::get_if<T*>(&record.variable);
    return v ? *v : nullptr;
}

// The integer a variable of an integer kind shows.
std::optional<int> ReadInteger(const CWynExchange& record) {
    if (const int* v = Variable<int>(record))
        return *v;
    if (const std::uint16_t* v = Variable<std::uint16_t>(record))
        return *v;
    if (const std::uint8_t* v = Variable<std::uint8_t>(record))
        return *v;
    return std::nullopt;
}

void WriteInteger(const CWynExchange& record, int value) {
    if (int* v = Variable<int>(record))
        *v = value;
    else if (std::uint16_t* v = Variable<std::uint16_t>(record))
        *v = static_cast<std::uint16_t>(value);
    else if (std::uint8_t* v = Variable<std::uint8_t>(record))
        *v = static_cast<std::uint8_t>(value);
}

void PutInteger(CWynElement& element, const CWynExchange& record) {
    const auto v = ReadInteger(record);
    if (!v)
        return;
    element.SetIntValue(record.twoValues ? (*v == record.a ? 1 : 0) : *v);
}

void GetInteger(CWynElement& element, const CWynExchange& record) {
    const int value = element.GetIntValue();
    WriteInteger(record, record.twoValues ? (value != 0 ? record.a : record.b) : value);
}

} // namespace

void PutExchange(CWynElement& dialog, CWynElement* scope, const CWynExchange& record) {
    CWynElement* element = (scope ? scope : &dialog)->FindById(record.id);
    if (!element)
        return;
    switch (record.kind) {
    case Kind::kInt:
    case Kind::kUInt16:
    case Kind::kUInt8:
        PutInteger(*element, record);
        break;
    case Kind::kText:
        if (auto* const* v = std::get_if<std::optional<std::wstring>*>(&record.variable);
            v && *v && **v)
            element->SetTextValue((**v)->c_str());
        else if (auto* const* secret =
                     std::get_if<std::optional<kelvo::WipedString<wchar_t>>*>(&record.variable);
                 secret && *secret && **secret)
            element->SetTextValue((**secret)->c_str());
        break;
    case Kind::kBuffer:
        if (const auto* buffer = std::get_if<std::span<wchar_t>>(&record.variable);
            buffer && !buffer->empty()) {
            // The buffer's text ends at its first zero, or at its end.
            const std::wstring_view held(buffer->data(), buffer->size());
            element->SetTextValue(std::wstring(held.substr(0, held.find(L'\0'))).c_str());
        }
        break;
    case Kind::kFlags:
        if (const std::uint32_t* v = Variable<std::uint32_t>(record)) {
            const auto mask = static_cast<std::uint32_t>(record.a);
            element->SetIntValue((*v & mask) == mask ? 1 : 0);
        }
        break;
    case Kind::kBitField:
        if (const std::uint32_t* v = Variable<std::uint32_t>(record))
            element->SetIntValue(static_cast<int>(*v & static_cast<std::uint32_t>(record.a)));
        break;
    case Kind::kScaled:
        if (const int* v = Variable<int>(record); v && record.a != 0) {
            // INT_MIN / -1 is the one quotient that does not fit.
            const long long quotient = static_cast<long long>(*v) / record.a;
            element->SetIntValue(
                static_cast<int>(std::min<long long>(quotient, std::numeric_limits<int>::max())));
        }
        break;
    }
}

void GetExchange(CWynElement& dialog, const CWynExchange& record) {
    CWynElement* element = dialog.FindById(record.id);
    if (!element || !element->IsLive())
        return;
    switch (record.kind) {
    case Kind::kInt:
    case Kind::kUInt16:
    case Kind::kUInt8:
        GetInteger(*element, record);
        break;
    case Kind::kText:
        if (auto* const* v = std::get_if<std::optional<std::wstring>*>(&record.variable); v && *v) {
            const wchar_t* text = element->GetTextValue();
            **v = text ? std::optional<std::wstring>(text) : std::nullopt;
        } else if (auto* const* secret =
                       std::get_if<std::optional<kelvo::WipedString<wchar_t>>*>(&record.variable);
                   secret && *secret) {
            // Replacing or dropping the old text gives its block up wiped.
            if (const wchar_t* text = element->GetTextValue())
                (*secret)->emplace(std::wstring_view(text));
            else
                (*secret)->reset();
        }
        break;
    case Kind::kBuffer:
        if (const auto* buffer = std::get_if<std::span<wchar_t>>(&record.variable);
            buffer && !buffer->empty()) {
            const std::wstring_view text = element->GetTextValueOr(L"");
            const std::size_t n = std::min(text.size(), buffer->size() - 1);
            std::copy_n(text.data(), n, buffer->data());
            (*buffer)[n] = L'\0';
        }
        break;
    case Kind::kFlags:
        if (std::uint32_t* v = Variable<std::uint32_t>(record)) {
            const auto mask = static_cast<std::uint32_t>(record.a);
            *v = element->GetIntValue() != 0 ? (*v | mask) : (*v & ~mask);
        }
        break;
    case Kind::kBitField:
        if (std::uint32_t* v = Variable<std::uint32_t>(record)) {
            const auto mask = static_cast<std::uint32_t>(record.a);
            *v = (*v & ~mask) | (static_cast<std::uint32_t>(element->GetIntValue()) & mask);
        }
        break;
    case Kind::kScaled:
        if (int* v = Variable<int>(record); v && record.a != 0) {
            const long long product = static_cast<long long>(element->GetIntValue()) * record.a;
            *v = static_cast<int>(std::clamp<long long>(product, std::numeric_limits<int>::min(),
                                                        std::numeric_limits<int>::max()));
        }
        break;
    }
}
