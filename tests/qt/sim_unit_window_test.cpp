// The Simulated Unit window: plugging the unit in and out, its identity, and the live picture of
// its chips.
#include <gtest/gtest.h>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "korvel/sim/unit.h"
#include "sim_unit_window.h"

using korvel::qtview::SimUnitWindow;

TEST(SimUnitWindow, PlugButtonUnplugsAndPlugsTheBoard) {
    korvel::sim::Board board;
    SimUnitWindow w(board);
    w.show();
    ASSERT_TRUE(board.attached());
    EXPECT_EQ(w.plugButton()->text(), "Unplug");
    QTest::mouseClick(w.plugButton(), Qt::LeftButton);
    EXPECT_FALSE(board.attached());
    EXPECT_EQ(w.plugButton()->text(), "Plug in");
    QTest::mouseClick(w.plugButton(), Qt::LeftButton);
    EXPECT_TRUE(board.attached());
}

TEST(SimUnitWindow, IdentityChangesOnlyWhileUnplugged) {
    korvel::sim::Board board;
    SimUnitWindow w(board);
    w.show();
    EXPECT_FALSE(w.alternateButton()->isEnabled());
    board.detach();
    w.refresh();
    ASSERT_TRUE(w.alternateButton()->isEnabled());
    QTest::mouseClick(w.alternateButton(), Qt::LeftButton);
    EXPECT_EQ(board.description, "ZEVA~KORVEL");
    w.serialEdit()->setText("0077");
    emit w.serialEdit()->editingFinished();
    EXPECT_EQ(board.serial, "0077");
    QTest::mouseClick(w.primaryButton(), Qt::LeftButton);
    EXPECT_EQ(board.description, "ZEVA_KORVEL");
}

TEST(SimUnitWindow, ShowsExpanderPinsAndDacCodes) {
    korvel::sim::Board board;
    SimUnitWindow w(board);
    w.show();
    board.expander(7).pullup = 0x1FF;
    board.expander(7).control = 0x1F4;  // pins 0, 1 and 3 pulled low
    board.dac(1).channels[2].code = 2048;
    w.refresh();
    EXPECT_EQ(w.expanderText(7), QString("0x%1").arg(board.expander(7).pins(), 3, 16, QChar('0')));
    EXPECT_EQ(w.dacText(1, 2), "2048");
    EXPECT_EQ(w.dacText(2, 0), "");  // out of range asks get nothing
    EXPECT_EQ(w.expanderText(5), "");
}

TEST(SimUnitWindow, ShowsTheEepromUserAreaInHex) {
    korvel::sim::Board board;
    SimUnitWindow w(board);
    auto& area = board.user_area();
    std::fill(area.begin(), area.end(), 0xFF);
    area[0] = 0x04;
    area[17] = 0xA5;
    w.refresh();
    const QStringList rows = w.userAreaText().split(QLatin1Char('\n'));
    ASSERT_EQ(rows.size(), static_cast<int>((board.user_area_size() + 15) / 16));
    EXPECT_TRUE(rows[0].startsWith("00: 04 FF FF")) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].startsWith("10: FF A5 FF")) << rows[1].toStdString();
    EXPECT_EQ(rows[0].size(), 3 + 16 * 3);
}
