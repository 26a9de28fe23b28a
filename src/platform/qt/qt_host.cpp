#include "platform/qt/qt_host.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

#include "platform/operator_input.h"
#include "platform/qt/console_window.h"
#include "platform/qt/loop_driver.h"
#include "platform/qt/qt_text.h"
#include "platform/ui_constants.h"

namespace korvel::qtview {
namespace {

// Dialogs belong to the window the operator is working in.
QWidget* dialog_parent() {
    return QApplication::activeWindow();
}

// Qt's own file dialog (used where the desktop offers none) picks each folder in its list while its
// path is typed into the name field, and drops it again as typing goes on. Qt 6.4 misses the drop
// when the folder has the same row number as the folder picked before it (a one-letter last
// folder, as in ".../k/w/other.cfg", picked on the keystroke that unpicks "k"): the folder stays
// picked next to the file, and the dialog then opens the folder, or hands it back from Save. In a
// one-file dialog more than one chosen name can only be that: take the name typed in the field.
// No Q_OBJECT: Qt uses the desktop's native dialog only for a plain QFileDialog class name.
class TypedNameFileDialog : public QFileDialog {
  public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (fileMode() != ExistingFiles && selectedFiles().size() > 1 && name != nullptr &&
            !name->text().isEmpty())
            selectFile(name->text());
        QFileDialog::accept();
    }
};

}  // namespace

QString dialog_filter(const std::string& file_type_list, const std::string& default_file_pattern) {
    QString patterns = QString::fromStdString(file_type_list);
    if (patterns.trimmed().isEmpty() && default_file_pattern.find('*') != std::string::npos)
        patterns = QString::fromStdString(default_file_pattern);
    QStringList list;
    for (const QString& p : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!p.trimmed().isEmpty()) list << p.trimmed();
    QString filter;
    if (!list.isEmpty() && list != QStringList{QStringLiteral("*.*")} &&
        list != QStringList{QStringLiteral("*")})
        filter = QStringLiteral("Files (%1);;").arg(list.join(QLatin1Char(' ')));
    return filter + QStringLiteral("All files (*)");
}

QtHost::QtHost() {
    console_ = new ConsoleWindow;
}

QtHost::~QtHost() {
    delete console_.data();
}

void QtHost::message_popup(std::string_view title, std::string_view message) {
    QMessageBox box(QMessageBox::NoIcon, to_qstring(title), to_qstring(message), QMessageBox::Ok,
                    dialog_parent());
    box.exec();
}

bool QtHost::choice_popup(std::string_view title, std::string_view message, std::string_view yes,
                          std::string_view no) {
    QMessageBox box(QMessageBox::Warning, to_qstring(title), to_qstring(message),
                    QMessageBox::NoButton, dialog_parent());
    QPushButton* yes_button = box.addButton(to_qstring(yes), QMessageBox::AcceptRole);
    QPushButton* no_button = box.addButton(to_qstring(no), QMessageBox::RejectRole);
    box.setDefaultButton(no_button);  // Return does not lose anything
    box.setEscapeButton(no_button);
    box.exec();
    return box.clickedButton() == yes_button;
}

int QtHost::file_select(const platform::FileSelectRequest& request, std::string* path) {
    QString dir = QString::fromStdString(request.default_directory);
    if (dir.isEmpty()) dir = QDir::currentPath();
    const QString def = QString::fromStdString(request.default_file_pattern);
    const QString start =
        def.contains(QLatin1Char('*')) || def.isEmpty() ? dir : QDir(dir).filePath(def);
    const QString filter = dialog_filter(request.file_type_list, request.default_file_pattern);
    const QString title = QString::fromStdString(request.title);
    TypedNameFileDialog dialog(dialog_parent(), title, start, filter);
    if (request.button_label == VAL_SAVE_BUTTON)
        dialog.setAcceptMode(QFileDialog::AcceptSave);
    else
        dialog.setFileMode(QFileDialog::ExistingFile);
    // The name the dialog accepted: asked afterwards, it can answer with that stale folder.
    QString chosen;
    QObject::connect(&dialog, &QFileDialog::fileSelected, &dialog,
                     [&chosen](const QString& file) { chosen = file; });
    if (dialog.exec() != QDialog::Accepted) chosen.clear();
    if (chosen.isEmpty()) return VAL_NO_FILE_SELECTED;
    const bool existed = QFileInfo::exists(chosen);
    if (path != nullptr) *path = QDir::toNativeSeparators(chosen).toStdString();
    return existed ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
}

void QtHost::clipboard_put_text(std::string_view text) {
    QGuiApplication::clipboard()->setText(to_qstring(text));
}

void QtHost::stdio_write(std::string_view text) {
    if (echo_) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
    if (!console_) return;
    console_->write(to_qstring(text));
    if (!console_->isVisible()) console_->show();
}

int QtHost::stdio_getchar() {
    return console_ ? console_->waitChar() : -1;
}

void QtHost::run_event_loop() {
    LoopDriver::kick();
    loop_running_ = true;
    QApplication::exec();
    loop_running_ = false;
}

void QtHost::quit_event_loop() {
    if (loop_running_) QCoreApplication::exit(0);
}

void QtHost::process_draw_events() {
    // Only the pending layouts and repaints: running timers, sockets or other posted work here
    // would start another callback (or the tick) inside the one that asked for the redraw.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void QtHost::set_wait_cursor(bool on) {
    // One override at a time, so that every "off" takes back exactly what an "on" put up.
    if (on == wait_cursor_) return;
    wait_cursor_ = on;
    if (on)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace korvel::qtview
