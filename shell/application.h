#pragma once

namespace orvel {

// Runs the desktop program and returns the process's exit status: 0 after
// the main window closed, 1 when start-up was refused (another instance
// runs, the demo scenario cannot be read), 2 for arguments it does not take.
//
// Options: --demo (the built-in simulated drives), --demo=DIR (a scenario
// folder), --log-dir DIR (where operation logs go), and Qt's own.
//
// Run on Qt's offscreen or minimal platform nobody could see a message box
// or answer it, so messages are written to standard error instead and
// answered at once, OK to a notice and No to a question (tests and scripts
// start the program that way).
int runApplication(int argc, char** argv);

} // namespace orvel
