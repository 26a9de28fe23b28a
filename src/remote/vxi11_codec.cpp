#include "remote/vxi11_codec.h"

#include <limits>

namespace korvel::remote::vxi11 {
namespace {

constexpr std::uint32_t kLastFragment = 0x80000000u;
constexpr std::uint32_t kCall = 0;
constexpr std::uint32_t kReply = 1;
constexpr std::size_t kMaxAuthBody = 400;  // the bound ONC RPC sets on credentials

std::uint32_t load_u32(const char* p) {
    const auto b = [p](int i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(p[i]));
    };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

std::string reply_header(std::uint32_t xid, std::uint32_t reply_status) {
    XdrWriter w;
    w.u32(xid);
    w.u32(kReply);
    w.u32(reply_status);
    return w.take();
}

}  // namespace

RecordReader::Next RecordReader::next(std::string* record) {
    std::size_t pos = 0;
    Next result = Next::None;
    while (buffer_.size() - pos >= 4) {
        const std::uint32_t mark = load_u32(buffer_.data() + pos);
        const std::size_t length = mark & ~kLastFragment;
        if (length > max_record_ || record_.size() + length > max_record_) {
            buffer_.clear();
            record_.clear();
            return Next::TooLong;
        }
        if (buffer_.size() - pos - 4 < length) break;
        record_.append(buffer_, pos + 4, length);
        pos += 4 + length;
        if ((mark & kLastFragment) != 0) {
            *record = std::move(record_);
            record_.clear();
            result = Next::Record;
            break;
        }
    }
    buffer_.erase(0, pos);
    return result;
}

std::string frame_record(std::string_view body) {
    XdrWriter w;
    w.u32(kLastFragment | static_cast<std::uint32_t>(body.size()));
    std::string out = w.take();
    out.append(body);
    return out;
}

std::uint32_t XdrReader::u32() {
    if (!ok_ || bytes_.size() - pos_ < 4) {
        ok_ = false;
        return 0;
    }
    const std::uint32_t v = load_u32(bytes_.data() + pos_);
    pos_ += 4;
    return v;
}

std::string_view XdrReader::opaque(std::size_t max) {
    const std::size_t length = u32();
    const std::size_t padded = length + (4 - length % 4) % 4;
    if (!ok_ || length > max || padded < length || bytes_.size() - pos_ < padded) {
        ok_ = false;
        return {};
    }
    const std::string_view data = bytes_.substr(pos_, length);
    pos_ += padded;
    return data;
}

void XdrWriter::u32(std::uint32_t v) {
    const char bytes[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 8), static_cast<char>(v)};
    out_.append(bytes, 4);
}

void XdrWriter::opaque(std::string_view data) {
    u32(static_cast<std::uint32_t>(data.size()));
    out_.append(data);
    out_.append((4 - data.size() % 4) % 4, '\0');
}

std::optional<Call> parse_call(std::string_view record) {
    XdrReader r(record);
    Call call;
    call.xid = r.u32();
    if (r.u32() != kCall) return std::nullopt;
    call.rpc_version = r.u32();
    call.program = r.u32();
    call.version = r.u32();
    call.procedure = r.u32();
    for (int i = 0; i < 2; ++i) {  // the credentials and the verifier: not used
        r.u32();
        r.opaque(kMaxAuthBody);
    }
    if (!r.ok()) return std::nullopt;
    call.arguments = r.rest();
    return call;
}

std::string accepted_reply(std::uint32_t xid, std::string_view results) {
    std::string out = reply_header(xid, 0);
    XdrWriter w;
    w.u32(0);  // verifier: AUTH_NONE, empty
    w.u32(0);
    w.u32(0);  // SUCCESS
    out += w.take();
    out.append(results);
    return out;
}

std::string refused_reply(std::uint32_t xid, Refusal why) {
    XdrWriter w;
    if (why == Refusal::RpcMismatch) {
        w.u32(0);  // RPC_MISMATCH: only version 2
        w.u32(2);
        w.u32(2);
        return reply_header(xid, 1) + w.take();
    }
    w.u32(0);
    w.u32(0);
    switch (why) {
        case Refusal::ProgramUnavailable:
            w.u32(1);
            break;
        case Refusal::ProgramMismatch:
            w.u32(2);
            w.u32(kVersion);
            w.u32(kVersion);
            break;
        case Refusal::ProcedureUnavailable:
            w.u32(3);
            break;
        default:
            w.u32(4);
            break;  // GARBAGE_ARGS
    }
    return reply_header(xid, 0) + w.take();
}

std::optional<CreateLinkParms> decode_create_link(std::string_view args) {
    XdrReader r(args);
    CreateLinkParms p;
    p.client_id = r.i32();
    p.lock_device = r.boolean();
    p.lock_timeout = r.u32();
    p.device = r.opaque(kMaxDeviceName);
    if (!r.ok()) return std::nullopt;
    return p;
}

std::optional<WriteParms> decode_write(std::string_view args) {
    XdrReader r(args);
    WriteParms p;
    p.link = r.i32();
    p.io_timeout = r.u32();
    p.lock_timeout = r.u32();
    p.flags = r.u32();
    p.data = r.opaque(std::numeric_limits<std::size_t>::max());
    if (!r.ok()) return std::nullopt;
    return p;
}

std::optional<ReadParms> decode_read(std::string_view args) {
    XdrReader r(args);
    ReadParms p;
    p.link = r.i32();
    p.request_size = r.u32();
    p.io_timeout = r.u32();
    p.lock_timeout = r.u32();
    p.flags = r.u32();
    p.term_char = static_cast<char>(r.u32() & 0xFF);
    if (!r.ok()) return std::nullopt;
    return p;
}

std::optional<LinkParms> decode_link(std::string_view args, bool with_flags) {
    XdrReader r(args);
    LinkParms p;
    p.link = r.i32();
    if (with_flags) p.flags = r.u32();
    if (!r.ok()) return std::nullopt;
    return p;
}

}  // namespace korvel::remote::vxi11
