#include "termination_signals.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>

#include "app/state.h"
#include "message_box_dismiss.h"
#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "resource/main_uir.h"

namespace korvel::gui {
namespace {

// The handler only writes a byte; the event loop does the rest. [0] is written, [1] read.
int g_pipe[2] = {-1, -1};

void on_signal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(g_pipe[0], &byte, 1);
}

// SIGHUP is what a process gets when the terminal it was started from closes: as much a request to
// leave as SIGTERM or Ctrl+C, and not a reason to lose the settings.
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// How soon to try again while a callback or a dialog is in progress.
constexpr int kRetryMs = 100;

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) return;
    notifier_ = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::received);
    retry_ = new QTimer(this);
    retry_->setSingleShot(true);
    connect(retry_, &QTimer::timeout, this, &TerminationSignals::leave);
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals) sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (g_pipe[0] < 0) return;
    for (const int signal : kSignals) std::signal(signal, SIG_DFL);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::received() {
    char bytes[16];
    [[maybe_unused]] const auto n = ::read(g_pipe[1], bytes, sizeof bytes);
    leave();
}

void TerminationSignals::leave() {
    if (platform::quit_requested()) return;
    if (!platform::panel_loaded(app::main_panel)) {  // very early in start-up
        retry_->start(kRetryMs);
        return;
    }
    // A message box waiting for the operator is answered with OK, as the scripted runs do; the
    // exit then waits, like a click, for the callback in progress and for a file dialog.
    when_no_message_box([this] {
        if (platform::quit_requested()) return;
        if (platform::dispatch_depth() > 0 || platform::modal_dialogs_open() > 0) {
            retry_->start(kRetryMs);
            return;
        }
        platform::choose_menu_item(app::main_panel, MENUBAR_MENU1_FILEEXIT);
    });
}

}  // namespace korvel::gui
