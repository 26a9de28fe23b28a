// The unit's state as a JSON document, and the file it lives in. The document describes the unit
// as it is (a program restart keeps everything); it is written to a temporary file beside the
// target and renamed into place, so a failure mid-write never leaves a truncated file.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "korvel/sim/unit.h"

namespace korvel::sim {

nlohmann::json board_to_json(Board& board);
// Checks the whole document first and changes nothing when any value is wrong; keys that are
// missing keep the board's present value.
bool board_from_json(const nlohmann::json& doc, Board& board, std::string* error);

bool write_file_atomically(const std::string& path, const std::string& text, std::string* error);
bool read_file(const std::string& path, std::string& text, std::string* error);

}  // namespace korvel::sim
