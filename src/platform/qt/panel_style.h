// The look of particular controls, beyond what their kind gives: the product name in large type,
// group headings in bold, the alert messages in red, and the status lines that only the program
// writes shown read-only.
#pragma once

#include <string_view>

namespace korvel::qtview {

enum class Emphasis {
    None,
    Title,      // the product name, large and bold
    Subtitle,   // a line under the title, bold
    Heading,    // caption of a framed group, bold
    Alert,      // a warning the program shows or hides, bold red
    Status,     // a line the program writes, read-only, bold
    Indicator,  // a field the program writes, read-only
    Note,       // explanatory text, wrapped
    Columns,    // text whose characters must line up in columns: fixed-width font
};

// How the control `control` (constant without panel prefix) of panel `panel` (e.g. "PANELMAIN")
// is emphasised. `heading_position` tells that it is a text message in the top row of a framed
// group.
Emphasis emphasis_of(std::string_view panel, std::string_view control, bool heading_position);

// Fields sized to the longest text they hold, in characters, instead of sharing the row's spare
// width; 0 for a field that takes its share. The unit's serial number has at most 16 characters,
// so the configuration name beside it gets the rest of the row.
int fitted_width_chars(std::string_view panel, std::string_view control);

// The caption of a group that has no heading of its own in the resource, or empty. A group with a
// caption (or a decoration) is drawn framed.
std::string_view group_caption(std::string_view panel, std::string_view group);

// True when a group is drawn framed although the resource gives it no decoration (it has a
// caption here, or a heading of its own).
bool group_framed(std::string_view panel, std::string_view group);

}  // namespace korvel::qtview
