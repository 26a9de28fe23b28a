#include "gpib/console.h"

#include <cstdio>
#include <utility>

namespace korvel::gpib {
namespace {

Console& installed() {
    static Console c;
    return c;
}

}  // namespace

void set_console(Console console) {
    installed() = std::move(console);
}

void console_write(std::string_view text) {
    if (installed().write) {
        installed().write(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);  // a prompt without a newline must show before the wait
}

int console_getchar() {
    if (installed().read_char) return installed().read_char();
    return std::getchar();
}

}  // namespace korvel::gpib
