#include "paste/chunk_script.h"

#include <algorithm>
#include <memory>

#include "base/read_integer.h"
#include "base/wipe.h"
#include "paste/key_tokens.h"

namespace kelvo {

namespace {

// The argument of a numeric token or pause command: from `from` up to the
// next "]", or to the end of the text when there is none.
struct Argument {
    std::u16string_view text;
    std::size_t consumed; // characters from the "[" to past the "]" (or the end)
};

Argument ArgumentAt(std::u16string_view rest, std::size_t from) {
    const std::size_t close = rest.find(u']', from);
    if (close == std::u16string_view::npos)
        return {rest.substr(from), rest.size()};
    return {rest.substr(from, close - from), close + 1};
}

class CScriptPlayer {
public:
    CScriptPlayer(std::size_t script_length, CHeldModifiers& held, CScriptOutput& output)
        : m_pending(std::make_unique_for_overwrite<char16_t[]>(script_length)),
          m_capacity(script_length), m_held(held), m_output(output) {}

    // The pending run may hold decrypted text: wipe it rather than just free it.
    ~CScriptPlayer() { SecureWipe(m_pending.get(), m_capacity * sizeof(char16_t)); }

    CScriptPlayer(const CScriptPlayer&) = delete;
    CScriptPlayer& operator=(const CScriptPlayer&) = delete;

    void Play(std::u16string_view script) {
        m_held.Reset();
        std::size_t i = 0;
        while (i < script.size()) {
            const std::size_t bracket = std::min(script.find(u'[', i), script.size());
            AppendText(script.substr(i, bracket - i));
            i = bracket;
            if (i < script.size())
                i += PlayBracket(script.substr(i));
        }
        ReleaseHeldModifiers();
        DeliverPendingText();
    }

private:
    // Plays the form that begins at the "[" starting `rest`; returns how many
    // characters it took.
    std::size_t PlayBracket(std::u16string_view rest) {
        if (rest.size() >= 4 && rest[1] == u'*' && rest[3] == u']') {
            PressKey(rest[2], false);
            return 4;
        }
        if (rest.size() >= 2 && rest[1] == u'\\') {
            std::size_t from = 2;
            NumberBase base = NumberBase::kDecimal;
            if (from < rest.size() && (rest[from] == u'x' || rest[from] == u'X')) {
                base = NumberBase::kHexadecimal;
                ++from;
            }
            const Argument argument = ArgumentAt(rest, from);
            // The low 16 bits are the key; a value whose key code is 0 names
            // no key, so it sends nothing.
            const auto code = static_cast<std::uint16_t>(ReadInteger(argument.text, base));
            if (code != 0)
                PressKey(code, true);
            return argument.consumed;
        }
        if (StartsWithNoCase(rest.substr(1), u"SLEEP")) {
            const Argument argument = ArgumentAt(rest, 6);
            const std::int32_t milliseconds = ReadInteger(argument.text, NumberBase::kDecimal);
            if (milliseconds > 0)
                Pause(std::min(static_cast<std::uint32_t>(milliseconds), kMaxPauseMilliseconds));
            return argument.consumed;
        }
        if (const KeyToken* token = MatchKeyToken(rest)) {
            PressKey(token->code, true);
            return token->text.size();
        }
        AppendText(rest.substr(0, 1));
        return 1;
    }

    void AppendText(std::u16string_view text) {
        std::copy(text.begin(), text.end(), m_pending.get() + m_length);
        m_length += text.size();
    }

    // Text typed so far goes out before a key, so keys and text keep their order.
    void PressKey(std::uint16_t code, bool extended) {
        DeliverPendingText();
        SendKey(code, extended);
    }

    // Text typed so far goes out before the wait, so the target shows it while it lasts.
    void Pause(std::uint32_t milliseconds) {
        DeliverPendingText();
        m_output.Wait(milliseconds);
    }

    // Text never inherits a modifier: held ones are let go before a run goes out.
    void DeliverPendingText() {
        if (m_length == 0)
            return;
        ReleaseHeldModifiers();
        const std::u16string_view run(m_pending.get(), m_length);
        m_length = 0;
        m_output.DeliverTextRun(run);
    }

    // Modifier codes from extended forms latch: each such token toggles its key.
    void SendKey(std::uint16_t code, bool extended) {
        if (extended && IsModifierCode(code)) {
            const bool up = m_held.IsHeld(code);
            const KeyEvent toggle{code, true, up};
            m_output.SendKeys({&toggle, 1});
            m_held.SetHeld(code, !up);
            return;
        }
        const KeyEvent press[] = {{code, extended, false}, {code, extended, true}};
        m_output.SendKeys(press);
    }

    void ReleaseHeldModifiers() {
        for (std::uint16_t code : kModifierReleaseOrder) {
            if (!m_held.IsHeld(code))
                continue;
            const KeyEvent release{code, true, true};
            m_output.SendKeys({&release, 1});
            m_held.SetHeld(code, false);
        }
    }

    std::unique_ptr<char16_t[]> m_pending; // the pending text run; never longer than the script
    std::size_t m_capacity;
    std::size_t m_length = 0;
    CHeldModifiers& m_held;
    CScriptOutput& m_output;
};

} // namespace

void PlayScript(std::u16string_view script, CHeldModifiers& held, CScriptOutput& output) {
    script = script.substr(0, script.find(u'\0'));
    CScriptPlayer player(script.size(), held, output);
    player.Play(script);
}

} // namespace kelvo
