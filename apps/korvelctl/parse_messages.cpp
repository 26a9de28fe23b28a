#include "parse_messages.h"

#include <algorithm>
#include <variant>

#include "settings_parser.h"

namespace korvelctl {

std::string refused_words_message(const std::vector<std::string>& args,
                                  const std::vector<std::string>& unexpected, bool command_given,
                                  bool set_given) {
    if (unexpected.empty()) return "";
    const std::string& word = unexpected.front();
    if (word.empty() || word[0] != '-') {
        if (command_given) return "";
        return "unknown command '" + word +
               "', the commands are set, list, status, load-pattern and load-mask";
    }
    // A value of set that starts with '-' reads as an option to the parser; it is a value of the
    // setting before it, and no setting takes a negative value.
    const auto at = std::find(args.begin(), args.end(), word);
    if (set_given && at != args.begin() && at != args.end()) {
        auto parsed = parse_settings({*(at - 1), word});
        if (auto* problem = std::get_if<std::string>(&parsed)) {
            if (problem->rfind("set: unknown setting", 0) != 0) return *problem;
        }
    }
    return "unknown option '" + word + "'";
}

}  // namespace korvelctl
