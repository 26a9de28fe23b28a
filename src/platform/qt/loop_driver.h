// Drives the model's timers and deferred calls from the Qt event loop.
//
// The model keeps timer due times on the process clock. With the real clock a single-shot QTimer
// waits until the next due tick. With a virtual clock (the simulated unit) pauses cost nothing,
// so the virtual time is moved on by the wall time that passed while waiting; each tick still
// comes at most one interval of wall time after the previous one.
#pragma once

#include <QElapsedTimer>
#include <QObject>

class QTimer;

namespace korvel::qtview {

class LoopDriver : public QObject {
    Q_OBJECT
  public:
    explicit LoopDriver(QObject* parent = nullptr);
    ~LoopDriver() override;

    // Re-plans the next wake-up: now when deferred calls wait, else at the next due tick. Call
    // after anything that may have posted a deferred call or changed a timer. Safe to call when
    // no driver exists.
    static void kick();

    // Runs what is due now; returns the number of deferred calls and ticks delivered.
    int runDue();

  private:
    void plan();
    void wake();

    QTimer* timer_ = nullptr;
    QElapsedTimer waiting_;
};

}  // namespace korvel::qtview
