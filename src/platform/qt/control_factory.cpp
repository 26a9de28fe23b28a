#include "platform/qt/control_factory.h"

#include <QFrame>

#include "platform/qt/button_views.h"
#include "platform/qt/number_views.h"
#include "platform/qt/ring_views.h"
#include "platform/qt/text_views.h"
#include "platform/user_interface.h"

namespace korvel::qtview {

using resource::ControlKind;

ControlView* make_control_view(int panel, const resource::ControlSpec& spec, QWidget* parent_widget,
                               QObject* owner) {
    ControlView* view = nullptr;
    switch (spec.kind) {
        case ControlKind::CommandButton:
            view = new CommandButtonView(panel, spec, parent_widget);
            break;
        case ControlKind::ToggleButton:
            view = new ToggleButtonView(panel, spec, parent_widget);
            break;
        case ControlKind::CheckBox:
            view = new CheckBoxView(panel, spec, parent_widget);
            break;
        case ControlKind::Led:
            view = new LedView(panel, spec, parent_widget);
            break;
        case ControlKind::Numeric:
            view = new NumericView(panel, spec, parent_widget);
            break;
        case ControlKind::NumericSlide:
            view = new NumericSlideView(panel, spec, parent_widget);
            break;
        case ControlKind::Ring:
            view = new RingView(panel, spec, parent_widget);
            break;
        case ControlKind::RingSlide:
            view = new RingSlideView(panel, spec, parent_widget);
            break;
        case ControlKind::String:
            view = new StringView(panel, spec, parent_widget);
            break;
        case ControlKind::TextBox:
            view = new TextBoxView(panel, spec, parent_widget);
            break;
        case ControlKind::TextMessage:
            view = new TextMessageView(panel, spec, parent_widget);
            break;
        case ControlKind::Decoration: {
            auto* frame = new QFrame(parent_widget);
            frame->setFrameShape(QFrame::StyledPanel);
            view = new DecorationView(panel, spec, frame, owner);
            break;
        }
        case ControlKind::Timer:
            view = new ControlView(panel, spec, owner);
            break;
    }
    view->setParent(owner);
    return view;
}

DecorationView::DecorationView(int panel, const resource::ControlSpec& spec, QFrame* frame,
                               QObject* owner)
    : ControlView(panel, spec, owner), frame_(frame) {
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
