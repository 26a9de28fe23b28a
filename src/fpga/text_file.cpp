#include "fpga/text_file.h"

namespace korvel {

std::string FileProblem::describe() const {
    if (kind == Kind::TooLarge)
        return "is larger than " + std::to_string(kMostTextBytes >> 20) +
               " MiB: too large to be a pattern or mask file";
    return FileError::describe();
}

}  // namespace korvel
