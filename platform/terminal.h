#pragma once

namespace orvel {

enum class StandardStream { Input, Output, Error };

// The stream is connected to a terminal (an operator can see it and answer).
bool isTerminal(StandardStream stream);

// From the first call on, Ctrl+C and termination requests no longer end the
// process; they are remembered until cancelSignalReceived() asks for them.
void watchCancelSignals();
bool cancelSignalReceived();

} // namespace orvel
