#include "scpi/scpi_error.h"

namespace korvel::scpi {

std::string_view error_text(int code) {
    switch (code) {
        case kNoError:
            return "No error";
        case kCommandError:
            return "Command error";
        case kInvalidCharacter:
            return "Invalid character";
        case kSyntaxError:
            return "Syntax error";
        case kDataTypeError:
            return "Data type error";
        case kParameterNotAllowed:
            return "Parameter not allowed";
        case kMissingParameter:
            return "Missing parameter";
        case kUndefinedHeader:
            return "Undefined header";
        case kInvalidSuffix:
            return "Invalid suffix";
        case kExecutionError:
            return "Execution error";
        case kSettingsConflict:
            return "Settings conflict";
        case kDataOutOfRange:
            return "Data out of range";
        case kIllegalParameterValue:
            return "Illegal parameter value";
        case kHardwareMissing:
            return "Hardware missing";
        case kMassStorageError:
            return "Mass storage error";
        case kFileNameNotFound:
            return "File name not found";
        case kFileNameError:
            return "File name error";
        case kSelfTestFailed:
            return "Self-test failed";
        case kDeviceMessage:
            return "Device-specific error";
        case kQueueOverflow:
            return "Queue overflow";
        case kQueryInterrupted:
            return "Query INTERRUPTED";
        default:
            return "Error";
    }
}

std::string error_reply(const Error& error) {
    std::string text(error_text(error.code));
    if (error.code > 0 && !error.detail.empty())
        text = error.detail;
    else if (!error.detail.empty())
        text += ";" + error.detail;
    std::string reply = (error.code > 0 ? "+" : "") + std::to_string(error.code) + ",\"";
    for (char c : text) {
        if (c == '"') reply += '"';
        // A box's text may run over several lines; the reply must stay one.
        const auto u = static_cast<unsigned char>(c);
        reply += u < 0x20 || u == 0x7F ? ' ' : c;
    }
    return reply + "\"";
}

}  // namespace korvel::scpi
