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
        : pending_(std::make_unique_for_overwrite<char16_t[]>(script_length)),
          capacity_(script_length), held_(held), output_(output) {}

    // The pending run may hold decrypted text: wipe it rather than just free it.
    ~CScriptPlayer() { SecureWipe(pending_.get(), capacity_ * sizeof(char16_t)); }

    CScriptPlayer(const CScriptPlayer&) = delete;
    CScriptPlayer& operator=(const CScriptPlayer&) = delete;

    void Play(std::u16string_view script) {
        held_.Reset();
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
            NumberBase base = NumberBase::decimal;
            if (from < rest.size() && (rest[from] == u'x' || rest[from] == u'X')) {
                base = NumberBase::hexadecimal;
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
            const std::int32_t milliseconds = ReadInteger(argument.text, NumberBase::decimal);
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
        std::copy(text.begin(), text.end(), pending_.get() + length_);
        length_ += text.size();
    }

    // Text typed so far goes out before a key, so keys and text keep their order.
    void PressKey(std::uint16_t code, bool extended) {
        DeliverPendingText();
        SendKey(code, extended);
    }

    // Text typed so far goes out before the wait, so the target shows it while it lasts.
    void Pause(std::uint32_t milliseconds) {
        DeliverPendingText();
        output_.Wait(milliseconds);
    }

    // Text never inherits a modifier: held ones are let go before a run goes out.
    void DeliverPendingText() {
        if (length_ == 0)
            return;
        ReleaseHeldModifiers();
        const std::u16string_view run(pending_.get(), length_);
        length_ = 0;
        output_.DeliverTextRun(run);
    }

    // Modifier codes from extended forms latch: each such token toggles its key.
    void SendKey(std::uint16_t code, bool extended) {
        if (extended && IsModifierCode(code)) {
            const bool up = held_.IsHeld(code);
            const KeyEvent toggle{code, true, up};
            output_.SendKeys({&toggle, 1});
            held_.SetHeld(code, !up);
            return;
        }
        const KeyEvent press[] = {{code, extended, false}, {code, extended, true}};
        output_.SendKeys(press);
    }

    void ReleaseHeldModifiers() {
        for (std::uint16_t code : kModifierReleaseOrder) {
            if (!held_.IsHeld(code))
                continue;
            const KeyEvent release{code, true, true};
            output_.SendKeys({&release, 1});
            held_.SetHeld(code, false);
        }
    }

    std::unique_ptr<char16_t[]> pending_; // the pending text run; never longer than the script
    std::size_t capacity_;
    std::size_t length_ = 0;
    CHeldModifiers& held_;
    CScriptOutput& output_;
};

} // namespace

void PlayScript(std::u16string_view script, CHeldModifiers& held, CScriptOutput& output) {
    script = script.substr(0, script.find(u'\0'));
    CScriptPlayer player(script.size(), held, output);
    player.Play(script);
}

} // namespace kelvo
