// The FT232R EEPROM arithmetic on hand-built images laid out as FTDI's tools and libftdi write
// them: header, string descriptors from 0x18 (pointers stored with bit 7 set), the 02 03 trailer
// after the serial number, free bytes, checksum word.
#include "ftdi/ft232r_eeprom.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ft = korvel::ftdi::ft232r;

namespace {

// Appends a USB string descriptor at `at` and stores its pointer pair at header byte `pointer`.
std::size_t place_string(ft::Image& image, std::size_t at, std::size_t pointer,
                         const std::string& text) {
    const std::size_t length = 2 + 2 * text.size();
    image[pointer] = static_cast<std::uint8_t>(at | 0x80);
    image[pointer + 1] = static_cast<std::uint8_t>(length);
    image[at] = static_cast<std::uint8_t>(length);
    image[at + 1] = 0x03;
    for (std::size_t i = 0; i < text.size(); ++i) {
        image[at + 2 + 2 * i] = static_cast<std::uint8_t>(text[i]);
        image[at + 3 + 2 * i] = 0x00;
    }
    return at + length;
}

// An FT232R EEPROM as programmed by FT_PROG: bus powered 90 mA, serial number enabled.
ft::Image programmed_image(const std::string& manufacturer, const std::string& product,
                           const std::string& serial) {
    ft::Image image{};
    const std::vector<std::uint8_t> header = {0x00, 0x40, 0x03, 0x04, 0x01, 0x60, 0x00,
                                              0x06, 0xA0, 0x2D, 0x08, 0x00, 0x00, 0x02};
    std::copy(header.begin(), header.end(), image.begin());
    image[0x14] = 0x23;  // CBUS0 TXLED, CBUS1 RXLED
    image[0x15] = 0x10;  // CBUS2 TXDEN, CBUS3 PWREN
    image[0x16] = 0x05;  // CBUS4 SLEEP
    std::size_t at = 0x18;
    at = place_string(image, at, 0x0E, manufacturer);
    at = place_string(image, at, 0x10, product);
    at = place_string(image, at, 0x12, serial);
    if (at + 3 <= ft::kChecksumOffset) {  // the trailer, where it fits
        image[at] = 0x02;
        image[at + 1] = 0x03;
        image[at + 2] = 0x01;
    }
    ft::store_checksum(image);
    return image;
}

ft::Image korvel_image() {
    return programmed_image("ZEVA", "ZEVA_KORVEL", "1042");
}

}  // namespace

TEST(Ft232rChecksum, MatchesFtdiAlgorithmOnKnownImages) {
    // 0xAAAA rotated left 63 times (XOR with zero words) ends as 0x5555.
    ft::Image zeros{};
    EXPECT_EQ(ft::compute_checksum(zeros), 0x5555);
    // 0xAAAA ^ 0xFFFF = 0x5555, rotated once = 0xAAAA, then 62 more rotations leave 0xAAAA.
    ft::Image first_word_ones{};
    first_word_ones[0] = 0xFF;
    first_word_ones[1] = 0xFF;
    EXPECT_EQ(ft::compute_checksum(first_word_ones), 0xAAAA);
    // The checksum word itself does not take part.
    ft::Image with_stale_checksum{};
    with_stale_checksum[126] = 0x12;
    with_stale_checksum[127] = 0x34;
    EXPECT_EQ(ft::compute_checksum(with_stale_checksum), 0x5555);
}

TEST(Ft232rChecksum, EveryWordCountsAndOrderMatters) {
    const ft::Image good = korvel_image();
    ASSERT_TRUE(ft::checksum_valid(good));
    for (std::size_t byte = 0; byte < ft::kChecksumOffset; ++byte) {
        ft::Image bad = good;
        bad[byte] ^= 0x01;
        EXPECT_FALSE(ft::checksum_valid(bad)) << "byte " << byte;
    }
    // Swapping two different words keeps a plain XOR but not FTDI's rotating sum.
    ft::Image swapped = good;
    std::swap(swapped[0x02], swapped[0x04]);
    std::swap(swapped[0x03], swapped[0x05]);
    EXPECT_FALSE(ft::checksum_valid(swapped));
}

TEST(Ft232rUserArea, StartsAfterTheStringTrailerAndEndsAtTheChecksum) {
    // ZEVA (10 bytes) + ZEVA_KORVEL (24) + 1042 (10) from 0x18 end at 0x44; trailer to 0x48.
    const auto area = ft::find_user_area(korvel_image());
    ASSERT_TRUE(area);
    EXPECT_EQ(area->offset, 0x48u);
    EXPECT_EQ(area->size, 0x7Eu - 0x48u);

    // FTDI's factory strings: 4 + 15 + 8 characters leave 38 bytes.
    const auto factory =
        ft::find_user_area(programmed_image("FTDI", "FT232R USB UART", "A9K3ZQ1B"));
    ASSERT_TRUE(factory);
    EXPECT_EQ(factory->offset, 0x58u);
    EXPECT_EQ(factory->size, 38u);
}

TEST(Ft232rUserArea, FollowsTheFurthestStringWhateverTheOrder) {
    ft::Image image{};
    std::size_t at = 0x18;
    at = place_string(image, at, 0x12, "SN");        // serial first
    at = place_string(image, at, 0x0E, "ACME");      // then manufacturer
    at = place_string(image, at, 0x10, "Widget X");  // product last, ends at 0x18+6+10+18=0x3A
    ft::store_checksum(image);
    const auto area = ft::find_user_area(image);
    ASSERT_TRUE(area);
    EXPECT_EQ(area->offset, 0x3Eu);
}

TEST(Ft232rUserArea, FullStringsLeaveNoRoom) {
    // 48 characters of strings plus their three headers reach the checksum word.
    const auto area = ft::find_user_area(
        programmed_image("MANUFACTURER-16C", "PRODUCT-DESCRIPTION-22", "SERIAL-10C"));
    ASSERT_TRUE(area);
    EXPECT_EQ(area->size, 0u);
    const std::vector<std::uint8_t> one = {0x42};
    EXPECT_FALSE(ft::write_user_area(
        programmed_image("MANUFACTURER-16C", "PRODUCT-DESCRIPTION-22", "SERIAL-10C"), one));
}

TEST(Ft232rUserArea, NoAreaInBlankCorruptOrImpossibleImages) {
    ft::Image blank;
    blank.fill(0xFF);
    EXPECT_FALSE(ft::find_user_area(blank));
    EXPECT_FALSE(ft::find_user_area(ft::Image{}));  // all zero: checksum 0 instead of 0x5555

    ft::Image bad_checksum = korvel_image();
    bad_checksum[0x7E] ^= 0xFF;
    EXPECT_FALSE(ft::find_user_area(bad_checksum));

    auto resealed = [](ft::Image image) {
        ft::store_checksum(image);
        return ft::find_user_area(image);
    };
    ft::Image into_header = korvel_image();
    into_header[0x10] = 0x80 | 0x08;  // product "inside" the header
    EXPECT_FALSE(resealed(into_header));

    ft::Image past_end = korvel_image();
    past_end[0x11] = 0x70;  // product would run over the checksum word
    EXPECT_FALSE(resealed(past_end));

    ft::Image odd_length = korvel_image();
    odd_length[0x0F] = 0x0B;
    EXPECT_FALSE(resealed(odd_length));

    ft::Image not_a_descriptor = korvel_image();
    not_a_descriptor[0x18 + 1] = 0x02;  // manufacturer's descriptor type is not "string"
    EXPECT_FALSE(resealed(not_a_descriptor));
}

TEST(Ft232rUserArea, ReadGivesTheAreaFromItsStart) {
    ft::Image image = korvel_image();
    for (std::size_t i = 0x48; i < 0x7E; ++i) image[i] = static_cast<std::uint8_t>(i);
    ft::store_checksum(image);
    const auto head = ft::read_user_area(image, 3);
    ASSERT_TRUE(head);
    EXPECT_EQ(*head, (std::vector<std::uint8_t>{0x48, 0x49, 0x4A}));
    const auto whole = ft::read_user_area(image, 0x7E - 0x48);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->back(), 0x7D);
    EXPECT_FALSE(ft::read_user_area(image, 0x7E - 0x48 + 1));
}

TEST(Ft232rUserArea, WriteChangesOnlyTheAreaAndKeepsTheChecksumValid) {
    ft::Image before = korvel_image();
    for (std::size_t i = 0x48; i < 0x7E; ++i) before[i] = 0xEE;  // someone else's bytes
    ft::store_checksum(before);
    std::vector<std::uint8_t> record(30);
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(i * 7);

    const auto after = ft::write_user_area(before, record);
    ASSERT_TRUE(after);
    EXPECT_TRUE(ft::checksum_valid(*after));
    for (std::size_t i = 0; i < ft::kChecksumOffset; ++i) {
        if (i >= 0x48 && i < 0x48 + record.size())
            EXPECT_EQ((*after)[i], record[i - 0x48]) << "byte " << i;
        else
            EXPECT_EQ((*after)[i], before[i]) << "byte " << i;
    }
    EXPECT_EQ(ft::read_user_area(*after, record.size()), record);
    // The strings and the area's location survive.
    EXPECT_EQ(ft::find_user_area(*after)->offset, 0x48u);

    // Only the area's words and the checksum word need writing: 0x48..0x65 is words 36..50.
    const auto words = ft::changed_words(before, *after);
    ASSERT_FALSE(words.empty());
    EXPECT_GE(words.front(), 36u);
    EXPECT_EQ(words.back(), 63u);
    for (std::size_t w : words) EXPECT_TRUE((w >= 36 && w <= 50) || w == 63) << "word " << w;
}

TEST(Ft232rUserArea, WritesBeyondTheAreaOrWithoutOneAreRejected) {
    const ft::Image image = korvel_image();
    const std::vector<std::uint8_t> too_long(0x7E - 0x48 + 1, 0x11);
    EXPECT_FALSE(ft::write_user_area(image, too_long));
    const std::vector<std::uint8_t> exact(0x7E - 0x48, 0x11);
    EXPECT_TRUE(ft::write_user_area(image, exact));
    ft::Image blank;
    blank.fill(0xFF);
    EXPECT_FALSE(ft::write_user_area(blank, std::vector<std::uint8_t>{1}));
    // An empty write is a no-op that still needs a valid image.
    const auto same = ft::write_user_area(image, {});
    ASSERT_TRUE(same);
    EXPECT_TRUE(ft::changed_words(image, *same).empty());
}
