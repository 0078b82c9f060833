#pragma once

namespace orvel::test {

// The tests run under Wine rather than on Windows itself; for skip reasons
// where Wine stands in for the system with made-up answers.
bool runningUnderWine();

} // namespace orvel::test
