// The screenless host: popups and output recorded, dialogs answered from queues, and an event
// loop that runs deferred calls and timers on the process clock.
#include "platform/headless_host.h"

#include <cmath>
#include <cstdio>

#include "base/clock.h"
#include "platform/operator_input.h"
#include "platform/ui_constants.h"

namespace korvel::platform {

void HeadlessHost::message_popup(std::string_view title, std::string_view message) {
    popups.push_back({std::string(title), std::string(message)});
}

bool HeadlessHost::choice_popup(std::string_view title, std::string_view message,
                                std::string_view /*yes*/, std::string_view /*no*/) {
    popups.push_back({std::string(title), std::string(message)});
    if (choice_answers_.empty()) return true;
    const bool yes = choice_answers_.front();
    choice_answers_.pop_front();
    return yes;
}

int HeadlessHost::file_select(const FileSelectRequest& request, std::string* path) {
    file_requests.push_back(request);
    if (file_answers_.empty()) return VAL_NO_FILE_SELECTED;
    auto [result, answer] = std::move(file_answers_.front());
    file_answers_.pop_front();
    if (result <= 0) return VAL_NO_FILE_SELECTED;
    if (path != nullptr) *path = std::move(answer);
    return result;
}

void HeadlessHost::set_wait_cursor(bool on) {
    wait_cursor.push_back(on);
}

void HeadlessHost::clipboard_put_text(std::string_view text) {
    clipboard = std::string(text);
}

void HeadlessHost::stdio_write(std::string_view text) {
    stdio_output.append(text);
    if (echo_stdio) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
}

int HeadlessHost::stdio_getchar() {
    if (input_.empty()) return input_stream != nullptr ? std::fgetc(input_stream) : EOF;
    const unsigned char c = static_cast<unsigned char>(input_.front());
    input_.pop_front();
    return c;
}

void HeadlessHost::run_event_loop() {
    quit_requested_ = false;
    const double start = clock().now();
    while (!quit_requested_ && !quit_requested()) {
        if (run_deferred_calls() > 0) continue;
        const double due = next_timer_due();
        // Nothing left that could ever happen, or the guard time is used up.
        if (!std::isfinite(due) || due - start > loop_time_limit || timer_callbacks_suspended())
            break;
        run_timers_until(due);
    }
}

void HeadlessHost::quit_event_loop() {
    quit_requested_ = true;
}

void HeadlessHost::answer_file_dialog(std::string path, int result) {
    file_answers_.emplace_back(result, std::move(path));
}

void HeadlessHost::cancel_file_dialog() {
    file_answers_.emplace_back(VAL_NO_FILE_SELECTED, "");
}

void HeadlessHost::type_input(std::string_view text) {
    input_.insert(input_.end(), text.begin(), text.end());
}

HeadlessHost& default_headless_host() {
    static HeadlessHost h;
    return h;
}

}  // namespace korvel::platform
