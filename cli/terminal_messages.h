#pragma once

#include "engine/message_box.h"

#include <iosfwd>

namespace orvel::cli {

// Messages of the set-up checks on the terminal. A question is answered by
// --yes, by the operator at the terminal, or (no terminal) with No, so that
// nothing is written unasked.
class TerminalMessages : public MessageBoxService {
public:
    TerminalMessages(std::ostream& err, std::istream& in, bool assumeYes, bool canAsk);

    MessageAnswer show(const MessageRequest& request) override;

    // What the last message was, so the command can choose its exit status.
    MessageIcon lastIcon() const { return lastIcon_; }
    bool declined() const { return declined_; }

private:
    std::ostream& err_;
    std::istream& in_;
    bool assumeYes_;
    bool canAsk_;
    MessageIcon lastIcon_ = MessageIcon::None;
    bool declined_ = false;
};

} // namespace orvel::cli
