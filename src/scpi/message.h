// One line of SCPI as the parser hands it on: message units separated by ';', each a header with
// its parameters.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "scpi/scpi_error.h"

namespace korvel::scpi {

struct Parameter {
    enum class Kind { Mnemonic, Number, String };
    Kind kind = Kind::Mnemonic;
    std::string text;  // Mnemonic: upper case; String: the contents, quotes undone; Number: as sent
    double number = 0.0;  // Number only
    std::string suffix;   // Number only: the unit after it, upper case ("MV" of "300mV"), or empty
};

struct Header {
    bool common = false;             // "*IDN?": a common command (no path, no colons)
    bool rooted = false;             // began with ':' (the path starts again from the root)
    bool query = false;              // ended in '?'
    std::vector<std::string> nodes;  // upper case; a common command's name without the '*'
};

struct MessageUnit {
    Header header;
    std::vector<Parameter> parameters;
};

// A parsed line: the units read up to the first syntax fault, and that fault if there was one.
struct Message {
    std::vector<MessageUnit> units;
    std::optional<Error> error;
};

}  // namespace korvel::scpi
