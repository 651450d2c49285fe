// The hosted entry point: the C library starts the process and makes main's result the exit
// status.
#include "platform/posix/run.h"

int main(int argc, char** argv) { return posix::RunProgram(argc, argv); }
