#include "soak/soak_log.h"

#include <cstdio>

namespace korvel::soak {

void SoakLog::add(double time, std::string line) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%10.3f s  ", time);
    lines_.push_back(stamp + std::move(line));
    if (lines_.size() > keep_) lines_.pop_front();
    ++total_;
}

std::string SoakLog::tail() const {
    std::string text;
    for (const auto& l : lines_) text += l + "\n";
    return text;
}

}  // namespace korvel::soak
