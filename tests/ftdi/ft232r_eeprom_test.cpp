// The FT232R EEPROM arithmetic on images built from the chip's documented layout: header,
// string descriptors from 0x18 (pointers stored with bit 7 set), free bytes, checksum word.
#include "ftdi/eeprom/ft232r_eeprom.h"

#include <gtest/gtest.h>

#include "ft232r_images.h"

#include <string>
#include <vector>

namespace ft = korvel::ftdi::ft232r;

using korvel::testing::factory_header;
using korvel::testing::korvel_image;
using korvel::testing::place_string;
using korvel::testing::programmed_image;

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

TEST(Ft232rChecksum, FactoryImageBuiltFromTheLayoutHasTheChecksumOfAFactoryChip) {
    // A factory FT232R ("FTDI", "FT232R USB UART", serial "A600dOgq", nothing after the serial)
    // read out on the libftdi mailing list carries the checksum word 0x9410.
    const ft::Image factory = programmed_image("FTDI", "FT232R USB UART", "A600dOgq");
    EXPECT_EQ(factory[0x0E], 0x98);  // the strings' pointers as the dump has them
    EXPECT_EQ(factory[0x11], 0x20);
    EXPECT_EQ(factory[0x12], 0xC2);
    EXPECT_EQ(ft::word_at(factory, 63), 0x9410);
}

TEST(Ft232rUserArea, StartsRightAfterTheSerialWithAn121Size) {
    // Factory chip: 0x18 + 10 + 32 + 18 = 0x54; (48 - (4 + 15 + 2 + 8)) x 2 = 38 bytes, so the
    // area ends 4 bytes before the checksum.
    const auto factory =
        ft::find_user_area(programmed_image("FTDI", "FT232R USB UART", "A600dOgq"));
    ASSERT_TRUE(factory);
    EXPECT_EQ(factory->offset, 0x54u);
    EXPECT_EQ(factory->size, 38u);

    // The unit: "ZEVA" + "ZEVA_KORVEL" + "1042" end at 0x44; the decimal serial's first two
    // characters count as ManufacturerId: (48 - (4 + 11 + 2 + 4)) x 2 = 54 bytes.
    const auto unit = ft::find_user_area(korvel_image());
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->offset, 0x44u);
    EXPECT_EQ(unit->size, 54u);

    // libftdi's 4 bytes after the serial do not move the area: they lie inside it.
    const auto built_by_libftdi =
        ft::find_user_area(programmed_image("ZEVA", "ZEVA_KORVEL", "1042", true));
    ASSERT_TRUE(built_by_libftdi);
    EXPECT_EQ(built_by_libftdi->offset, 0x44u);
    EXPECT_EQ(built_by_libftdi->size, 54u);
}

TEST(Ft232rUserArea, ManufacturerIdIsAtMostTheSerialsFirstTwoCharacters) {
    EXPECT_EQ(ft::user_area_size(4, 11, 8), 46u);   // (48 - 25) x 2
    EXPECT_EQ(ft::user_area_size(4, 11, 1), 62u);   // one character: ManufacturerId has one
    EXPECT_EQ(ft::user_area_size(4, 11, 0), 66u);   // empty serial: no ManufacturerId
    EXPECT_EQ(ft::user_area_size(16, 20, 10), 0u);  // 48 words used
    EXPECT_EQ(ft::user_area_size(16, 19, 10), 2u);
    EXPECT_EQ(ft::user_area_size(40, 40, 40), 0u);  // more than fits: none, not negative

    const auto one_character = ft::find_user_area(programmed_image("ZEVA", "ZEVA_KORVEL", "7"));
    ASSERT_TRUE(one_character);
    EXPECT_EQ(one_character->offset, 0x18u + 10 + 24 + 4);
    EXPECT_EQ(one_character->size, 62u);
}

TEST(Ft232rUserArea, FullStringsLeaveNoRoom) {
    // 48 characters of strings (plus the serial's two as ManufacturerId) fill the 48 words.
    const ft::Image full =
        programmed_image("MANUFACTURER-16C", "PRODUCT-DESCRIPTN-20", "SERIAL-10C");
    const auto area = ft::find_user_area(full);
    ASSERT_TRUE(area);
    EXPECT_EQ(area->size, 0u);
    EXPECT_FALSE(ft::write_user_area(full, std::vector<std::uint8_t>{0x42}));
}

TEST(Ft232rUserArea, WithoutSerialTheAreaFollowsTheLastString) {
    ft::Image image{};
    factory_header(image);
    std::size_t at = place_string(image, 0x18, 0x0E, "ACME");
    at = place_string(image, at, 0x10, "Widget X");  // ends at 0x18 + 10 + 18 = 0x34
    ft::store_checksum(image);
    const auto area = ft::find_user_area(image);
    ASSERT_TRUE(area);
    EXPECT_EQ(area->offset, 0x34u);
    EXPECT_EQ(area->size, (48u - 12u) * 2u);
}

TEST(Ft232rUserArea, NeverReachesTheChecksumOrAString) {
    // Strings moved up by 16 bytes: AN_121's size would run 16 bytes into the checksum word.
    const auto shifted =
        ft::find_user_area(programmed_image("ZEVA", "ZEVA_KORVEL", "1042", false, 0x28));
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->offset, 0x54u);
    EXPECT_EQ(shifted->size, ft::kChecksumOffset - 0x54u);

    // Serial stored first: the other strings lie where the area would be.
    ft::Image serial_first{};
    factory_header(serial_first);
    std::size_t at = place_string(serial_first, 0x18, 0x12, "SN");
    at = place_string(serial_first, at, 0x0E, "ACME");
    place_string(serial_first, at, 0x10, "Widget X");
    ft::store_checksum(serial_first);
    EXPECT_FALSE(ft::find_user_area(serial_first));
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
    ft::Image image = korvel_image();  // area 0x44..0x79
    for (std::size_t i = 0x44; i < 0x7E; ++i) image[i] = static_cast<std::uint8_t>(i);
    ft::store_checksum(image);
    const auto head = ft::read_user_area(image, 3);
    ASSERT_TRUE(head);
    EXPECT_EQ(*head, (std::vector<std::uint8_t>{0x44, 0x45, 0x46}));
    const auto whole = ft::read_user_area(image, 54);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->back(), 0x79);
    EXPECT_FALSE(ft::read_user_area(image, 55));
}

TEST(Ft232rUserArea, WriteChangesOnlyTheAreaAndKeepsTheChecksumValid) {
    ft::Image before = korvel_image();
    for (std::size_t i = 0x44; i < 0x7E; ++i) before[i] = 0xEE;  // someone else's bytes
    ft::store_checksum(before);
    std::vector<std::uint8_t> record(30);
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(i * 7);

    const auto after = ft::write_user_area(before, record);
    ASSERT_TRUE(after);
    EXPECT_TRUE(ft::checksum_valid(*after));
    for (std::size_t i = 0; i < ft::kChecksumOffset; ++i) {
        if (i >= 0x44 && i < 0x44 + record.size())
            EXPECT_EQ((*after)[i], record[i - 0x44]) << "byte " << i;
        else
            EXPECT_EQ((*after)[i], before[i]) << "byte " << i;
    }
    EXPECT_EQ(ft::read_user_area(*after, record.size()), record);
    // The strings and the area's location survive.
    EXPECT_EQ(ft::find_user_area(*after)->offset, 0x44u);

    // Only the area's words and the checksum word need writing: 0x44..0x61 is words 34..48.
    const auto words = ft::changed_words(before, *after);
    ASSERT_FALSE(words.empty());
    EXPECT_GE(words.front(), 34u);
    EXPECT_EQ(words.back(), 63u);
    for (std::size_t w : words) EXPECT_TRUE((w >= 34 && w <= 48) || w == 63) << "word " << w;
}

TEST(Ft232rUserArea, WritesBeyondTheAreaOrWithoutOneAreRejected) {
    const ft::Image image = korvel_image();
    EXPECT_FALSE(ft::write_user_area(image, std::vector<std::uint8_t>(55, 0x11)));
    const auto exact = ft::write_user_area(image, std::vector<std::uint8_t>(54, 0x11));
    ASSERT_TRUE(exact);
    EXPECT_EQ((*exact)[0x7A], 0x00);  // past the area: untouched
    ft::Image blank;
    blank.fill(0xFF);
    EXPECT_FALSE(ft::write_user_area(blank, std::vector<std::uint8_t>{1}));
    // An empty write is a no-op that still needs a valid image.
    const auto same = ft::write_user_area(image, {});
    ASSERT_TRUE(same);
    EXPECT_TRUE(ft::changed_words(image, *same).empty());
}
