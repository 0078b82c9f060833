#pragma once

#include "engine/message_box.h"

#include <iosfwd>
#include <string>

namespace orvel::cli {

// Messages of the set-up checks on the terminal. A question is answered by
// --yes, by the operator at the terminal, or (no terminal) with No, so that
// nothing is written unasked.
class TerminalMessages : public MessageBoxService {
public:
    TerminalMessages(std::ostream& err, std::istream& in, bool assumeYes, bool canAsk);

    // Printed just before a question: what a Yes would do.
    void setSummary(std::string summary) { summary_ = std::move(summary); }

    MessageAnswer show(const MessageRequest& request) override;

    // What was shown, so the command can choose its exit status.
    bool errorShown() const { return errorShown_; }
    bool declined() const { return declined_; }

private:
    MessageAnswer decline();

    std::ostream& err_;
    std::istream& in_;
    bool assumeYes_;
    bool canAsk_;
    std::string summary_;
    bool errorShown_ = false;
    bool declined_ = false;
};

} // namespace orvel::cli
