#pragma once
// A model of the key-code editor for tests: one edit as a user makes it and
// the look the control then shows.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "paste/token_runs.h"

namespace kelvo {

// `erased` characters at `at` replaced by `typed`.
struct Edit {
    std::u16string_view before;
    std::size_t at;
    std::size_t erased;
    std::u16string_view typed;
};

inline std::u16string After(const Edit& edit) {
    return std::u16string(edit.before).replace(edit.at, edit.erased, edit.typed);
}

// The control's look after the edit and then the runs, what was typed having
// been given a look as a rich edit gives it: that of the first character it
// replaced, or where it replaced none, of the character before it.
inline std::vector<bool> Applied(const Edit& edit, const TokenLook& shown,
                                 const std::vector<TextRun>& runs) {
    std::vector<bool> look(shown.token.begin(), shown.token.begin() + edit.at);
    const bool typed_look =
        edit.erased > 0 ? shown.token[edit.at] : edit.at > 0 && shown.token[edit.at - 1];
    look.insert(look.end(), edit.typed.size(), typed_look);
    look.insert(look.end(), shown.token.begin() + edit.at + edit.erased, shown.token.end());
    for (const TextRun& run : runs)
        for (std::size_t i = run.start; i < run.start + run.length; ++i)
            look[i] = run.token;
    return look;
}

} // namespace kelvo
