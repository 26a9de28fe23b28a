// SIGTERM, SIGINT and SIGHUP (the terminal closing) leave the program through File > Exit, as the
// operator would: the settings are saved, the timers stopped and the unit closed, instead of the
// process just vanishing (a simulated unit then keeps its state file up to date too). A message box waiting for the
// operator is answered with OK first.
#pragma once

#include <QObject>

class QSocketNotifier;
class QTimer;

namespace korvel::gui {

class TerminationSignals : public QObject {
    Q_OBJECT
  public:
    // Installs the handlers; one object per process.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

  private:
    void received();
    void leave();

    QSocketNotifier* notifier_ = nullptr;
    QTimer* retry_ = nullptr;
};

}  // namespace korvel::gui
