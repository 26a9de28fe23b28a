#include "platform/qt/menu_bar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "platform/operator_input.h"
#include "platform/qt/loop_driver.h"
#include "platform/qt/qt_text.h"
#include "resource/catalogue.h"

namespace korvel::qtview {
namespace {

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
            connect_choice(bar->addAction(to_qstring(menu.label)), panel, menu.id);
            continue;
        }
        QMenu* m = bar->addMenu(to_qstring(menu.label));
        m->setObjectName(to_qstring(menu.constant));
        for (const auto& item : menu.items)
            connect_choice(m->addAction(to_qstring(item.label)), panel, item.id);
    }
    return bar;
}

}  // namespace korvel::qtview
