#include "message_box_dismiss.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <string>

#include "platform/host_services.h"
#include "remote/device_messages.h"

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

void divert_unseen_message_boxes(bool remote) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) return;
    platform::set_message_taker([remote](std::string_view title, std::string_view text) {
        const std::string message = std::string(title) + ": " + std::string(text);
        std::fprintf(stderr, "korvel: message box not shown: %s\n", message.c_str());
        if (remote) remote::device_messages().post(message);
    });
}

}  // namespace korvel::gui
