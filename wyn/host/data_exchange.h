#pragma once
// Data exchange between an application dialog's variables and the values of
// its elements. A dialog builds one record per control in its DoDataExchange
// and hands each to Put (variables to controls) or Get (controls to
// variables). The record's kind says how the variable is read and written:
//
//   kind       variable        put                         get
//   Int        int             value, or v == a ? 1 : 0    value, or value != 0 ? a : b
//   Text       optional text   the text, if there is one   a copy of the text, or none
//              (or secret)                                 (a secret's old text wiped)
//   Buffer     wchar_t span    the text                    the text, cut to fit, ended by 0
//   UInt16     16-bit          as Int                      as Int, kept in 16 bits
//   UInt8      8-bit           as Int                      as Int, kept in 8 bits
//   Flags      32-bit flags    (v & a) == a ? 1 : 0        bits a set if value != 0, else cleared
//   BitField   32-bit field    v & a                       (v & ~a) | (value & a)
//   Scaled     int             v / a                       value * a, held to the 32-bit range
//
// "or" marks the two-value form (true value a, false value b). A Scaled record
// with a == 0 does nothing either way.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "base/wipe.h"

class CWynElement;

struct CWynExchange {
    enum class Kind : int {
        kInt = 0,
        kText = 1,
        kBuffer = 2,
        kUInt16 = 3,
        kUInt8 = 4,
        kFlags = 5,
        kBitField = 6,
        kScaled = 7,
    };

    std::wstring_view id;
    Kind kind = Kind::kInt;
    bool twoValues = false;
    std::variant<int*, std::optional<std::wstring>*, std::optional<kelvo::WipedString<wchar_t>>*,
                 std::span<wchar_t>, std::uint16_t*, std::uint8_t*, std::uint32_t*>
        variable;
    std::int32_t a = 0;
    std::int32_t b = 0;

    static CWynExchange Int(std::wstring_view id, int& v) { return {id, Kind::kInt, false, &v}; }
    static CWynExchange Int(std::wstring_view id, int& v, int true_value, int false_value) {
        return {id, Kind::kInt, true, &v, true_value, false_value};
    }
    static CWynExchange Text(std::wstring_view id, std::optional<std::wstring>& v) {
        return {id, Kind::kText, false, &v};
    }
    // A text that may be a secret: every text it held is wiped as it goes.
    static CWynExchange Text(std::wstring_view id, std::optional<kelvo::WipedString<wchar_t>>& v) {
        return {id, Kind::kText, false, &v};
    }
    static CWynExchange Buffer(std::wstring_view id, std::span<wchar_t> buffer) {
        return {id, Kind::kBuffer, false, buffer};
    }
    static CWynExchange UInt16(std::wstring_view id, std::uint16_t& v) {
        return {id, Kind::kUInt16, false, &v};
    }
    static CWynExchange UInt16(std::wstring_view id, std::uint16_t& v, int true_value,
                               int false_value) {
        return {id, Kind::kUInt16, true, &v, true_value, false_value};
    }
    static CWynExchange UInt8(std::wstring_view id, std::uint8_t& v) {
        return {id, Kind::kUInt8, false, &v};
    }
    static CWynExchange UInt8(std::wstring_view id, std::uint8_t& v, int true_value,
                              int false_value) {
        return {id, Kind::kUInt8, true, &v, true_value, false_value};
    }
    static CWynExchange Flags(std::wstring_view id, std::uint32_t& v, std::uint32_t mask) {
        return {id, Kind::kFlags, false, &v, static_cast<std::int32_t>(mask)};
    }
    static CWynExchange BitField(std::wstring_view id, std::uint32_t& v, std::uint32_t mask) {
        return {id, Kind::kBitField, false, &v, static_cast<std::int32_t>(mask)};
    }
    static CWynExchange Scaled(std::wstring_view id, int& v, int factor) {
        return {id, Kind::kScaled, false, &v, factor};
    }
};

// Variables to controls. The element is looked up in `scope` when one is
// given, else in `dialog`; an id that finds nothing does nothing.
void PutExchange(CWynElement& dialog, CWynElement* scope, const CWynExchange& record);

// Controls to variables, the element looked up in `dialog`. An element whose
// controls cannot be read yet (a page never opened) leaves the variable as it is.
void GetExchange(CWynElement& dialog, const CWynExchange& record);
