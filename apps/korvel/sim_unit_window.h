// The "Simulated Unit" window of `korvel --simulate`: the bench beside the program. It plugs the
// simulated board in and out, sets the identity its USB chip reports, and shows what the program
// has driven into the board's chips (expander pins, DAC codes, FPGA memories) and into its USB
// chip's EEPROM user area, polled a few times a second.
#pragma once

#include <QWidget>
#include <array>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace korvel::sim {
class Board;
}

namespace korvel::qtview {

class LedWidget;

class SimUnitWindow : public QWidget {
    Q_OBJECT
  public:
    // `board` must outlive the window.
    explicit SimUnitWindow(korvel::sim::Board& board, QWidget* parent = nullptr);

    static constexpr int kPollIntervalMs = 250;

    // Reads the board once and updates every field (the poll timer calls this).
    void refresh();

    // For tests and scripted tours.
    QPushButton* plugButton() const { return plug_button_; }
    QRadioButton* primaryButton() const { return primary_; }
    QRadioButton* alternateButton() const { return alternate_; }
    QLineEdit* serialEdit() const { return serial_edit_; }
    QString expanderText(int chip) const;
    QString dacText(int selector, int channel) const;
    // The EEPROM user area as shown: rows of 16 bytes in hex, each after its offset.
    QString userAreaText() const;

  private:
    QWidget* buildConnectionGroup();
    QWidget* buildExpanderGroup();
    QWidget* buildDacGroup();
    QWidget* buildFpgaGroup();
    QWidget* buildUserAreaGroup();
    void togglePlug();
    void applyDescription();
    void applySerial();

    static constexpr std::array<int, 3> kChips{2, 3, 7};
    static constexpr int kPins = 9;

    korvel::sim::Board& board_;
    QTimer* poll_ = nullptr;

    LedWidget* attached_led_ = nullptr;
    QLabel* attached_text_ = nullptr;
    QPushButton* plug_button_ = nullptr;
    QRadioButton* primary_ = nullptr;
    QRadioButton* alternate_ = nullptr;
    QLineEdit* serial_edit_ = nullptr;

    std::array<std::array<LedWidget*, kPins>, 3> pin_leds_{};
    std::array<QLabel*, 3> pin_values_{};
    std::array<std::array<QLabel*, 4>, 2> dac_codes_{};
    std::array<std::array<QLabel*, 4>, 2> dac_volts_{};
    std::array<std::array<QLabel*, 4>, 2> dac_stored_{};
    QLabel* pattern_summary_ = nullptr;
    QPlainTextEdit* pattern_bits_ = nullptr;
    QLabel* mask_summary_ = nullptr;
    QPlainTextEdit* mask_bits_ = nullptr;
    QLabel* user_area_summary_ = nullptr;
    QLabel* user_area_bytes_ = nullptr;
};

}  // namespace korvel::qtview
