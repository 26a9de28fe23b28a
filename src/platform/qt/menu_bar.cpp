#include "platform/qt/menu_bar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "platform/operator_input.h"
#include "platform/qt/loop_driver.h"
#include "resource/catalogue.h"

namespace korvel::qtview {
namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

void connect_choice(QAction* action, int panel, int item) {
    action->setObjectName(QStringLiteral("menu_%1").arg(item));
    QObject::connect(action, &QAction::triggered, action, [panel, item] {
        korvel::platform::choose_menu_item(panel, item);
        LoopDriver::kick();
    });
}

}  // namespace

QMenuBar* build_menu_bar(int panel, QWidget* parent) {
    auto* bar = new QMenuBar(parent);
    bar->setObjectName(QStringLiteral("MENUBAR"));
    for (const auto& menu : resource::menu_bar().menus) {
        if (menu.items.empty()) {
            // A menu without items acts as soon as it is chosen.
            connect_choice(bar->addAction(qs(menu.label)), panel, menu.id);
            continue;
        }
        QMenu* m = bar->addMenu(qs(menu.label));
        m->setObjectName(qs(menu.constant));
        for (const auto& item : menu.items)
            connect_choice(m->addAction(qs(item.label)), panel, item.id);
    }
    return bar;
}

}  // namespace korvel::qtview
