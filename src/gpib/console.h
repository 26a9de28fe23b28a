// Where the GPIB routines print their reports and read the operator's answer.
//
// The routines print to standard output and read standard input. A program with a window of its
// own for that (the front-panel program's Standard Input/Output window) installs it here; without
// one, the process's stdout and stdin are used.
#pragma once

#include <functional>
#include <string_view>

namespace korvel::gpib {

struct Console {
    // Shows printed text as it comes (no line breaks added).
    std::function<void(std::string_view)> write;
    // Waits for the next input character; EOF (-1) when the input has ended.
    std::function<int()> read_char;
};

// Installs `console`; a member left empty falls back to stdout or stdin.
void set_console(Console console);

void console_write(std::string_view text);
int console_getchar();

}  // namespace korvel::gpib
