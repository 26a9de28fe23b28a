// SCPI error numbers as instruments report them through SYSTem:ERRor?, with their standard texts.
#pragma once

#include <string>
#include <string_view>

namespace korvel::scpi {

inline constexpr int kNoError = 0;
inline constexpr int kCommandError = -100;
inline constexpr int kInvalidCharacter = -101;
inline constexpr int kSyntaxError = -102;
inline constexpr int kDataTypeError = -104;
inline constexpr int kParameterNotAllowed = -108;
inline constexpr int kMissingParameter = -109;
inline constexpr int kUndefinedHeader = -113;
inline constexpr int kInvalidSuffix = -131;
inline constexpr int kExecutionError = -200;
inline constexpr int kSettingsConflict = -221;
inline constexpr int kDataOutOfRange = -222;
inline constexpr int kIllegalParameterValue = -224;
inline constexpr int kHardwareMissing = -241;
inline constexpr int kMassStorageError = -250;
inline constexpr int kFileNameNotFound = -256;
inline constexpr int kFileNameError = -257;
inline constexpr int kSelfTestFailed = -330;
inline constexpr int kQueueOverflow = -350;
inline constexpr int kQueryInterrupted = -410;
// The device-specific error of a message the program would have shown in a box: its detail is
// the box's title and text, and it is told without a standard text.
inline constexpr int kDeviceMessage = 100;

// The standard text of an error number ("Data out of range"); "Error" for numbers not listed.
std::string_view error_text(int code);

// One error as the queue holds it: the number and an optional detail that names what went wrong
// ("SOURce:AMPLitude takes 0 to 600").
struct Error {
    int code = kNoError;
    std::string detail;
};

// The reply to SYSTem:ERRor?: -222,"Data out of range;detail"; a device-specific error as
// +100,"detail". Double quotes inside the detail are doubled, as SCPI strings require.
std::string error_reply(const Error& error);

}  // namespace korvel::scpi
