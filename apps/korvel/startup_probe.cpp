#include "startup_probe.h"

#include <unistd.h>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

namespace korvel::gui {

StartupProbe::StartupProbe() : main_entry_(std::chrono::steady_clock::now()) {}

double StartupProbe::process_age_seconds() {
    // Field 22 of /proc/self/stat is the start time in clock ticks after boot.
    std::ifstream in("/proc/self/stat");
    std::string stat;
    if (!std::getline(in, stat)) return -1.0;
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return -1.0;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    unsigned long long start_ticks = 0;
    for (int i = 3; i <= 22 && fields >> field; ++i)
        if (i == 22) start_ticks = std::stoull(field);
    const long hz = sysconf(_SC_CLK_TCK);
    timespec now{};
    if (hz <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1.0;
    const double boot_now = static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
    return boot_now - static_cast<double>(start_ticks) / static_cast<double>(hz);
}

void StartupProbe::watch(QWidget* w, std::function<void()> done) {
    done_ = std::move(done);
    if (w != nullptr) w->installEventFilter(this);
}

bool StartupProbe::eventFilter(QObject* watched, QEvent* event) {
    if (!reported_ && event->type() == QEvent::Paint) {
        reported_ = true;
        const double since_main =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - main_entry_).count();
        std::printf(
            "startup: main window painted %.1f ms after main() and %.0f ms after the "
            "process was created\n",
            since_main * 1000.0, process_age_seconds() * 1000.0);
        std::fflush(stdout);
        watched->removeEventFilter(this);
        if (done_) QTimer::singleShot(0, this, done_);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace korvel::gui
