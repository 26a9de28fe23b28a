#include "service_output/service_output.h"

#include <cstdio>

namespace korvel {
namespace {

ServiceOutputSink g_sink = nullptr;

void to_standard_output(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

void set_service_output(ServiceOutputSink sink) {
    g_sink = sink;
}

int format_text(std::string* text, const char* format, va_list args) {
    if (text == nullptr || format == nullptr) return -1;
    va_list measure;
    va_copy(measure, args);
    const int n = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (n < 0) return n;
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(n));
    *text = std::move(out);
    return n;
}

int service_printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text;
    const int n = format_text(&text, format, args);
    va_end(args);
    if (n >= 0) (g_sink != nullptr ? g_sink : to_standard_output)(text);
    return n;
}

}  // namespace korvel
