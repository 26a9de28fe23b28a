// The functions libkorvel has under korvel_ names only: the unit's settings read back, and the
// custom pattern and error mask loaded from text files.
#include <cstdio>

#include "api/fpga_file_loads.h"
#include "api/unit_status.h"
#include "korvel.h"

namespace {

// `text` into `buffer` of `size` bytes, cut to fit and always terminated; nothing without room.
void copy_message(const std::string& text, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return;
    std::snprintf(buffer, static_cast<std::size_t>(size), "%s", text.c_str());
}

int load_result(const korvel::api::FileLoad& load, char* message, int size) {
    copy_message(load.message, message, size);
    switch (load.outcome) {
        case korvel::api::FileLoad::Outcome::Loaded:
            return 1;
        case korvel::api::FileLoad::Outcome::Refused:
            return 0;
        case korvel::api::FileLoad::Outcome::Unavailable:
            break;
    }
    return -1;
}

}  // namespace

extern "C" {

int korvel_read_status(struct korvel_status* status) {
    if (status == nullptr) return 0;
    *status = korvel_status{};
    if (!korvel::api::unit_answers()) return 0;
    const auto readback = korvel::api::read_unit();
    // Reads from a unit that went away return what an empty bus gives, not its settings.
    if (!korvel::api::unit_answers()) return 0;
    const korvel::api::UnitStatus s = korvel::api::interpret(readback);
    status->connected = 1;
    status->pattern_code = s.pattern_code;
    if (s.pattern_name)
        copy_message(std::string(*s.pattern_name), status->pattern_name,
                     sizeof status->pattern_name);
    status->divide_ratio = s.divide_ratio;
    status->clock_output1 = s.clock_output1_on ? 1 : 0;
    status->error_injection = s.error_injection_on ? 1 : 0;
    status->duty_cycle_code = s.duty_code;
    status->duty_cycle_volts = s.duty_volts;
    status->amplitude_code = s.amplitude_code;
    status->amplitude_volts = s.amplitude_volts;
    return 1;
}

int korvel_load_pattern(const char* path, char* message, int size) {
    if (path == nullptr) return load_result({{}, "no file named"}, message, size);
    return load_result(korvel::api::load_pattern_file(path), message, size);
}

int korvel_load_mask(const char* path, char* message, int size) {
    if (path == nullptr) return load_result({{}, "no file named"}, message, size);
    return load_result(korvel::api::load_mask_file(path), message, size);
}

}  // extern "C"
