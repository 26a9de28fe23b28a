#include "message_box_dismiss.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

namespace korvel::gui {

void when_no_message_box(std::function<void()> action) {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
        action();
        return;
    }
    std::printf("answered message box \"%s\": %s\n", qPrintable(box->windowTitle()),
                qPrintable(box->text()));
    std::fflush(stdout);
    box->accept();
    // The box's own event loop ends first; the action then runs in the program's loop.
    QTimer::singleShot(0, [action = std::move(action)] { when_no_message_box(action); });
}

}  // namespace korvel::gui
