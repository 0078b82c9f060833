#pragma once

#include "engine/message_box.h"

#include <iosfwd>

namespace orvel {

// Message boxes for a run that nobody can see (Qt's offscreen or minimal
// platform: tests, scripts): each message is written to the stream as
// "Caption: text" and answered without waiting, OK to a notice and No to a
// question, so that nothing is ever agreed to without a person.
class TerminalMessageBoxes : public MessageBoxService {
public:
    explicit TerminalMessageBoxes(std::ostream& out) : out_(out) {}

    MessageAnswer show(const MessageRequest& request) override;

private:
    std::ostream& out_;
};

} // namespace orvel
