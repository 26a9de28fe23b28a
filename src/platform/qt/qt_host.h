// The host services of the user-interface model made of Qt: message boxes, file dialogs, the
// clipboard, the standard input/output window (echoed to the process's standard output), the
// Qt event loop, and the busy cursor.
#pragma once

#include <QPointer>

#include "platform/qt/console_window.h"

#include "platform/host_services.h"

namespace korvel::qtview {

class QtHost : public platform::HostServices {
  public:
    QtHost();
    ~QtHost() override;

    void message_popup(std::string_view title, std::string_view message) override;
    bool choice_popup(std::string_view title, std::string_view message, std::string_view yes,
                      std::string_view no) override;
    int file_select(const platform::FileSelectRequest& request, std::string* path) override;
    void clipboard_put_text(std::string_view text) override;
    void stdio_write(std::string_view text) override;
    int stdio_getchar() override;
    void run_event_loop() override;
    void quit_event_loop() override;
    void process_draw_events() override;
    void set_wait_cursor(bool on) override;

    ConsoleWindow* console() const { return console_; }
    // Copy printed text to the process's standard output too (on by default).
    void setEchoToStdout(bool on) { echo_ = on; }

  private:
    QPointer<ConsoleWindow> console_;
    bool echo_ = true;
    // Qt remembers an exit asked for while no loop runs and then ends every later loop (a modal
    // dialog's too) at once; so exit is only asked of a running loop.
    bool loop_running_ = false;
    bool wait_cursor_ = false;
};

// The file-type filter for a dialog: "*.txt;*.cfg" becomes "Files (*.txt *.cfg);;All files (*)".
QString dialog_filter(const std::string& file_type_list, const std::string& default_file_pattern);

}  // namespace korvel::qtview
