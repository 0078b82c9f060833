#pragma once

#include <string>

namespace orvel {

enum class MessageIcon { None, Information, Error, Question, Warning };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// One modal message as the operator sees it.
struct MessageRequest {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Shows a message and waits for the answer. The program shows real message
// boxes; tests answer from a script and record what was asked.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual MessageAnswer show(const MessageRequest& request) = 0;
};

} // namespace orvel
