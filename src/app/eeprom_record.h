// The unit's own copy of the front panels: a 30-byte record at the start of the user area of the
// FTDI chip's EEPROM, so that a unit carries its preferred setup from PC to PC. No header, no
// version, no checksum: each field is the value of one control. Byte fields hold the low 8 bits,
// word fields 16 bits little-endian; the amplitude is stored in whole millivolts and the duty
// cycle in hundredths of a percent, both truncated. User-area bytes from 30 up are left as found.
//
// EEPROM > Write stores the controls into the record, EEPROM > Read shows the record in the
// controls and applies the main settings to the unit. While More Features or Debug is closed, a
// write keeps the previous mirror values for that panel's fields and a read leaves its controls
// (and, for More Features, the manual divide ratio) alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "ftdi/ftd2xx.h"
#include "platform/ui_constants.h"

namespace korvel::app {

inline constexpr std::size_t EEPROM_RECORD_SIZE = 30;

// The record as values, one per field in record order.
struct EepromMirror {
    // main panel
    std::int32_t data_select;
    std::int32_t clock_output_1;
    float amplitude_mv;  // MUX_AMP
    float duty_cycle;    // DUTY_CYCLE, percent
    std::int32_t pattern_box;
    std::int32_t eye_diagram_box;
    // More Features
    std::int32_t manual_ctrl_box;
    std::int32_t divide_ratio;
    std::int32_t error_injection_on;
    std::int32_t inverted_data;
    // Debug
    std::int32_t gp_0, gp_1, gp_2, gp_3;
    std::int32_t scramble_mode;
    std::int32_t print_cal_results;
    std::int32_t gp_8, gp_9;
    std::int32_t phase_mph, phase_aph;
    std::int32_t poll_values, io_dump, dac_dump, dac_sweep;
    std::int32_t expanded_amplitude;
    std::int32_t use_freq;
    std::int32_t frequency_scanned;
};

// Which panel a field's control lives on.
enum class RecordPanel { Main, More, Debug };
// How a field is stored.
enum class FieldCoding {
    Byte,        // low 8 bits
    Word,        // low 16 bits, low byte first
    Millivolts,  // float truncated toward zero to an integer, low 16 bits
    Hundredths,  // float x 100 (double precision) truncated toward zero, low 16 bits
};
struct RecordField {
    std::size_t offset;
    FieldCoding coding;
    RecordPanel panel;
    int control;
    std::int32_t EepromMirror::*integer;  // Byte and Word fields
    float EepromMirror::*real;            // Millivolts and Hundredths fields
};
// The 27 fields in record order.
std::span<const RecordField> record_fields();

// ---- the record <-> bytes, pure ---------------------------------------------------------------

void encode_record(const EepromMirror& values, std::span<std::uint8_t, EEPROM_RECORD_SIZE> bytes);
// Bytes are read back zero-extended. A divide-ratio byte of 0 reads as 256: the ratio 256 is
// stored as its low 8 bits, and no ratio is 0.
EepromMirror decode_record(std::span<const std::uint8_t, EEPROM_RECORD_SIZE> bytes);

// A user area the record fits in: at least 30 bytes, and no more than an FTDI EEPROM can hold
// (a larger size is a driver fault, not a place to allocate for).
bool user_area_holds_record(DWORD size);

// ---- the program's copy ----------------------------------------------------------------------

extern EepromMirror eeprom_mirror;
// Status of the latest FTDI EEPROM call (0 = success), kept for inspection.
extern FT_STATUS ft_status;
// Polarity and divide ratio of the latest record read, for readUserEEPROM.
extern std::int32_t record_polarity;
extern std::int32_t record_divide_ratio;
// All of the above back to zero.
void reset_eeprom_record();

// The mirror into bytes 0..29 of `buffer` (further bytes untouched), and back (also keeping the
// polarity and divide ratio). `buffer` holds at least EEPROM_RECORD_SIZE bytes.
void convertVariables2Bytes(std::uint8_t* buffer);
void convertBytes2Variables(const std::uint8_t* buffer);

// ---- panels and unit -------------------------------------------------------------------------

// The record's controls into the mirror (GetCtrlVal) and back (SetCtrlVal, no callback runs), in
// record order, skipping the fields of a closed More Features or Debug panel.
void panels2Variables(int mainPanel, int morePanel, int debugPanel);
void variables2Panels(int mainPanel, int morePanel, int debugPanel);
// Applies the loaded record to the unit: pattern, one divide-ratio mode (eye diagram over manual
// over PRBS7), the two levels, polarity; and shows the manual mode and ratio again.
void updatePanels(int mainPanel, int morePanel);

// Read-modify-write of the whole user area with the controls encoded into bytes 0..29. Failures
// are shown ("Cannot read EEPROM!", "FT_EE_UARead FAILED!", "FT_EE_UAWrite FAILED!").
void saveUserEEPROM(int mainPanel, int morePanel, int debugPanel, FT_HANDLE handle);
// Reads the record into the controls and applies it; 1 when the record was read, else 0 (the
// failure shown, nothing changed).
int getUserEEPROM(int mainPanel, int morePanel, int debugPanel, FT_HANDLE handle);

// EEPROM > Write and EEPROM > Read. Read also takes the record's polarity and divide ratio into
// the settings set, so the next settings file carries them.
void CVICALLBACK writeUserEEPROM(int menuBar, int menuItem, void* callbackData, int panel);
void CVICALLBACK readUserEEPROM(int menuBar, int menuItem, void* callbackData, int panel);

}  // namespace korvel::app
