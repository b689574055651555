// Plays arbitrary UTF-16 scripts and checks what every script must hold to:
// waits of 1 to 2000 ms, no empty text run, key calls that are a single
// toggle or a down-up pair, no more text out than came in, and no modifier
// key left down at the end.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "paste/chunk_script.h"
#include "paste/key_tokens.h"

namespace {

// Code units U+F000-U+F0FF in the input stand for these pieces of the language
// (then the key tokens), so that short inputs reach every form and its corners.
// To the interpreter they are ordinary text, so no script is out of reach.
constexpr std::u16string_view kFragments[] = {
    u"[", u"]", u"[*", u"[\\", u"[\\x", u"[SLEEP",     u"[sleep ", u"0x",
    u"-", u"+", u" ",  u"\t",  u"9",    u"2147483648", u"65536",   u"4294967297",
};
constexpr std::size_t kFragmentCount = std::size(kFragments) + kelvo::kKeyTokens.size();

std::u16string ScriptFrom(const std::uint8_t* data, std::size_t size) {
    std::u16string script;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if ((unit & 0xFF00) != 0xF000) {
            script += unit;
            continue;
        }
        const std::size_t n = (unit & 0xFF) % kFragmentCount;
        script += n < std::size(kFragments) ? kFragments[n]
                                            : kelvo::kKeyTokens[n - std::size(kFragments)].text;
    }
    return script;
}

void Check(bool condition) {
    if (!condition)
        std::abort();
}

class CCheckedOutput final : public kelvo::CScriptOutput {
public:
    void SendKeys(std::span<const kelvo::KeyEvent> events) override {
        Check(events.size() == 1 || events.size() == 2);
        if (events.size() == 2) {
            Check(!events[0].up && events[1].up);
            Check(events[0].code == events[1].code && events[0].extended == events[1].extended);
        }
        // The key state the target sees, as the system keeps it.
        for (const kelvo::KeyEvent& e : events) {
            if (kelvo::IsModifierCode(e.code))
                m_down[e.code] = !e.up;
        }
    }
    void DeliverTextRun(std::u16string_view text) override {
        Check(!text.empty());
        for (const auto& [code, down] : m_down)
            Check(!down); // text never goes out under a held modifier
        m_textLength += text.size();
    }
    void Wait(std::uint32_t milliseconds) override {
        Check(milliseconds >= 1 && milliseconds <= kelvo::kMaxPauseMilliseconds);
    }

    bool AnyModifierDown() const {
        for (const auto& [code, down] : m_down) {
            if (down)
                return true;
        }
        return false;
    }
    std::size_t TextLength() const { return m_textLength; }

private:
    std::map<std::uint16_t, bool> m_down;
    std::size_t m_textLength = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string script = ScriptFrom(data, size);

    kelvo::CHeldModifiers held;
    CCheckedOutput output;
    kelvo::PlayScript(script, held, output);

    Check(!output.AnyModifierDown());
    for (std::uint16_t code : kelvo::kModifierReleaseOrder)
        Check(!held.IsHeld(code));
    Check(output.TextLength() <= script.size());
    return 0;
}
