// The unit's state as a JSON document. The document describes the unit as it is (a program
// restart keeps everything); how it reaches its file is in file_io.h and state_lock.h.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "korvel/sim/unit.h"

namespace korvel::sim {

nlohmann::json board_to_json(Board& board);
// Checks the whole document first and changes nothing when any value is wrong; keys that are
// missing keep the board's present value.
bool board_from_json(const nlohmann::json& doc, Board& board, std::string* error);

// One JSON document and nothing after it; false when the text is anything else.
bool parse_state_text(const std::string& text, nlohmann::json& doc);

}  // namespace korvel::sim
