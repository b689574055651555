#pragma once
// Plays a chunk script into the session's real input: key events through
// SendInput, waits by sleeping the calling thread, and text runs through the
// delivery the paste operation provides.

#include <functional>
#include <string_view>

#include "paste/script_output.h"

namespace kelvo {

class CSendInputOutput final : public CScriptOutput {
public:
    using TextRunDelivery = std::function<void(std::wstring_view text)>;

    explicit CSendInputOutput(TextRunDelivery deliver_text_run);

    void SendKeys(std::span<const KeyEvent> events) override;
    void DeliverTextRun(std::u16string_view text) override;
    void Wait(std::uint32_t milliseconds) override;

private:
    TextRunDelivery m_deliverTextRun;
};

} // namespace kelvo
