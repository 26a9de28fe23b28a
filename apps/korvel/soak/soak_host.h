// The outside world of the program during a soak: no screen and no operator. Message boxes are
// noted in the soak's log and dismissed, file dialogs are answered from the soak's files, the
// standard input/output window takes its text and answers every prompt with Return, and the
// event loop is the soak's own (SoakHost::set_loop).
//
// Nothing is kept beyond the log's tail, so that an hour of dialogs costs no memory.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/host_services.h"
#include "soak/soak_files.h"
#include "soak/soak_log.h"
#include "soak/soak_random.h"

namespace korvel::soak {

class SoakHost : public platform::HostServices {
  public:
    SoakHost(SoakFiles& files, SoakLog& log, SoakRandom& random)
        : files_(files), log_(log), random_(random) {}

    // What run_event_loop runs; it returns once the program has left its loop.
    void set_loop(std::function<void()> loop) { loop_ = std::move(loop); }
    bool quit_requested() const { return quit_; }

    void message_popup(std::string_view title, std::string_view message) override;
    int file_select(const platform::FileSelectRequest& request, std::string* path) override;
    void clipboard_put_text(std::string_view /*text*/) override {}
    void stdio_write(std::string_view text) override { stdio_bytes_ += text.size(); }
    int stdio_getchar() override { return '\n'; }
    void run_event_loop() override;
    void quit_event_loop() override { quit_ = true; }

    std::uint64_t popups() const { return popups_; }
    std::uint64_t dialogs() const { return dialogs_; }
    std::uint64_t stdio_bytes() const { return stdio_bytes_; }

  private:
    SoakFiles& files_;
    SoakLog& log_;
    SoakRandom& random_;
    std::function<void()> loop_;
    bool quit_ = false;
    std::uint64_t popups_ = 0, dialogs_ = 0, stdio_bytes_ = 0;
};

}  // namespace korvel::soak
