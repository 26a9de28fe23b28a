#include "soak/soak_host.h"

#include <string>

#include "base/clock.h"

namespace korvel::soak {

void SoakHost::message_popup(std::string_view title, std::string_view message) {
    ++popups_;
    std::string text(message.substr(0, 200));
    for (char& c : text)
        if (c == '\n') c = ' ';
    log_.add(platform::clock().now(), "  message box \"" + std::string(title) + "\": " + text);
}

int SoakHost::file_select(const platform::FileSelectRequest& request, std::string* path) {
    ++dialogs_;
    DialogAnswer a = files_.answer(request, random_);
    log_.add(platform::clock().now(), "  dialog \"" + request.title + "\" answered " +
                                          std::to_string(a.result) + " \"" + a.path + "\"");
    if (path != nullptr) *path = std::move(a.path);
    return a.result;
}

void SoakHost::run_event_loop() {
    quit_ = false;
    if (loop_) loop_();
}

}  // namespace korvel::soak
