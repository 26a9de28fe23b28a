// The unit's files: loading and saving the state, and the pin trace.
#include <cstdio>

#include <nlohmann/json.hpp>

#include "state_file.h"
#include "usb_impl.h"

namespace korvel::sim {

bool Usb::Impl::save(std::string* error) {
    if (state_path.empty()) {
        if (error) *error = "no state file is set";
        return false;
    }
    return write_file_atomically(state_path, board_to_json(board).dump(2) + "\n", error);
}

void Usb::Impl::save_quietly() {
    if (state_path.empty()) return;
    std::string error;
    if (!save(&error))
        std::fprintf(stderr, "korvel simulated unit: state not saved: %s\n", error.c_str());
}

bool Usb::load_state(const std::string& path, std::string* error) {
    std::string text, why;
    if (!read_file(path, text, &why)) {
        if (error) *error = why;
        return false;
    }
    nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
    if (doc.is_discarded()) {
        if (error) *error = path + " is not valid JSON";
        return false;
    }
    impl_->loading = true;
    const bool ok = board_from_json(doc, impl_->board, &why);
    impl_->loading = false;
    if (!ok) {
        if (error) *error = path + ": " + why;
        return false;
    }
    impl_->state_path = path;
    return true;
}

bool Usb::save_state(std::string* error) const {
    return impl_->save(error);
}

void Usb::set_state_path(std::string path) {
    impl_->state_path = std::move(path);
}

bool Usb::open_trace(const std::string& path) {
    Impl& impl = *impl_;
    impl.board.set_pin_listener(nullptr);
    if (!impl.trace.open(path, impl.now_us, impl.board.pins())) return false;
    impl.board.set_pin_listener(
        [&impl](std::uint8_t levels) { impl.trace.change(impl.now_us, levels); });
    return true;
}

void Usb::close_trace() {
    impl_->board.set_pin_listener(nullptr);
    impl_->trace.close(impl_->now_us);
}

}  // namespace korvel::sim
