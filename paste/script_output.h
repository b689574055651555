#pragma once
// Where a played chunk script goes: keyboard events, text runs and waits.

#include <cstdint>
#include <span>
#include <string_view>

namespace kelvo {

struct KeyEvent {
    std::uint16_t code; // virtual-key code
    bool extended;
    bool up;

    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

class CScriptOutput {
public:
    // Sends the events together, in one call into the system's input queue.
    virtual void SendKeys(std::span<const KeyEvent> events) = 0;
    // Delivers literal text to the target; never called with an empty run.
    virtual void DeliverTextRun(std::u16string_view text) = 0;
    // Blocks the calling thread; never called with 0.
    virtual void Wait(std::uint32_t milliseconds) = 0;

protected:
    ~CScriptOutput() = default;
};

} // namespace kelvo
