// The program's operations through real libftdi1 + libusb on the emulated FT232R must leave the
// simulated unit exactly as the same operations through the simulated backend do. Each case also
// prints the USB requests and round trips the operation cost.
#include <ftdi.h>
#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

#include "emulated_unit.h"
#include "fpga/fpga_load.h"
#include "ftdi/eeprom/ft232r_eeprom.h"
#include "ftdi/ftd2xx.h"
#include "korvel.h"

namespace korvel::testing {
namespace {

// Everything of the unit an operation may change, as text (a difference shows where).
std::string unit_state(sim::Board& b) {
    std::ostringstream o;
    o << std::hex << "pins " << int(b.direction()) << '/' << int(b.latch()) << '\n';
    for (int chip : {2, 3, 7}) {
        const sim::Ds4520& e = b.expander(chip);
        o << "ds4520 " << chip << ": " << e.pullup << ' ' << e.control << ' ' << int(e.config)
          << ' ' << e.eeprom_pullup << ' ' << e.eeprom_control << '\n';
    }
    for (int dac : {0, 1})
        for (const auto& ch : b.dac(dac).channels)
            o << "mcp4728 " << dac << ": " << ch.code << ' ' << int(ch.vref) << int(ch.gain)
              << int(ch.power_down) << ' ' << ch.eeprom_code << '\n';
    const sim::FpgaMemories& f = b.fpga();
    o << "pattern " << f.pattern_bits.size() << ' ' << std::hash<std::string>()(f.pattern_bits)
      << "\nerror " << f.error_mask_bits << ' ' << f.error_period << ' ' << f.error_width
      << "\nuser area";
    for (std::size_t i = 0; i < b.user_area_size(); ++i) o << ' ' << int(b.user_area()[i]);
    o << "\ni2c";
    for (const auto& e : b.bus_log())
        o << ' ' << int(e.kind) << ':' << int(e.value) << (e.acked ? "a" : "");
    return o.str();
}

void write_and_read_record() {
    std::vector<UCHAR> record(30), back(30);
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<UCHAR>(0x30 + i);
    ASSERT_EQ(FT_EE_UAWrite(usb_handle, record.data(), 30), FT_OK);
    DWORD read = 0;
    ASSERT_EQ(FT_EE_UARead(usb_handle, back.data(), 30, &read), FT_OK);
    EXPECT_EQ(back, record);
}

struct Operation {
    const char* name;
    void (*run)();
};

const Operation kOperations[] = {
    {"Reconnect",
     [] {
         usb_close();
         EXPECT_EQ(usb_init(), 1);
     }},
    {"DividerRatioDs4520Write", [] { set_divide_ratio(37); }},
    {"SlideEventVolatileDacWrite", [] { set_amplitude(2.2f); }},
    {"PatternSelect", [] { prbs_select(KORVEL_PRBS15); }},
    {"PatternLoad4096Words", [] { bit_load_FPGA(0, kPatternWords); }},
    {"EepromRecordWriteAndRead", write_and_read_record},
};

void PrintTo(const Operation& value, std::ostream* out) {
    *out << value.name;
}

class EndToEnd : public EmulatedUsbTest, public ::testing::WithParamInterface<Operation> {};

TEST_P(EndToEnd, LeavesTheUnitAsTheSimulatedBackendDoes) {
    fill_pattern_buffer();
    use_simulated_backend();
    ASSERT_EQ(usb_init(), 1);
    GetParam().run();
    const std::string expected = unit_state(sim::usb().board());

    use_emulated_unit();
    ASSERT_EQ(usb_init(), 1);
    usb().reset_counts();
    GetParam().run();
    const auto counts = usb().counts();
    EXPECT_FALSE(usb_link_lost());
    usb_close();  // the emulator's handler may still be closing the device: read under its lock
    EXPECT_EQ(usb().with_unit([](sim::Usb& u) { return unit_state(u.board()); }), expected);
    std::printf("usb: %s: %llu requests, %llu round trips\n", GetParam().name,
                static_cast<unsigned long long>(counts.requests),
                static_cast<unsigned long long>(counts.round_trips));
}

INSTANTIATE_TEST_SUITE_P(Operations, EndToEnd, ::testing::ValuesIn(kOperations),
                         [](const auto& info) { return std::string(info.param.name); });

using EmulatedUnit = EmulatedUsbTest;

// libftdi keeps `bitbang_enabled` across ftdi_usb_close and then programs the divisor for four
// times the rate. We make a fresh libftdi context at every open (and pass libftdi a quarter of
// the rate whenever its context says bit-bang), so the chip gets the divisor 3.25 for 921600
// before bit-bang mode, in it, and after a reopen.
TEST_F(EmulatedUnit, TheBaudRateDivisorIsTheSameBeforeAndAfterBitBangAndAfterAReopen) {
    ASSERT_EQ(usb_init(), 1);               // sets 921600, then bit-bang mode
    const std::uint32_t expected = 923077;  // 3 MHz / 3.25, rounded
    EXPECT_EQ(usb().baud_rate("1042"), expected);
    ASSERT_EQ(FT_SetBaudRate(usb_handle, 921600), FT_OK);  // in bit-bang mode
    EXPECT_EQ(usb().baud_rate("1042"), expected);
    usb_close();
    ASSERT_EQ(usb_init(), 1);
    EXPECT_EQ(usb().baud_rate("1042"), expected);
}

TEST_F(EmulatedUnit, TheRecordLiesWhereAn121PutsTheUserAreaInTheWholeImage) {
    ASSERT_EQ(usb_init(), 1);
    write_and_read_record();
    const auto image = usb().eeprom("1042");
    EXPECT_TRUE(ftdi::ft232r::checksum_valid(image));
    for (std::size_t i = 0; i < 30; ++i)
        ASSERT_EQ(image[0x44 + i], 0x30 + i) << "byte " << i;  // after the serial's descriptor
}

// Synchronous bit-bang: the chip samples the pins before each byte it applies, and libftdi
// takes the samples out of 64-byte packets that each start with two modem-status bytes.
TEST_F(EmulatedUnit, SynchronousBitBangSamplesComeBackThroughLibftdisBulkReads) {
    ftdi_context* f = ftdi_new();
    ASSERT_EQ(ftdi_usb_open(f, 0x0403, 0x6001), 0);
    ASSERT_EQ(ftdi_set_bitmode(f, 0x80, BITMODE_SYNCBB), 0);  // D7 alone an output
    std::vector<unsigned char> out(150), in(150);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = i % 3 == 0 ? 0x80 : 0x00;
    ASSERT_EQ(ftdi_write_data(f, out.data(), 150), 150);
    int got = 0;
    for (int tries = 0; got < 150 && tries < 10; ++tries)
        got += std::max(0, ftdi_read_data(f, in.data() + got, 150 - got));
    ASSERT_EQ(got, 150);
    for (std::size_t i = 1; i < in.size(); ++i)  // D7 as the byte before set it, idle lines
        ASSERT_EQ(in[i], (out[i - 1] | (sim::kIdlePinLevels & 0x7F))) << "sample " << i;
    ftdi_usb_close(f);
    ftdi_free(f);
}

TEST_F(EmulatedUnit, AnUnplugInAPatternLoadLosesTheLinkAndTheNextOpenFinishesTheLoad) {
    fill_pattern_buffer();
    ASSERT_EQ(usb_init(), 1);
    usb().unplug_at_request(20);  // a few writes into the load
    bit_load_FPGA(0, kPatternWords);
    EXPECT_TRUE(usb_link_lost());
    EXPECT_EQ(usb_aliveQ(), 0);

    usb().plug_in();
    close();
    ASSERT_EQ(usb_init(), 1);
    bit_load_FPGA(0, kPatternWords);
    EXPECT_FALSE(usb_link_lost());
    usb_close();
    const auto bits =
        usb().with_unit([](sim::Usb& u) { return u.board().fpga().pattern_bits.size(); });
    EXPECT_EQ(bits, std::size_t{kPatternWords} * kWordBits);
}

TEST_F(EmulatedUnit, AHungChipIsGivenUpAtItsFirstRequestWithinOneTimeout) {
    use_emulated_unit(100);
    ASSERT_EQ(usb_init(), 1);
    usb().hang_at_request(1);
    const auto start = std::chrono::steady_clock::now();
    set_divide_ratio(12);
    set_amplitude(2.0f);
    EXPECT_TRUE(usb_link_lost());
    EXPECT_LT(seconds_since(start), 1.0);
    const auto sent = usb().counts().requests;
    prbs_select(KORVEL_PRBS9);
    EXPECT_EQ(usb().counts().requests, sent) << "nothing more may be sent to a lost unit";
}

TEST_F(EmulatedUnit, TheAlternateDescriptionIsFoundAndOpened) {
    usb().unplug();
    usb().with_unit([](sim::Usb& u) { u.board().description = kAlternateDescription; });
    usb().plug_in();
    ASSERT_EQ(usb_init(), 1);
    set_divide_ratio(1);
    EXPECT_FALSE(usb_link_lost());
}

TEST_F(EmulatedUnit, WithoutTheUnitTheFirstFtdiDeviceIsOpenedAndItsSerialDriverGivenBack) {
    usb().add_foreign_device("USB Serial", "A100");
    usb().unplug();
    EXPECT_EQ(usb().kernel_driver("A100"), "ftdi_sio");
    ASSERT_EQ(usb_init(), 1);
    EXPECT_EQ(usb().kernel_driver("A100"), "usbfs");
    usb_close();
    EXPECT_EQ(usb().kernel_driver("A100"), "ftdi_sio");
}

}  // namespace
}  // namespace korvel::testing
