// The standard input/output window: everything the program prints, and a line where the operator
// types what the program reads character by character.
#pragma once

#include <QString>
#include <QWidget>
#include <deque>

class QLineEdit;
class QPlainTextEdit;

namespace korvel::qtview {

class ConsoleWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ConsoleWindow(QWidget* parent = nullptr);

    static constexpr int kMaxLines = 5000;

    // Appends printed text (shown as it arrives, without adding line breaks).
    void write(const QString& text);
    QString text() const;
    // Next typed character, or -1 when nothing is waiting.
    int takeChar();
    // Next typed character; with none waiting, brings the window to the front and waits for the
    // operator to type a line while the event loop keeps every window drawn. Only this window
    // takes input meanwhile, as with a message box. -1 when the input ends instead: the window is
    // closed or the program quits while it waits.
    int waitChar();
    // As if the operator typed `line` and pressed Enter.
    void typeLine(const QString& line);

    QLineEdit* inputLine() const { return input_; }

  signals:
    void lineTyped();
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void setTakesAllInput(bool on);

    QPlainTextEdit* output_;
    QLineEdit* input_;
    std::deque<char> pending_;
};

}  // namespace korvel::qtview
