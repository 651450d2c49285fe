// Console and recognizer stand-ins for fuzz targets that link the driver but never run Start.
#include "driver/console.h"
#include "driver/driver.h"

ConsoleHandle GetStdHandle(ConsoleCount) { return nullptr; }
int WriteConsoleA(ConsoleHandle, const void*, ConsoleCount, ConsoleCount*, void*) { return 0; }
int Recognize(const char*) { return 0; }
