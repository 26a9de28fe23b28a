// Measures how long the program takes until its main window is on the screen: from the process's
// creation (as the kernel recorded it) and from the entry into main, to the window's first paint.
#pragma once

#include <QObject>
#include <chrono>
#include <functional>

class QWidget;

namespace korvel::gui {

class StartupProbe : public QObject {
    Q_OBJECT
  public:
    StartupProbe();  // construct first thing in main

    // Watches `w` for its first paint; then prints the times and calls `done`.
    void watch(QWidget* w, std::function<void()> done);

    // Seconds since the process was created, from /proc (10 ms resolution), or -1.
    static double process_age_seconds();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::chrono::steady_clock::time_point main_entry_;
    std::function<void()> done_;
    bool reported_ = false;
};

}  // namespace korvel::gui
