// What korvelctl says about command lines its parser refuses, in the user's terms: the unknown
// command or option by name, and a setting value that looks like an option (such as "-inf") as
// the bad value it is.
#pragma once

#include <string>
#include <vector>

namespace korvelctl {

// `args` is the whole command line after the program name; `unexpected` the words the parser
// could not place, in order; `set_given` whether the set command was recognised. Empty when none
// of the cases applies (the parser's own message is used then).
std::string refused_words_message(const std::vector<std::string>& args,
                                  const std::vector<std::string>& unexpected, bool command_given,
                                  bool set_given);

}  // namespace korvelctl
