// A host without a screen: records what the program shows, answers dialogs from queues.
//
// Used by the tests and by runs without a display. The event loop it runs is driven by virtual
// time: deferred calls first, then the next due timer, until QuitUserInterface is called or
// nothing is left that could ever happen.
#pragma once

#include <cstdio>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/host_services.h"

namespace korvel::platform {

struct RecordedPopup {
    std::string title;
    std::string message;
    bool operator==(const RecordedPopup&) const = default;
};

class HeadlessHost : public HostServices {
  public:
    void message_popup(std::string_view title, std::string_view message) override;
    // Recorded in `popups` like a message; answered from answer_choice()'s queue, yes when empty.
    bool choice_popup(std::string_view title, std::string_view message, std::string_view yes,
                      std::string_view no) override;
    int file_select(const FileSelectRequest& request, std::string* path) override;
    void clipboard_put_text(std::string_view text) override;
    void stdio_write(std::string_view text) override;
    int stdio_getchar() override;
    void run_event_loop() override;
    void quit_event_loop() override;
    void set_wait_cursor(bool on) override;
    void process_draw_events() override { ++draw_requests; }

    // Queues the answer to the next file dialog: a path (answered as an existing file), or
    // cancel_file_dialog(). With the queue empty a dialog is cancelled.
    void answer_file_dialog(std::string path, int result = 1 /* VAL_EXISTING_FILE_SELECTED */);
    void cancel_file_dialog();
    // Queues the answer to the next choice_popup.
    void answer_choice(bool yes) { choice_answers_.push_back(yes); }
    // Queues characters for StdioGetchar; they are read before anything from input_stream.
    void type_input(std::string_view text);

    // Everything shown, in order.
    std::vector<RecordedPopup> popups;
    std::vector<FileSelectRequest> file_requests;
    std::string clipboard;
    // Every change of the busy cursor, in order (true = shown).
    std::vector<bool> wait_cursor;
    std::string stdio_output;
    // Times the program asked for the screen to be brought up to date.
    int draw_requests = 0;
    // Also copy stdio output to the process's standard output.
    bool echo_stdio = false;
    // Where StdioGetchar waits once the typed characters are used up: the process's standard
    // input, as in a terminal. End of input (or nullptr) gives EOF.
    std::FILE* input_stream = stdin;
    // The event loop gives up (returns) when virtual time passes this many seconds without a quit;
    // guards tests against a program that never quits.
    double loop_time_limit = 3600.0;

  private:
    std::deque<std::pair<int, std::string>> file_answers_;
    std::deque<bool> choice_answers_;
    std::deque<char> input_;
    bool quit_requested_ = false;
};

// The process's default headless host (what host() returns when nothing else is installed).
HeadlessHost& default_headless_host();

}  // namespace korvel::platform
