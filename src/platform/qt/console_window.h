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
    // As if the operator typed `line` and pressed Enter.
    void typeLine(const QString& line);

    QLineEdit* inputLine() const { return input_; }

  private:
    QPlainTextEdit* output_;
    QLineEdit* input_;
    std::deque<char> pending_;
};

}  // namespace korvel::qtview
