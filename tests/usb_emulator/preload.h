// umockdev's preload library: a program sees the emulated /sys and /dev only when
// libumockdev-preload.so is loaded before everything else (LD_PRELOAD).
#pragma once

#include <optional>
#include <string>

namespace korvel::usbemu {

// The installed preload library; nullopt when umockdev is not installed.
std::optional<std::string> umockdev_preload();

// True when this process runs with the preload loaded.
bool preload_active();

// Puts the preload first in LD_PRELOAD of this process's environment (for itself after an exec,
// and for its children). Under AddressSanitizer the preload comes before the sanitizer's
// runtime, which the sanitizer would refuse: ASAN_OPTIONS gets verify_asan_link_order=0.
void put_preload_in_environment(const std::string& preload);

// Runs this program again with the preload when it is installed and not yet loaded (returns only
// when there is nothing to do or the exec failed).
void reexec_with_preload(char** argv);

}  // namespace korvel::usbemu
