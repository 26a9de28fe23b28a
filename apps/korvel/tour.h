// A scripted walk through every window, run from the event loop: the main window, the six
// secondary panels, the standard input/output window and (when simulating) the Simulated Unit
// window are opened one after the other (through the program's own openers where it has them),
// optionally saved as PNG, closed through their close boxes (which press the panels' CLOSE
// buttons), and the program leaves through File > Quit Without Saving. Used for screenshots and
// for leak and memory-error runs.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace korvel::qtview {
class QtPlatform;
}

namespace korvel::gui {

class Tour : public QObject {
    Q_OBJECT
  public:
    // `extra` is shown and saved as well (the Simulated Unit window), may be null.
    Tour(qtview::QtPlatform& qt, QWidget* extra, QString screenshot_dir);
    // Starts once the event loop runs.
    void start();
    // Windows saved so far, and anything that went wrong.
    const std::vector<QString>& saved() const { return saved_; }
    const std::vector<QString>& problems() const { return problems_; }

  private:
    void next();
    void show(const QString& name, QWidget* w);
    void showPanel(const QString& name, int panel);

    qtview::QtPlatform& qt_;
    QPointer<QWidget> extra_;
    QString dir_;
    std::vector<std::function<void()>> steps_;
    std::size_t step_ = 0;
    std::vector<QString> saved_;
    std::vector<QString> problems_;
};

}  // namespace korvel::gui
