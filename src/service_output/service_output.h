// Service printing of the drivers: the dumps and sweep values an engineer reads on the bench.
//
// The drivers print through service_printf; the text goes to the installed sink, or to the
// process's standard output while none is installed (the command-line tool, the library, tests).
// The window program installs a sink that writes to its standard input/output window.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace korvel {

// Receives each printed piece of text, already formatted.
using ServiceOutputSink = void (*)(std::string_view text);

// Installs `sink`; nullptr goes back to the process's standard output.
void set_service_output(ServiceOutputSink sink);

// Formats as printf does and hands the text to the sink in one piece. Returns the number of
// characters printed, or a negative value when the format cannot be expanded.
int service_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Expands a printf format into `text`. Returns the length, or a negative value (and `text` left
// as it was) when the format cannot be expanded. Shared with the window's own printing.
int format_text(std::string* text, const char* format, va_list args);

}  // namespace korvel
