// The resource's menu bar as a Qt menu bar. Choosing an entry goes to the model
// (choose_menu_item), which calls the entry's callback with the panel that carries the bar.
#pragma once

class QMenuBar;
class QWidget;

namespace korvel::qtview {

QMenuBar* build_menu_bar(int panel, QWidget* parent);

}  // namespace korvel::qtview
