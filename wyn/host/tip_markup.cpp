#include "wyn/host/tip_markup.h"

#include <cstdint>
#include <optional>
#include <utility>

namespace kelvo {
namespace {

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

void AppendCodePoint(std::u16string& out, std::uint32_t cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// The character a reference such as "amp", "#169" or "#xA9" stands for.
std::optional<std::u16string> DecodeReference(std::u16string_view name) {
    static constexpr struct {
        std::u16string_view name;
        char16_t c;
    } kNamed[] = {{u"amp", u'&'},  {u"lt", u'<'},    {u"gt", u'>'},
                  {u"quot", u'"'}, {u"apos", u'\''}, {u"nbsp", u'\u00A0'}};
    for (const auto& entry : kNamed) {
        if (name == entry.name)
            return std::u16string(1, entry.c);
    }
    if (name.size() < 2 || name[0] != u'#')
        return std::nullopt;
    const bool hex = name[1] == u'x' || name[1] == u'X';
    const std::u16string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty())
        return std::nullopt;
    std::uint32_t cp = 0;
    for (const char16_t c : digits) {
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && Lower(c) >= u'a' && Lower(c) <= u'f')
            digit = Lower(c) - u'a' + 10;
        if (digit < 0)
            return std::nullopt;
        cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
        if (cp > 0x10FFFF)
            cp = 0x110000; // stays out of range however many digits follow
    }
    std::u16string out;
    AppendCodePoint(out, cp);
    return out;
}

class Reader {
public:
    std::vector<TipToken> Run(std::u16string_view markup) {
        std::size_t i = 0;
        while (i < markup.size()) {
            const char16_t c = markup[i];
            if (c == u'<') {
                if (markup.substr(i).starts_with(u"<!--")) {
                    const std::size_t end = markup.find(u"-->", i + 4);
                    i = end == std::u16string_view::npos ? markup.size() : end + 3;
                    continue;
                }
                const std::size_t end = markup.find(u'>', i + 1);
                if (end != std::u16string_view::npos) {
                    Tag(markup.substr(i + 1, end - i - 1));
                    i = end + 1;
                    continue;
                }
                // An unclosed '<' is text.
            } else if (c == u'&') {
                const std::size_t end = markup.find(u';', i + 1);
                if (end != std::u16string_view::npos && end - i <= 12) {
                    if (auto decoded = DecodeReference(markup.substr(i + 1, end - i - 1))) {
                        Text(*decoded);
                        i = end + 1;
                        continue;
                    }
                }
            }
            if (IsSpace(c))
                Space();
            else
                Text(std::u16string_view(&markup[i], 1));
            ++i;
        }
        return std::move(m_tokens);
    }

private:
    void Tag(std::u16string_view tag) {
        const bool closing = !tag.empty() && tag[0] == u'/';
        if (closing)
            tag.remove_prefix(1);
        std::size_t name_end = 0;
        while (name_end < tag.size() && !IsSpace(tag[name_end]) && tag[name_end] != u'/')
            ++name_end;
        const std::u16string_view name = tag.substr(0, name_end);
        if (EqualsNoCase(name, u"br")) {
            if (!m_headingJustEnded)
                Break();
            m_headingJustEnded = false;
            return;
        }
        if (name.size() == 2 && Lower(name[0]) == u'h' && name[1] >= u'1' && name[1] <= u'6') {
            SoftBreak();
            m_heading = closing ? 0 : name[1] - u'0';
            m_headingJustEnded = closing;
        }
    }

    void Space() {
        // Leading space of a line and repeated spaces vanish.
        if (m_lineHasText && !m_pendingSpace)
            m_pendingSpace = true;
    }

    void Text(std::u16string_view text) {
        m_headingJustEnded = false;
        if (std::exchange(m_breakPending, false))
            Break();
        if (m_tokens.empty() || m_tokens.back().kind != TipToken::Kind::kText ||
            m_tokens.back().heading != m_heading)
            m_tokens.push_back({TipToken::Kind::kText, m_heading, {}});
        if (m_pendingSpace)
            m_tokens.back().text.push_back(u' ');
        m_tokens.back().text.append(text);
        m_pendingSpace = false;
        m_lineHasText = true;
    }

    void Break() {
        if (std::exchange(m_breakPending, false))
            m_tokens.push_back({TipToken::Kind::kBreak, 0, {}});
        m_tokens.push_back({TipToken::Kind::kBreak, 0, {}});
        m_pendingSpace = false;
        m_lineHasText = false;
    }

    // A heading starts and ends a line of its own; the break is made when
    // more follows, so that nothing ends in one.
    void SoftBreak() {
        if (m_lineHasText)
            m_breakPending = true;
        m_pendingSpace = false;
    }

    std::vector<TipToken> m_tokens;
    int m_heading = 0;
    bool m_lineHasText = false;
    bool m_pendingSpace = false;
    bool m_headingJustEnded = false;
    bool m_breakPending = false;
};

} // namespace

std::vector<TipToken> ParseTipMarkup(std::u16string_view markup) {
    return Reader().Run(markup);
}

} // namespace kelvo
