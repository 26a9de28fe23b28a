// The outside world of the user interface: modal dialogs, the clipboard, the standard
// input/output window and the event loop.
//
// The model calls these and nothing else that could block or touch the screen. The Qt view
// installs an implementation made of widgets; tests and headless runs use HeadlessHost
// (headless_host.h), which records everything in memory.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace korvel::platform {

struct FileSelectRequest {
    std::string default_directory;     // "" means the current directory
    std::string default_file_pattern;  // default file name or pattern, e.g. "*.txt"
    std::string file_type_list;        // e.g. "*.txt;*.cfg"; may be empty
    std::string title;
    int button_label = 0;  // VAL_OK_BUTTON, VAL_SAVE_BUTTON, VAL_SELECT_BUTTON, VAL_LOAD_BUTTON
    bool restrict_directory = false;
    bool restrict_extension = false;
};

class HostServices {
  public:
    virtual ~HostServices() = default;

    virtual void message_popup(std::string_view title, std::string_view message) = 0;
    // A modal question with two answers, `yes` and `no` (also closing the box without a choice).
    // Returns true for `yes`. A host without its own box shows the message and answers yes.
    virtual bool choice_popup(std::string_view title, std::string_view message,
                              std::string_view /*yes*/, std::string_view /*no*/) {
        message_popup(title, message);
        return true;
    }
    // Returns VAL_NO_FILE_SELECTED (0) when cancelled, else VAL_EXISTING_FILE_SELECTED or
    // VAL_NEW_FILE_SELECTED with the chosen path in `path`.
    virtual int file_select(const FileSelectRequest& request, std::string* path) = 0;
    virtual void clipboard_put_text(std::string_view text) = 0;

    // The standard input/output window.
    virtual void stdio_write(std::string_view text) = 0;
    // Next input character. When none has been typed yet, waits until the operator types a line
    // (Return ends it); -1 (EOF) when the input has ended and nothing more can come.
    virtual int stdio_getchar() = 0;

    // Runs the event loop; returns after quit_event_loop has been called (from a callback). The
    // model has already set its quit flag and keeps the return code.
    virtual void run_event_loop() = 0;
    virtual void quit_event_loop() = 0;

    // Redraw whatever is pending, now.
    virtual void process_draw_events() {}

    // The busy cursor on (true) or off.
    virtual void set_wait_cursor(bool /*on*/) {}
};

// Takes a message box's title and text where no operator can answer the box (no screen to show it
// on): while one is set, MessagePopup shows nothing, hands the box to it and carries on as if OK
// had been pressed. An empty function (the default) shows boxes again.
using MessageTaker = std::function<void(std::string_view title, std::string_view text)>;
void set_message_taker(MessageTaker taker);

// The host in use; HeadlessHost's default instance unless another was installed.
HostServices& host();
// Installs `h` (not owned); nullptr goes back to the default headless host.
void set_host(HostServices* h);

}  // namespace korvel::platform
