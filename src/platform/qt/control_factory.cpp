#include "platform/qt/control_factory.h"

#include <QFrame>

#include "platform/qt/button_views.h"
#include "platform/qt/number_views.h"
#include "platform/qt/ring_views.h"
#include "platform/qt/text_views.h"
#include "platform/user_interface.h"

namespace korvel::qtview {

using resource::ControlKind;

ControlView* make_control_view(int panel, const resource::ControlDef& def, QWidget* parent_widget,
                               QObject* owner) {
    ControlView* view = nullptr;
    switch (def.kind) {
        case ControlKind::CommandButton:
            view = new CommandButtonView(panel, def, parent_widget);
            break;
        case ControlKind::ToggleButton:
            view = new ToggleButtonView(panel, def, parent_widget);
            break;
        case ControlKind::CheckBox:
            view = new CheckBoxView(panel, def, parent_widget);
            break;
        case ControlKind::Led:
            view = new LedView(panel, def, parent_widget);
            break;
        case ControlKind::Numeric:
            view = new NumericView(panel, def, parent_widget);
            break;
        case ControlKind::NumericSlide:
            view = new NumericSlideView(panel, def, parent_widget);
            break;
        case ControlKind::Ring:
            view = new RingView(panel, def, parent_widget);
            break;
        case ControlKind::RingSlide:
            view = new RingSlideView(panel, def, parent_widget);
            break;
        case ControlKind::String:
            view = new StringView(panel, def, parent_widget);
            break;
        case ControlKind::TextBox:
            view = new TextBoxView(panel, def, parent_widget);
            break;
        case ControlKind::TextMessage:
            view = new TextMessageView(panel, def, parent_widget);
            break;
        case ControlKind::Decoration: {
            auto* frame = new QFrame(parent_widget);
            frame->setFrameShape(QFrame::StyledPanel);
            view = new DecorationView(panel, def, frame, owner);
            break;
        }
        case ControlKind::Timer:
            view = new ControlView(panel, def, owner);
            break;
    }
    view->setParent(owner);
    return view;
}

DecorationView::DecorationView(int panel, const resource::ControlDef& def, QFrame* frame,
                               QObject* owner)
    : ControlView(panel, def, owner), frame_(frame) {
    setWidgets(nullptr, frame);
}

void DecorationView::refreshAttribute(int attribute) {
    if (attribute == ATTR_VISIBLE) {
        int visible = 1;
        if (GetCtrlAttribute(panel(), control(), ATTR_VISIBLE, &visible) >= 0)
            frame_->setFrameShape(visible != 0 ? QFrame::StyledPanel : QFrame::NoFrame);
        return;
    }
    if (attribute == ATTR_DIMMED) return;  // a frame has nothing to dim
    ControlView::refreshAttribute(attribute);
}

}  // namespace korvel::qtview
