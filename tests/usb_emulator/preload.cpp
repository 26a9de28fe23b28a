#include "preload.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace korvel::usbemu {

std::optional<std::string> umockdev_preload() {
    std::error_code error;
    if (std::filesystem::exists(KORVEL_UMOCKDEV_PRELOAD, error)) return KORVEL_UMOCKDEV_PRELOAD;
    return std::nullopt;
}

bool preload_active() {
    const char* preload = std::getenv("LD_PRELOAD");
    return preload != nullptr &&
           std::string(preload).find("libumockdev-preload") != std::string::npos;
}

void put_preload_in_environment(const std::string& preload) {
    const char* old = std::getenv("LD_PRELOAD");
    std::string value = preload;
    if (old != nullptr && *old != '\0') value += std::string(":") + old;
    setenv("LD_PRELOAD", value.c_str(), 1);
    const char* asan = std::getenv("ASAN_OPTIONS");
    std::string options = asan != nullptr ? asan : "";
    if (options.find("verify_asan_link_order") == std::string::npos) {
        if (!options.empty()) options += ':';
        options += "verify_asan_link_order=0";
        setenv("ASAN_OPTIONS", options.c_str(), 1);
    }
}

void reexec_with_preload(char** argv) {
    if (preload_active()) return;
    const auto preload = umockdev_preload();
    if (!preload) return;
    put_preload_in_environment(*preload);
    execv("/proc/self/exe", argv);
}

}  // namespace korvel::usbemu
