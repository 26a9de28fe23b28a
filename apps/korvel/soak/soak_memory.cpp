#include "soak/soak_memory.h"

#include <fstream>
#include <string>

namespace korvel::soak {

long resident_kib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace korvel::soak
