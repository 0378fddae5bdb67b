// The elevated copy a hand-off test starts: this test executable itself, told by the test's
// environment (inherited through the launch) how to behave instead of running the tests.
#pragma once

#include <string>

namespace elevated_child {

enum behaviour { READY, EXIT_AT_ONCE, SILENT };
constexpr unsigned EXIT_CODE = 7;

// The next launch from this process starts a child that behaves so and records its command
// line; the child_stop() of the test ends a SILENT one.
void arm(behaviour what);
void disarm();
// The command line the last child recorded ("" until it has).
std::string command_line();
// Ends a child that waits (SILENT) and waits a moment for it.
void stop();

// Called first by main: when this process is such a child, behaves and returns its exit code;
// otherwise -1.
int run_if_child();

}  // namespace elevated_child
