#include "shell/terminal_message_boxes.h"

#include <ostream>

namespace orvel {

MessageAnswer TerminalMessageBoxes::show(const MessageRequest& request)
{
    out_ << request.caption << ": " << request.text << std::endl;
    return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

} // namespace orvel
