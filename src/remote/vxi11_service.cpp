#include "remote/vxi11_service.h"

#include <algorithm>

#include "remote/vxi11_codec.h"
#include "scpi/scpi_error.h"

namespace korvel::remote::vxi11 {
namespace {

std::string error_only(std::int32_t error) {
    XdrWriter w;
    w.i32(error);
    return w.take();
}

bool is_instrument_name(std::string_view name) {
    return name.size() == 5 && std::equal(name.begin(), name.end(), "inst0",
                                          [](char a, char b) { return (a | 0x20) == b; });
}

}  // namespace

Service::Outcome Service::handle(int connection, std::string_view record, bool commands_ready,
                                 double now, std::string* reply) {
    const std::optional<Call> call = parse_call(record);
    if (!call) return Outcome::NoReply;
    const auto refuse = [&](Refusal why) {
        *reply = refused_reply(call->xid, why);
        return Outcome::Reply;
    };
    if (call->rpc_version != 2) return refuse(Refusal::RpcMismatch);
    if (call->program != kCoreProgram && call->program != kAbortProgram)
        return refuse(Refusal::ProgramUnavailable);
    if (call->version != kVersion) return refuse(Refusal::ProgramMismatch);
    const std::string_view args = call->arguments;
    std::string results;
    std::int32_t error = kNoError;
    const bool abort_channel = call->program == kAbortProgram;
    const std::uint32_t procedure = call->procedure;
    if (procedure == 0) {  // the null procedure: a ping
        *reply = accepted_reply(call->xid, {});
        return Outcome::Reply;
    }
    if (abort_channel != (procedure == kDeviceAbort)) return refuse(Refusal::ProcedureUnavailable);

    switch (procedure) {
        case kCreateLink: {
            bool garbage = false;
            results = create_link(connection, args, now, &garbage);
            if (garbage) return refuse(Refusal::GarbageArguments);
            break;
        }
        case kDeviceWrite: {
            const auto p = decode_write(args);
            if (!p) return refuse(Refusal::GarbageArguments);
            Link* link = use(p->link, now, &error);
            std::uint32_t taken = 0;
            if (link != nullptr) {
                if (link->message.size() + p->data.size() > kMaxMessage) {
                    link->message.clear();
                    link->session->line_discarded();
                    error = kParameterError;
                } else {
                    if ((p->flags & kFlagEnd) != 0 && !commands_ready) return Outcome::Wait;
                    link->message.append(p->data);
                    taken = static_cast<std::uint32_t>(p->data.size());
                    if ((p->flags & kFlagEnd) != 0) run_message(*link);
                }
            }
            XdrWriter w;
            w.i32(error);
            w.u32(taken);
            results = w.take();
            break;
        }
        case kDeviceRead: {
            const auto p = decode_read(args);
            if (!p) return refuse(Refusal::GarbageArguments);
            Link* link = use(p->link, now, &error);
            std::int32_t reason = 0;
            std::string_view data;
            if (link != nullptr && link->output.empty()) {
                error = kIoTimeout;
            } else if (link != nullptr) {
                const std::size_t wanted = std::min(p->request_size, kMaxReadChunk);
                std::size_t n = std::min(wanted, link->output.size());
                if ((p->flags & kFlagTermChar) != 0) {
                    const std::size_t at = link->output.find(p->term_char);
                    if (at < n) {
                        n = at + 1;
                        reason |= kReasonTermChar;
                    }
                }
                if (n == link->output.size()) reason |= kReasonEnd;
                if (reason == 0) reason = kReasonRequestCount;
                data = std::string_view(link->output).substr(0, n);
            }
            XdrWriter w;
            w.i32(error);
            w.i32(reason);
            w.opaque(data);
            results = w.take();
            if (!data.empty()) link->output.erase(0, data.size());
            break;
        }
        case kDeviceReadStb: {
            const auto p = decode_link(args, true);
            if (!p) return refuse(Refusal::GarbageArguments);
            Link* link = use(p->link, now, &error);
            XdrWriter w;
            w.i32(error);
            w.u32(link == nullptr ? 0 : link->session->status().status_byte(!link->output.empty()));
            results = w.take();
            break;
        }
        case kDeviceTrigger:
        case kDeviceClear:
        case kDeviceRemote:
        case kDeviceLocal: {
            const auto p = decode_link(args, true);
            if (!p) return refuse(Refusal::GarbageArguments);
            Link* link = use(p->link, now, &error);
            if (link != nullptr && procedure == kDeviceClear) {
                link->message.clear();
                link->output.clear();
            }
            results = error_only(error);
            break;
        }
        case kDeviceLock:
        case kDeviceUnlock:
        case kDestroyLink:
        case kDeviceAbort: {
            const auto p = decode_link(args, procedure == kDeviceLock);
            if (!p) return refuse(Refusal::GarbageArguments);
            const auto found = links_.find(p->link);
            if (found == links_.end()) {
                error = kInvalidLink;
            } else if (procedure == kDeviceLock) {
                found->second.last_active = now;
                if (lock_owner_ != 0 && lock_owner_ != p->link)
                    error = kDeviceLocked;
                else
                    lock_owner_ = p->link;
            } else if (procedure == kDeviceUnlock) {
                found->second.last_active = now;
                if (lock_owner_ != p->link)
                    error = kNoLockHeld;
                else
                    lock_owner_ = 0;
            } else if (procedure == kDestroyLink) {
                destroy(p->link);
            }
            results = error_only(error);
            break;
        }
        case kDeviceEnableSrq:
        case kDeviceDocmd:
        case kCreateIntrChan:
        case kDestroyIntrChan:
            results = error_only(kOperationNotSupported);
            if (procedure == kDeviceDocmd) results += std::string(4, '\0');  // no data_out
            break;
        default:
            return refuse(Refusal::ProcedureUnavailable);
    }
    *reply = accepted_reply(call->xid, results);
    return Outcome::Reply;
}

std::string Service::create_link(int connection, std::string_view args, double now, bool* garbage) {
    const auto p = decode_create_link(args);
    XdrWriter w;
    if (!p) {
        *garbage = true;
        return {};
    }
    std::int32_t error = kNoError;
    std::int32_t id = 0;
    if (!is_instrument_name(p->device)) {
        error = kDeviceNotAccessible;
    } else if (p->lock_device && lock_owner_ != 0) {
        error = kDeviceLocked;
    } else {
        if (links_.size() >= static_cast<std::size_t>(kMaxLinks)) {
            const auto idlest =
                std::min_element(links_.begin(), links_.end(), [](const auto& a, const auto& b) {
                    return a.second.last_active < b.second.last_active;
                });
            destroy(idlest->first);
        }
        // Ids are not reused soon, so a stale link never reaches a newcomer's session.
        while (id == 0 || links_.count(id) != 0) {
            id = next_id_;
            next_id_ = next_id_ == INT32_MAX ? 1 : next_id_ + 1;
        }
        Link& link = links_[id];
        link.connection = connection;
        link.session = std::make_unique<Session>();
        link.last_active = now;
        if (p->lock_device) lock_owner_ = id;
    }
    w.i32(error);
    w.i32(id);
    w.u32(abort_port_);
    w.u32(static_cast<std::uint32_t>(kMaxMessage));
    return w.take();
}

Service::Link* Service::use(std::int32_t id, double now, std::int32_t* error) {
    const auto found = links_.find(id);
    if (found == links_.end()) {
        *error = kInvalidLink;
        return nullptr;
    }
    if (lock_owner_ != 0 && lock_owner_ != id) {
        *error = kDeviceLocked;
        return nullptr;
    }
    found->second.last_active = now;
    return &found->second;
}

void Service::destroy(std::int32_t id) {
    if (lock_owner_ == id) lock_owner_ = 0;
    links_.erase(id);
}

void Service::run_message(Link& link) {
    std::string message = std::move(link.message);
    link.message.clear();
    if (!link.output.empty()) {
        link.output.clear();
        link.session->status().report(
            scpi::Error{scpi::kQueryInterrupted, "the reply was not read before the next message"});
    }
    std::string_view rest = message;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        link.output += link.session->run_line(line);
    }
}

void Service::drop_connection(int connection) {
    std::erase_if(links_, [&](const auto& entry) {
        if (entry.second.connection != connection) return false;
        if (lock_owner_ == entry.first) lock_owner_ = 0;
        return true;
    });
}

double Service::expire_idle(double now, double limit) {
    double next = -1;
    std::erase_if(links_, [&](const auto& entry) {
        const double left = limit - (now - entry.second.last_active);
        if (left < 0) {
            if (lock_owner_ == entry.first) lock_owner_ = 0;
            return true;
        }
        next = next < 0 ? left : std::min(next, left);
        return false;
    });
    return next;
}

}  // namespace korvel::remote::vxi11
