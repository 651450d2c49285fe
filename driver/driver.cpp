#include "driver/driver.h"

#include "driver/console.h"

const char MessageBlock[11] = "\r\nYes.\0No.";

int Start() {
  const char* word = GetArgument();
  int verdict = Recognize(word);
  ReportVerdict(verdict);
  return verdict;
}

const char* GetArgument() { return SkipProgramName(GetCommandLineA()); }

const char* SkipProgramName(const char* command_line) {
  const unsigned char* c = reinterpret_cast<const unsigned char*>(command_line);
  // An empty command line has no name to skip; its word is the empty word at its NUL.
  if (*c == '\0') return command_line;

  const unsigned char closing = (*c == '"') ? '"' : ' ';
  // The first byte belongs to the name whatever it is, so a leading blank never ends it.
  ++c;
  while (*c != closing) {
    if (*c == '\0') return reinterpret_cast<const char*>(c);  // the line ends inside the name
    ++c;
  }
  ++c;
  // Compared unsigned, so bytes 0x80-0xFF end the blanks and start the word.
  while (*c != '\0' && *c <= 0x20) ++c;
  return reinterpret_cast<const char*>(c);
}

void ReportVerdict(int verdict) {
  // Not a conditional expression: unoptimised, that reads the chosen pointer from memory, and a
  // position-independent program would then need it relocated.
  const char* text = NoText;
  if (verdict != 0) text = YesText;
  WriteMessage(text);
}

void WriteMessage(const char* text) {
  const unsigned int length = TextLength(text);
  WriteConsoleA(GetStdHandle(kStandardOutputHandle), text, length, nullptr, nullptr);
  WriteConsoleA(GetStdHandle(kStandardOutputHandle), NewLine, 2, nullptr, nullptr);
}

unsigned int TextLength(const char* text) {
  unsigned int length = 0;
  while (text[length] != '\0') ++length;
  return length;
}
