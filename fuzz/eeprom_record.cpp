// The unit's EEPROM record as the chip hands it over: any 30 bytes decode without undefined
// behaviour, and encoding the decoded values gives the same bytes back, except the duty cycle,
// which is kept as a float percent and may come back one hundredth low (stored truncated).
#include <array>
#include <cstdlib>
#include <cstring>

#include "app/eeprom_record.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

constexpr std::size_t kDutyOffset = 4;

int word_at(const std::array<std::uint8_t, korvel::app::EEPROM_RECORD_SIZE>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using korvel::app::EEPROM_RECORD_SIZE;
    if (size < EEPROM_RECORD_SIZE) return 0;
    std::array<std::uint8_t, EEPROM_RECORD_SIZE> read{}, written{};
    std::memcpy(read.data(), data, EEPROM_RECORD_SIZE);

    const auto values = korvel::app::decode_record(read);
    check(values.divide_ratio >= 1 && values.divide_ratio <= 256);
    korvel::app::encode_record(values, written);

    for (std::size_t i = 0; i < EEPROM_RECORD_SIZE; ++i) {
        if (i == kDutyOffset || i == kDutyOffset + 1) continue;
        check(read[i] == written[i]);
    }
    const int duty_read = word_at(read, kDutyOffset), duty_written = word_at(written, kDutyOffset);
    check(duty_written == duty_read || duty_written + 1 == duty_read);

    // The remaining bytes, as a user-area size the driver might report.
    DWORD reported = 0;
    std::memcpy(&reported, data + size - std::min(size, sizeof reported),
                std::min(size, sizeof reported));
    check(korvel::app::user_area_holds_record(reported) ==
          (reported >= EEPROM_RECORD_SIZE && reported <= 4096));
    return 0;
}
