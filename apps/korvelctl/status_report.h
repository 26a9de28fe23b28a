// `korvelctl status` output: the unit's settings in words, or as JSON.
#pragma once

#include <string>

#include "api/unit_status.h"

namespace korvelctl {

std::string status_text(const korvel::api::UnitReadback& readback);
std::string status_json(const korvel::api::UnitReadback& readback);

}  // namespace korvelctl
