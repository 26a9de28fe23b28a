// The unit's files: the state file, held while the board is open and saved when it changed, and
// the pin trace.
#include <cstdio>

#include <nlohmann/json.hpp>

#include "state_file.h"
#include "state_startup.h"
#include "usb_impl.h"

namespace korvel::sim {

namespace {
constexpr int kTakeAttempts = 4;
}

std::string Usb::Impl::board_text() {
    return board_to_json(board).dump(2) + "\n";
}

bool Usb::Impl::load_text(const std::string& text, const std::string& path, std::string* error) {
    nlohmann::json doc;
    if (!parse_state_text(text, doc)) {
        if (error) *error = path + " is not valid JSON";
        return false;
    }
    std::string why;
    loading = true;  // a change of `attached` read from the file is not a reason to save it
    const bool ok = board_from_json(doc, board, &why);
    loading = false;
    if (!ok && error) *error = path + ": " + why;
    return ok;
}

void Usb::Impl::note_file_error(const std::string& message) {
    std::fprintf(stderr, "korvel simulated unit: %s\n", message.c_str());
    if (file_error.empty()) file_error = message;
}

bool Usb::Impl::take_state(bool& busy) {
    busy = false;
    if (!state_refusal.empty()) return false;
    if (state_path.empty()) return true;
    for (int attempt = 0; attempt < kTakeAttempts; ++attempt) {
        std::string error;
        switch (state_lock.lock(state_path, &error)) {
            case StateLock::Outcome::Busy:
                busy = true;
                return false;
            case StateLock::Outcome::Failed:
                note_file_error("cannot use the state file: " + error);
                return false;
            case StateLock::Outcome::Missing: {
                // A fresh unit. Its file is made already held, so no other program takes it
                // meanwhile or sees it half written.
                bool existed = false;
                const std::string text = board_text();
                if (state_lock.replace(state_path, text, true, &existed, &error)) {
                    synced_file = state_lock.identity();
                    synced_text = text;
                    return true;
                }
                if (existed) continue;  // another program made it first: take that one
                note_file_error("state not saved: " + error);
                return false;
            }
            case StateLock::Outcome::Locked: {
                if (synced_file && *synced_file == state_lock.identity()) return true;
                // Another program saved the unit since this one read it: that is the unit now.
                std::string text;
                if (state_lock.read(state_path, kMaxStateFileBytes, text, &error) &&
                    load_text(text, state_path, &error)) {
                    synced_file = state_lock.identity();
                    synced_text = board_text();
                    return true;
                }
                state_lock.release();
                if (!set_aside_bad_state(state_path, error, "the unit keeps its present state",
                                         stderr))
                    return false;
                synced_file.reset();
                continue;
            }
        }
    }
    note_file_error("cannot use the state file " + state_path + ": it keeps changing");
    return false;
}

bool Usb::Impl::save(std::string* error, bool only_if_changed) {
    if (state_path.empty() || !state_refusal.empty()) {
        if (error) *error = state_path.empty() ? "no state file is set" : state_refusal;
        return false;
    }
    const std::string text = board_text();
    if (only_if_changed && text == synced_text) return true;
    const bool held = state_lock.held();
    bool create_only = false;
    if (!held) {
        switch (state_lock.lock(state_path, error)) {
            case StateLock::Outcome::Busy:
                if (error) *error = "the unit is in use by another program";
                return false;
            case StateLock::Outcome::Failed:
                return false;
            case StateLock::Outcome::Missing:
                create_only = true;
                break;
            case StateLock::Outcome::Locked:
                if (!synced_file || !(*synced_file == state_lock.identity())) {
                    state_lock.release();
                    if (error)
                        *error = "another program changed " + state_path +
                                 " since this one read it; it is left as it is";
                    return false;
                }
                break;
        }
    }
    bool existed = false;
    const bool ok = state_lock.replace(state_path, text, create_only, &existed, error);
    if (ok) {
        synced_file = state_lock.identity();
        synced_text = text;
    } else if (existed && error) {
        *error = "another program made " + state_path + " meanwhile; it is left as it is";
    }
    if (!held) state_lock.release();
    return ok;
}

void Usb::Impl::save_quietly() {
    if (state_path.empty() || !state_refusal.empty()) return;
    std::string error;
    if (!save(&error, true)) note_file_error("state not saved: " + error);
}

void Usb::Impl::release_state() {
    save_quietly();
    state_lock.release();
}

bool Usb::Impl::board_held_elsewhere() const {
    return !state_path.empty() && state_refusal.empty() && !state_lock.held() &&
           StateLock::held_elsewhere(state_path);
}

bool Usb::load_state(const std::string& path, std::string* error) {
    std::string text, why;
    FileIdentity identity;
    if (!read_file(path, kMaxStateFileBytes, text, &why, &identity) ||
        !impl_->load_text(text, path, &why)) {
        if (error) *error = why;
        return false;
    }
    impl_->state_path = path;
    impl_->state_refusal.clear();
    impl_->synced_file = identity;
    impl_->synced_text = impl_->board_text();
    return true;
}

bool Usb::save_state(std::string* error) const {
    return impl_->save(error, false);
}

void Usb::set_state_path(std::string path) {
    impl_->state_path = std::move(path);
    impl_->state_refusal.clear();
    // Taken as the file's content: it is written once the board is opened or changed.
    impl_->synced_file.reset();
    impl_->synced_text = impl_->board_text();
}

void Usb::refuse_state_file(std::string reason) {
    impl_->state_lock.release();
    impl_->state_refusal = std::move(reason);
}

bool Usb::open_trace(const std::string& path) {
    Impl& impl = *impl_;
    close_trace();
    impl.trace_path = path;
    if (!impl.trace.open(path, impl.now_us, impl.board.pins())) {
        impl.note_file_error("cannot write the trace " + path + ": " + impl.trace.error());
        return false;
    }
    impl.board.set_pin_listener(
        [&impl](std::uint8_t levels) { impl.trace.change(impl.now_us, levels); });
    return true;
}

bool Usb::close_trace() {
    Impl& impl = *impl_;
    impl.board.set_pin_listener(nullptr);
    if (!impl.trace.is_open()) return true;
    if (impl.trace.close(impl.now_us)) return true;
    impl.note_file_error("cannot write the trace " + impl.trace_path + ": " + impl.trace.error());
    return false;
}

bool Usb::finish_files(std::string* error) {
    close_trace();
    if (!impl_->state_lock.held()) impl_->save_quietly();
    if (impl_->file_error.empty()) return true;
    if (error) *error = impl_->file_error;
    impl_->file_error.clear();
    return false;
}

}  // namespace korvel::sim
