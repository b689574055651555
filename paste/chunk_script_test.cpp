#include "paste/chunk_script.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/test_printable.h"

namespace kelvo {
namespace {

using namespace std::string_view_literals;

// What the script sent, one line per output call: "send <events>", "text <run>", "wait <ms>".
// An event is its hex code, "x" when extended, and "v" (down) or "^" (up).
class CTraceOutput final : public CScriptOutput {
public:
    void SendKeys(std::span<const KeyEvent> events) override {
        std::string line = "send";
        for (const KeyEvent& e : events) {
            char event[16];
            std::snprintf(event, sizeof event, " %02X%s%s", static_cast<unsigned>(e.code),
                          e.extended ? "x" : "", e.up ? "^" : "v");
            line += event;
        }
        trace.push_back(line);
    }
    void DeliverTextRun(std::u16string_view text) override {
        trace.push_back("text " + Printable(text));
    }
    void Wait(std::uint32_t milliseconds) override {
        trace.push_back("wait " + std::to_string(milliseconds));
    }

    std::vector<std::string> trace;
};

std::vector<std::string> Play(std::u16string_view script) {
    CHeldModifiers held;
    CTraceOutput output;
    PlayScript(script, held, output);
    for (std::uint16_t code : kModifierReleaseOrder)
        EXPECT_FALSE(held.IsHeld(code)) << "modifier left held: " << Printable(script);
    return output.trace;
}

TEST(ChunkScript, PlaysEachFormInOrder) {
    struct Case {
        std::u16string_view script;
        std::vector<std::string> trace;
    };
    const Case cases[] = {
        {u"", {}},
        {u"abc", {"text abc"}},
        {u"line one\r\nline two\n\tend", {"text line one\\u000D\\u000Aline two\\u000A\\u0009end"}},
        {u"first[TAB]second[ENTER]",
         {"text first", "send 09xv 09x^", "text second", "send 0Dxv 0Dx^"}},
        // Key tokens: any case, the whole token or nothing.
        {u"[tab][Tab][TAB]", {"send 09xv 09x^", "send 09xv 09x^", "send 09xv 09x^"}},
        {u"[F1][F10][END][ENTER]",
         {"send 70xv 70x^", "send 79xv 79x^", "send 23xv 23x^", "send 0Dxv 0Dx^"}},
        {u"[TAB ]", {"text [TAB ]"}},
        {u"[NAME]", {"text [NAME]"}},
        {u"Dear [NAME],[TAB]", {"text Dear [NAME],", "send 09xv 09x^"}},
        {u"[[TAB]", {"text [", "send 09xv 09x^"}},
        {u"a[", {"text a["}},
        {u"[", {"text ["}},
        {u"[F1", {"text [F1"}},
        // Character keys: the code unit itself, not extended, never a toggle.
        {u"[*A]", {"send 41v 41^"}},
        {u"[*a][*5]", {"send 61v 61^", "send 35v 35^"}},
        {u"[*AB]", {"text [*AB]"}},
        {u"[*]]", {"send 5Dv 5D^"}},
        {u"[*\x10]", {"send 10v 10^"}},
        {u"[*A", {"text [*A"}},
        {u"[*", {"text [*"}},
        // Numeric keys: decimal or hex, extended, low 16 bits.
        {u"[\\65][\\x41][\\X41]", {"send 41xv 41x^", "send 41xv 41x^", "send 41xv 41x^"}},
        {u"[\\ 65]", {"send 41xv 41x^"}},
        {u"[\\x0x41]", {"send 41xv 41x^"}},
        {u"[\\65601]", {"send 41xv 41x^"}},
        {u"[\\-5]", {"send FFFBxv FFFBx^"}},
        {u"[\\99999999999]", {"send FFFFxv FFFFx^"}},
        // A number that names no key sends nothing and leaves nothing behind.
        {u"a[\\x]b", {"text ab"}},
        {u"[\\0x41]", {}},
        {u"[\\65536]", {}},
        {u"[\\]", {}},
        {u"[\\", {}},
        // Cut off by the end of the text: the argument runs to the end.
        {u"[\\65", {"send 41xv 41x^"}},
        {u"ab[\\65 cd[TAB", {"text ab", "send 41xv 41x^"}},
        // Pauses: decimal, capped, delivering the pending text first.
        {u"[SLEEP 500][SLEEP500][sleep 500][SlEeP +500 ms]",
         {"wait 500", "wait 500", "wait 500", "wait 500"}},
        {u"[SLEEP 2500]", {"wait 2000"}},
        {u"[SLEEP 2147483648]", {"wait 2000"}},
        {u"[SLEEP 1]", {"wait 1"}},
        {u"a[SLEEP -5]b[SLEEP]c[SLEEPY]d[SLEEP 0]e", {"text abcde"}},
        {u"name[SLEEP 500][TAB]", {"text name", "wait 500", "send 09xv 09x^"}},
        {u"a[SLEEP 10", {"text a", "wait 10"}},
        {u"[SLEE", {"text [SLEE"}},
        {u"[SLEEP", {}},
        // Modifiers latch until toggled, a text run or the end.
        {u"[SHIFT]", {"send 10xv", "send 10x^"}},
        {u"[CTRL][CTRL]", {"send 11xv", "send 11x^"}},
        {u"[\\16]", {"send 10xv", "send 10x^"}},
        {u"[\\x10]x", {"send 10xv", "send 10x^", "text x"}},
        {u"[CTRL][\\65][CTRL]", {"send 11xv", "send 41xv 41x^", "send 11x^"}},
        {u"[ALT][F4]", {"send 12xv", "send 73xv 73x^", "send 12x^"}},
        {u"[SHIFT][TAB][SHIFT]", {"send 10xv", "send 09xv 09x^", "send 10x^"}},
        {u"[CTRL]a", {"send 11xv", "send 11x^", "text a"}},
        {u"[CTRL][SLEEP 100][\\65]", {"send 11xv", "wait 100", "send 41xv 41x^", "send 11x^"}},
        {u"[CTRL]a[SLEEP 100]", {"send 11xv", "send 11x^", "text a", "wait 100"}},
        {u"[WINDOW][ALT][SHIFT][CTRL]",
         {"send 5Bxv", "send 12xv", "send 10xv", "send 11xv", "send 11x^", "send 10x^", "send 12x^",
          "send 5Bx^"}},
        {u"[WINDOW][CTRL]x[TAB]",
         {"send 5Bxv", "send 11xv", "send 11x^", "send 5Bx^", "text x", "send 09xv 09x^"}},
        // Side-specific and right-hand codes are ordinary keys.
        {u"[\\x5C][\\xA0]", {"send 5Cxv 5Cx^", "send A0xv A0x^"}},
        // The text ends at its first NUL.
        {u"ab\0[TAB]"sv, {"text ab"}},
        {u"\0abc"sv, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Play(c.script), c.trace) << "script: " << Printable(c.script);
}

// The caller's state may be stale from an interrupted paste: it is reset
// without sending anything, so a first [CTRL] presses Ctrl.
TEST(ChunkScript, StartsFromResetModifiers) {
    CHeldModifiers held;
    held.SetHeld(kVkControl, true);
    held.SetHeld(kVkShift, true);
    CTraceOutput output;
    PlayScript(u"[CTRL]", held, output);
    EXPECT_EQ(output.trace, (std::vector<std::string>{"send 11xv", "send 11x^"}));
    EXPECT_FALSE(held.IsHeld(kVkControl));
    EXPECT_FALSE(held.IsHeld(kVkShift));
}

} // namespace
} // namespace kelvo
