// The program's exit codes, read by the first process of a hand-off, by deployment tools and
// by support engineers. A value keeps its meaning for good; a retired one is not reused.
#pragma once

constexpr int EXIT_OK = 0;      // the work was done, or handed to an elevated copy that showed its screen
constexpr int EXIT_FAILED = 1;  // failed, or the person left before anything was done
// The elevated copy a consent screen started ended before it showed its own screen.
constexpr int EXIT_ELEVATED_COPY_EXITED = 10;
// The elevated copy showed no screen within the hand-off's wait.
constexpr int EXIT_ELEVATED_COPY_SHOWED_NOTHING = 11;
// A silent run that did not get the single-instance lock: deployment tools retry this code
// (ERROR_INSTALL_ALREADY_RUNNING).
constexpr int EXIT_INSTALL_ALREADY_RUNNING = 1618;
