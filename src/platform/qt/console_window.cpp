#include "platform/qt/console_window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

namespace korvel::qtview {

ConsoleWindow::ConsoleWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Standard Input/Output"));
    setObjectName(QStringLiteral("ConsoleWindow"));
    output_ = new QPlainTextEdit(this);
    output_->setReadOnly(true);
    output_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    output_->setMaximumBlockCount(kMaxLines);
    output_->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFontMetrics fm(output_->font());
    output_->setMinimumSize(fm.horizontalAdvance(QString(100, QLatin1Char('0'))),
                            fm.lineSpacing() * 20);

    input_ = new QLineEdit(this);
    input_->setFont(output_->font());
    input_->setPlaceholderText(QStringLiteral("Type here and press Enter to answer the program"));
    connect(input_, &QLineEdit::returnPressed, this, [this] {
        typeLine(input_->text());
        input_->clear();
    });

    auto* input_row = new QHBoxLayout;
    input_row->addWidget(new QLabel(QStringLiteral("Input:"), this));
    input_row->addWidget(input_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(output_, 1);
    layout->addLayout(input_row);
}

void ConsoleWindow::write(const QString& text) {
    QScrollBar* bar = output_->verticalScrollBar();
    const bool at_end = bar->value() == bar->maximum();
    QTextCursor cursor(output_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    if (at_end) bar->setValue(bar->maximum());
}

QString ConsoleWindow::text() const {
    return output_->toPlainText();
}

int ConsoleWindow::takeChar() {
    if (pending_.empty()) return -1;
    const char c = pending_.front();
    pending_.pop_front();
    return static_cast<unsigned char>(c);
}

int ConsoleWindow::waitChar() {
    if (!pending_.empty()) return takeChar();
    QEventLoop loop;
    connect(this, &ConsoleWindow::lineTyped, &loop, &QEventLoop::quit);
    bool closed_meanwhile = false;
    connect(this, &ConsoleWindow::closed, &loop, [&] {
        closed_meanwhile = true;
        loop.quit();
    });
    setTakesAllInput(true);
    raise();
    activateWindow();
    input_->setFocus();
    // Ends early (at once) when the program is asked to quit: every event loop then stops.
    QPointer<ConsoleWindow> alive(this);
    loop.exec();
    if (!alive) return -1;
    if (closed_meanwhile) {
        setWindowModality(Qt::NonModal);  // stays closed
    } else {
        setTakesAllInput(false);
    }
    return takeChar();
}

void ConsoleWindow::setTakesAllInput(bool on) {
    // Qt applies a change of modality only to a window shown afresh.
    hide();
    setWindowModality(on ? Qt::ApplicationModal : Qt::NonModal);
    show();
}

void ConsoleWindow::typeLine(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    pending_.push_back('\n');
    write(line + QLatin1Char('\n'));  // the typed line stays visible, as on a terminal
    emit lineTyped();
}

void ConsoleWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

}  // namespace korvel::qtview
