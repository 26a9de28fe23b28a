#include "sim_unit_window.h"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <span>

#include "korvel/sim/unit.h"
#include "platform/qt/led_widget.h"

namespace korvel::qtview {
namespace {

constexpr const char* kPrimary = "ZEVA_KORVEL";
constexpr const char* kAlternate = "ZEVA~KORVEL";
constexpr int kBitsShown = 256;
constexpr int kBitsPerLine = 64;
constexpr double kSupplyVolts = 3.3;
constexpr double kInternalReferenceVolts = 2.048;
constexpr int kBytesPerRow = 16;

// I2C address bytes of the chips, as the board wires them.
int expander_address(int chip) {
    return 0xA0 + 2 * chip;
}
int dac_address(int selector) {
    return 0xC0 + 2 * selector;
}

// Output voltage of one MCP4728 channel: VDD reference, or the internal 2.048 V reference with a
// gain of 1 or 2; a powered-down channel drives nothing.
QString channel_volts(const korvel::sim::Mcp4728Channel& ch) {
    if (ch.power_down != 0) return QStringLiteral("off");
    const double ref =
        ch.vref != 0 ? kInternalReferenceVolts * (ch.gain != 0 ? 2.0 : 1.0) : kSupplyVolts;
    return QString::number(ref * ch.code / 4096.0, 'f', 3) + QStringLiteral(" V");
}

// The first bits of a memory in rows of 64, grouped by eight, for a fixed-width view.
QString format_bits(const std::string& bits) {
    QString out;
    const int shown = std::min<int>(static_cast<int>(bits.size()), kBitsShown);
    for (int i = 0; i < shown; ++i) {
        if (i > 0 && i % kBitsPerLine == 0)
            out += QLatin1Char('\n');
        else if (i > 0 && i % 8 == 0)
            out += QLatin1Char(' ');
        out += QLatin1Char(bits[static_cast<std::size_t>(i)]);
    }
    if (bits.empty()) out = QStringLiteral("(empty: nothing loaded since power-up)");
    return out;
}

// Rows of 16 bytes in hex, each after its offset: "00: 04 01 C1 ...".
QString format_bytes(std::span<const std::uint8_t> bytes) {
    QString out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % kBytesPerRow == 0) {
            if (i > 0) out += QLatin1Char('\n');
            out += QStringLiteral("%1:").arg(i, 2, 16, QLatin1Char('0')).toUpper();
        }
        out += QStringLiteral(" %1")
                   .arg(static_cast<unsigned>(bytes[i]), 2, 16, QLatin1Char('0'))
                   .toUpper();
    }
    return out;
}

QLabel* mono_label(const QString& text) {
    auto* l = new QLabel(text);
    l->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QPlainTextEdit* bits_view() {
    auto* v = new QPlainTextEdit;
    v->setReadOnly(true);
    v->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    v->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFontMetrics fm(v->font());
    // Four rows of 64 bits in groups of eight, without scrolling.
    v->setMinimumWidth(fm.horizontalAdvance(QString(kBitsPerLine + 8, QLatin1Char('0'))) +
                       fm.averageCharWidth() * 4);
    v->setFixedHeight(fm.lineSpacing() * 4 + fm.height());
    v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return v;
}

void set_text_if_changed(QPlainTextEdit* view, const QString& text) {
    if (view->toPlainText() != text) view->setPlainText(text);
}

}  // namespace

SimUnitWindow::SimUnitWindow(korvel::sim::Board& board, QWidget* parent)
    : QWidget(parent), board_(board) {
    setWindowTitle(QStringLiteral("Simulated Unit"));
    setObjectName(QStringLiteral("SimUnitWindow"));

    auto* top = new QHBoxLayout;
    top->addWidget(buildConnectionGroup(), 0);
    top->addWidget(buildExpanderGroup(), 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buildDacGroup());
    layout->addWidget(buildFpgaGroup());
    layout->addWidget(buildUserAreaGroup());
    layout->addStretch(1);

    poll_ = new QTimer(this);
    poll_->setInterval(kPollIntervalMs);
    connect(poll_, &QTimer::timeout, this, &SimUnitWindow::refresh);
    poll_->start();
    refresh();
}

QWidget* SimUnitWindow::buildConnectionGroup() {
    auto* box = new QGroupBox(QStringLiteral("USB cable"));
    auto* grid = new QGridLayout(box);

    attached_led_ = new LedWidget;
    attached_text_ = new QLabel;
    plug_button_ = new QPushButton;
    plug_button_->setObjectName(QStringLiteral("plugButton"));
    connect(plug_button_, &QPushButton::clicked, this, &SimUnitWindow::togglePlug);
    auto* state = new QHBoxLayout;
    state->addWidget(attached_led_);
    state->addWidget(attached_text_, 1);
    grid->addWidget(new QLabel(QStringLiteral("Unit:")), 0, 0);
    grid->addLayout(state, 0, 1);
    grid->addWidget(plug_button_, 0, 2);

    primary_ = new QRadioButton(QStringLiteral("Primary  \"%1\"").arg(kPrimary));
    alternate_ = new QRadioButton(QStringLiteral("Alternate  \"%1\"").arg(kAlternate));
    primary_->setToolTip(QStringLiteral("USB description of the usual generator chip"));
    alternate_->setToolTip(
        QStringLiteral("USB description of units built with the alternate generator chip"));
    auto* group = new QButtonGroup(box);
    group->addButton(primary_);
    group->addButton(alternate_);
    connect(primary_, &QRadioButton::toggled, this, &SimUnitWindow::applyDescription);
    grid->addWidget(new QLabel(QStringLiteral("Description:")), 1, 0, Qt::AlignTop);
    grid->addWidget(primary_, 1, 1, 1, 2);
    grid->addWidget(alternate_, 2, 1, 1, 2);

    serial_edit_ = new QLineEdit;
    serial_edit_->setObjectName(QStringLiteral("serialEdit"));
    serial_edit_->setMaxLength(15);
    serial_edit_->setToolTip(
        QStringLiteral("Serial number the USB chip reports (up to 15 "
                       "characters); press Enter to apply"));
    connect(serial_edit_, &QLineEdit::editingFinished, this, &SimUnitWindow::applySerial);
    grid->addWidget(new QLabel(QStringLiteral("Serial number:")), 3, 0);
    grid->addWidget(serial_edit_, 3, 1, 1, 2);

    auto* note =
        new QLabel(QStringLiteral("The identity can be changed while the unit is "
                                  "unplugged."));
    note->setWordWrap(true);
    note->setEnabled(false);
    grid->addWidget(note, 4, 0, 1, 3);
    grid->setRowStretch(5, 1);

    const bool primary = board_.description != kAlternate;
    primary_->setChecked(primary);
    alternate_->setChecked(!primary);
    serial_edit_->setText(QString::fromStdString(board_.serial));
    return box;
}

QWidget* SimUnitWindow::buildExpanderGroup() {
    auto* box = new QGroupBox(QStringLiteral("I/O expanders: pin levels (lit = high)"));
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(grid->horizontalSpacing() + 2);
    for (int pin = kPins - 1; pin >= 0; --pin) {
        auto* head = new QLabel(QString::number(pin));
        head->setAlignment(Qt::AlignCenter);
        grid->addWidget(head, 0, 1 + (kPins - 1 - pin));
    }
    grid->addWidget(new QLabel(QStringLiteral("value")), 0, kPins + 1);
    for (std::size_t row = 0; row < kChips.size(); ++row) {
        const int chip = kChips[row];
        grid->addWidget(new QLabel(QStringLiteral("Chip %1 (0x%2)")
                                       .arg(chip)
                                       .arg(QString::number(expander_address(chip), 16).toUpper())),
                        static_cast<int>(row) + 1, 0);
        for (int pin = kPins - 1; pin >= 0; --pin) {
            auto* led = new LedWidget;
            led->setToolTip(QStringLiteral("Chip %1, pin %2").arg(chip).arg(pin));
            pin_leds_[row][static_cast<std::size_t>(pin)] = led;
            grid->addWidget(led, static_cast<int>(row) + 1, 1 + (kPins - 1 - pin), Qt::AlignCenter);
        }
        pin_values_[row] = mono_label(QString());
        grid->addWidget(pin_values_[row], static_cast<int>(row) + 1, kPins + 1);
    }
    grid->setColumnStretch(kPins + 2, 1);
    grid->setRowStretch(static_cast<int>(kChips.size()) + 1, 1);
    return box;
}

QWidget* SimUnitWindow::buildDacGroup() {
    auto* box = new QGroupBox(QStringLiteral("DACs: channel codes (12 bit)"));
    auto* grid = new QGridLayout(box);
    const char* names = "ABCD";
    for (int sel = 0; sel < 2; ++sel) {
        auto* title = new QLabel(QStringLiteral("DAC %1 (0x%2)")
                                     .arg(sel)
                                     .arg(QString::number(dac_address(sel), 16).toUpper()));
        title->setStyleSheet(QStringLiteral("font-weight: bold"));
        grid->addWidget(title, 0, sel * 5, 1, 4);
        grid->addWidget(new QLabel(QStringLiteral("ch")), 1, sel * 5);
        grid->addWidget(new QLabel(QStringLiteral("code")), 1, sel * 5 + 1);
        grid->addWidget(new QLabel(QStringLiteral("output")), 1, sel * 5 + 2);
        grid->addWidget(new QLabel(QStringLiteral("stored")), 1, sel * 5 + 3);
        for (int ch = 0; ch < 4; ++ch) {
            const auto s = static_cast<std::size_t>(sel);
            const auto c = static_cast<std::size_t>(ch);
            grid->addWidget(
                new QLabel(QStringLiteral("%1  (logical %2)").arg(names[ch]).arg(sel * 4 + ch)),
                ch + 2, sel * 5);
            dac_codes_[s][c] = mono_label(QString());
            dac_volts_[s][c] = mono_label(QString());
            dac_stored_[s][c] = mono_label(QString());
            dac_stored_[s][c]->setToolTip(QStringLiteral("Code kept in the DAC's EEPROM"));
            grid->addWidget(dac_codes_[s][c], ch + 2, sel * 5 + 1, Qt::AlignRight);
            grid->addWidget(dac_volts_[s][c], ch + 2, sel * 5 + 2, Qt::AlignRight);
            grid->addWidget(dac_stored_[s][c], ch + 2, sel * 5 + 3, Qt::AlignRight);
        }
    }
    grid->setColumnMinimumWidth(4, fontMetrics().averageCharWidth() * 4);
    grid->setColumnStretch(9, 1);
    return box;
}

QWidget* SimUnitWindow::buildFpgaGroup() {
    auto* box = new QGroupBox(QStringLiteral("FPGA memories (first 256 bits)"));
    auto* grid = new QGridLayout(box);
    pattern_summary_ = new QLabel;
    pattern_bits_ = bits_view();
    mask_summary_ = new QLabel;
    mask_bits_ = bits_view();
    grid->addWidget(new QLabel(QStringLiteral("<b>Custom pattern</b>")), 0, 0);
    grid->addWidget(pattern_summary_, 0, 1);
    grid->addWidget(pattern_bits_, 1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("<b>Error mask</b>")), 2, 0);
    grid->addWidget(mask_summary_, 2, 1);
    grid->addWidget(mask_bits_, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* SimUnitWindow::buildUserAreaGroup() {
    auto* box = new QGroupBox(QStringLiteral("USB chip EEPROM: user area"));
    auto* grid = new QGridLayout(box);
    user_area_summary_ = new QLabel;
    user_area_bytes_ = mono_label(QString());
    user_area_bytes_->setToolTip(
        QStringLiteral("The program's EEPROM > Write stores its panel record in bytes 00 to 1D"));
    grid->addWidget(user_area_summary_, 0, 0);
    grid->addWidget(user_area_bytes_, 1, 0);
    grid->setColumnStretch(1, 1);
    return box;
}

void SimUnitWindow::refresh() {
    const bool attached = board_.attached();
    attached_led_->setOn(attached);
    attached_text_->setText(attached ? QStringLiteral("plugged in") : QStringLiteral("unplugged"));
    plug_button_->setText(attached ? QStringLiteral("Unplug") : QStringLiteral("Plug in"));
    primary_->setEnabled(!attached);
    alternate_->setEnabled(!attached);
    serial_edit_->setEnabled(!attached);

    for (std::size_t row = 0; row < kChips.size(); ++row) {
        const unsigned pins = board_.expander(kChips[row]).pins();
        for (int pin = 0; pin < kPins; ++pin)
            pin_leds_[row][static_cast<std::size_t>(pin)]->setOn(((pins >> pin) & 1U) != 0);
        pin_values_[row]->setText(QStringLiteral("0x%1").arg(pins, 3, 16, QLatin1Char('0')));
    }

    for (int sel = 0; sel < 2; ++sel) {
        const auto& dac = board_.dac(sel);
        for (int ch = 0; ch < 4; ++ch) {
            const auto& channel = dac.channels[static_cast<std::size_t>(ch)];
            const auto s = static_cast<std::size_t>(sel);
            const auto c = static_cast<std::size_t>(ch);
            dac_codes_[s][c]->setText(QString::number(channel.code).rightJustified(4));
            dac_volts_[s][c]->setText(channel_volts(channel));
            dac_stored_[s][c]->setText(QString::number(channel.eeprom_code).rightJustified(4));
        }
    }

    const auto& fpga = board_.fpga();
    pattern_summary_->setText(QStringLiteral("%1 bits loaded").arg(fpga.pattern_bits.size()));
    set_text_if_changed(pattern_bits_, format_bits(fpga.pattern_bits));
    mask_summary_->setText(QStringLiteral("%1 bits, period %2, width %3")
                               .arg(fpga.error_mask_bits.size())
                               .arg(fpga.error_period)
                               .arg(fpga.error_width));
    set_text_if_changed(mask_bits_, format_bits(fpga.error_mask_bits));

    // The bytes the driver reaches: the area's size depends on the chip's USB strings.
    const auto& area = board_.user_area();
    const std::size_t size = std::min(board_.user_area_size(), area.size());
    user_area_summary_->setText(QStringLiteral("%1 bytes").arg(size));
    const QString bytes = format_bytes(std::span(area.data(), size));
    if (user_area_bytes_->text() != bytes) user_area_bytes_->setText(bytes);
}

QString SimUnitWindow::expanderText(int chip) const {
    for (std::size_t row = 0; row < kChips.size(); ++row)
        if (kChips[row] == chip) return pin_values_[row]->text();
    return {};
}

QString SimUnitWindow::dacText(int selector, int channel) const {
    if (selector < 0 || selector > 1 || channel < 0 || channel > 3) return {};
    return dac_codes_[static_cast<std::size_t>(selector)][static_cast<std::size_t>(channel)]
        ->text()
        .trimmed();
}

QString SimUnitWindow::userAreaText() const {
    return user_area_bytes_->text();
}

void SimUnitWindow::togglePlug() {
    if (board_.attached())
        board_.detach();
    else
        board_.attach();
    refresh();
}

void SimUnitWindow::applyDescription() {
    if (board_.attached()) return;
    board_.description = primary_->isChecked() ? kPrimary : kAlternate;
}

void SimUnitWindow::applySerial() {
    if (board_.attached()) return;
    board_.serial = serial_edit_->text().trimmed().toStdString();
}

}  // namespace korvel::qtview
