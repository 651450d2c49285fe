#pragma once

namespace posix {

// Runs the program over the given arguments: ignores SIGPIPE, joins the command line on the
// stack, and returns what Start returns. Every POSIX entry point, hosted or not, ends here.
int RunProgram(int argc, char* const* argv);

}  // namespace posix
