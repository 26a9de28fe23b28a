#include "platform/qt/loop_driver.h"

#include <QTimer>
#include <algorithm>
#include <cmath>

#include "base/clock.h"
#include "platform/model_query.h"
#include "platform/operator_input.h"

namespace korvel::qtview {
namespace {

LoopDriver* g_driver = nullptr;

// Longest single wait; re-planning this often also picks up timers enabled by code.
constexpr int kMaxWaitMs = 250;

}  // namespace

LoopDriver::LoopDriver(QObject* parent) : QObject(parent) {
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &LoopDriver::wake);
    g_driver = this;
    plan();
}

LoopDriver::~LoopDriver() {
    if (g_driver == this) g_driver = nullptr;
}

void LoopDriver::kick() {
    if (g_driver != nullptr) g_driver->plan();
}

void LoopDriver::plan() {
    int wait_ms = kMaxWaitMs;
    if (platform::has_deferred_calls()) {
        wait_ms = 0;
    } else {
        const double due = platform::next_timer_due();
        if (std::isfinite(due)) {
            const double wait = due - platform::clock().now();
            wait_ms = static_cast<int>(
                std::clamp(std::ceil(wait * 1000.0), 0.0, static_cast<double>(kMaxWaitMs)));
        }
    }
    waiting_.start();
    timer_->start(wait_ms);
}

void LoopDriver::wake() {
    // Under a virtual clock nothing moves time on while the program waits for the operator:
    // let it follow the wall clock for the time just waited.
    if (auto* virtual_clock = dynamic_cast<platform::VirtualClock*>(&platform::clock());
        virtual_clock != nullptr && platform::dispatch_depth() == 0) {
        virtual_clock->advance(static_cast<double>(waiting_.nsecsElapsed()) * 1e-9);
    }
    runDue();
    plan();
}

int LoopDriver::runDue() {
    if (platform::dispatch_depth() > 0 || platform::quit_requested()) return 0;
    int n = platform::run_deferred_calls();
    n += platform::process_due_timers();
    return n;
}

}  // namespace korvel::qtview
