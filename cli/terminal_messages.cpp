#include "cli/terminal_messages.h"

#include <istream>
#include <ostream>
#include <string>

namespace orvel::cli {

TerminalMessages::TerminalMessages(std::ostream& err, std::istream& in, bool assumeYes, bool canAsk)
    : err_(err), in_(in), assumeYes_(assumeYes), canAsk_(canAsk)
{
}

MessageAnswer TerminalMessages::show(const MessageRequest& request)
{
    if (request.icon == MessageIcon::Error)
        errorShown_ = true;
    if (request.buttons == MessageButtons::Ok) {
        err_ << (request.icon == MessageIcon::Error ? "Error: " : "") << request.text << '\n';
        return MessageAnswer::Ok;
    }

    err_ << summary_ << request.text;
    if (assumeYes_) {
        err_ << " yes\n";
        return MessageAnswer::Yes;
    }
    if (!canAsk_) {
        err_ << "\nNo terminal to answer the question; --yes answers it.\n";
        return decline();
    }
    err_ << " [y/N] " << std::flush;
    std::string answer;
    if (std::getline(in_, answer) && (answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes"))
        return MessageAnswer::Yes;
    if (!in_)
        err_ << '\n';
    return decline();
}

MessageAnswer TerminalMessages::decline()
{
    err_ << "Nothing was written.\n";
    declined_ = true;
    return MessageAnswer::No;
}

} // namespace orvel::cli
