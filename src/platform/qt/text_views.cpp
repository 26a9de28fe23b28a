#include "platform/qt/text_views.h"

#include <QEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <string>

#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/qt/loop_driver.h"
#include "platform/user_interface.h"

namespace korvel::qtview {
namespace {

bool read_text(int panel, int control, QString* text) {
    std::string value;
    if (GetCtrlVal(panel, control, &value) < 0) return false;
    *text = QString::fromStdString(value);
    return true;
}

}  // namespace

StringView::StringView(int panel, const resource::ControlDef& def, QWidget* parent_widget)
    : ControlView(panel, def, parent_widget) {
    field_ = new QLineEdit(parent_widget);
    field_->setMinimumWidth(field_->fontMetrics().averageCharWidth() * 16);
    // The model holds what the field shows while the operator types, so a callback that reads
    // the field at the next keypress sees the text typed so far. No callback runs until the edit
    // is committed with Enter or by leaving the field.
    connect(field_, &QLineEdit::textEdited, this, [this](const QString& text) {
        edited_ = true;
        SetCtrlVal(this->panel(), control(), text.toStdString());
    });
    connect(field_, &QLineEdit::editingFinished, this, [this] {
        if (!edited_ || !korvel::platform::panel_loaded(this->panel())) return;
        edited_ = false;
        korvel::platform::operate_ctrl_text(this->panel(), control(), field_->text().toStdString(),
                                            EVENT_COMMIT);
        inputDelivered();
    });
    setWidgets(formLabel(parent_widget), field_);
}

void StringView::refreshValue() {
    QString text;
    if (!read_text(panel(), control(), &text) || text == field_->text()) return;
    // The program's text replaces the operator's edit.
    edited_ = false;
    const QSignalBlocker block(field_);
    field_->setText(text);
    field_->setCursorPosition(0);
}

TextBoxView::TextBoxView(int panel, const resource::ControlDef& def, QWidget* parent_widget)
    : ControlView(panel, def, parent_widget) {
    area_ = new QPlainTextEdit(parent_widget);
    area_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics fm(area_->font());
    area_->setMinimumSize(fm.horizontalAdvance(QString(40, QLatin1Char('0'))),
                          fm.lineSpacing() * 5);
    area_->installEventFilter(this);
    connect(area_, &QPlainTextEdit::textChanged, this, [this] {
        edited_ = true;
        korvel::platform::operate_ctrl_text(this->panel(), control(),
                                            area_->toPlainText().toStdString(), EVENT_VAL_CHANGED);
        LoopDriver::kick();
    });
    setWidgets(formLabel(parent_widget), area_);
}

bool TextBoxView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_ && event->type() == QEvent::FocusOut && edited_) {
        edited_ = false;
        korvel::platform::operate_ctrl_text(panel(), control(), area_->toPlainText().toStdString(),
                                            EVENT_COMMIT);
        inputDelivered();
    }
    return ControlView::eventFilter(watched, event);
}

void TextBoxView::refreshValue() {
    QString text;
    if (!read_text(panel(), control(), &text) || text == area_->toPlainText()) return;
    const QSignalBlocker block(area_);
    area_->setPlainText(text);
}

TextMessageView::TextMessageView(int panel, const resource::ControlDef& def, QWidget* parent_widget)
    : ControlView(panel, def, parent_widget) {
    text_ = new QLabel(parent_widget);
    text_->setTextFormat(Qt::PlainText);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setWidgets(nullptr, text_);
}

void TextMessageView::refreshValue() {
    QString text;
    if (read_text(panel(), control(), &text) && text != text_->text()) text_->setText(text);
}

}  // namespace korvel::qtview
