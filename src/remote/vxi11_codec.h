// The wire format of VXI-11 (rev 1.0) over ONC RPC version 2 on TCP: record marking, the call
// and reply headers, and the argument and result structures of the core and abort channels, as
// XDR. Hand-written rather than generated: every read is bounded by the bytes received, so a
// hostile client's lengths can neither reach past a record nor make us reserve memory for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvel::remote::vxi11 {

constexpr std::uint32_t kCoreProgram = 0x0607AF;
constexpr std::uint32_t kAbortProgram = 0x0607B0;
constexpr std::uint32_t kVersion = 1;

enum Procedure : std::uint32_t {
    kDeviceAbort = 1,  // on the abort channel
    kCreateLink = 10,
    kDeviceWrite = 11,
    kDeviceRead = 12,
    kDeviceReadStb = 13,
    kDeviceTrigger = 14,
    kDeviceClear = 15,
    kDeviceRemote = 16,
    kDeviceLocal = 17,
    kDeviceLock = 18,
    kDeviceUnlock = 19,
    kDeviceEnableSrq = 20,
    kDeviceDocmd = 22,
    kDestroyLink = 23,
    kCreateIntrChan = 25,
    kDestroyIntrChan = 26,
};

// Device_ErrorCode values.
enum Error : std::int32_t {
    kNoError = 0,
    kSyntaxError = 1,
    kDeviceNotAccessible = 3,
    kInvalidLink = 4,
    kParameterError = 5,
    kOperationNotSupported = 8,
    kOutOfResources = 9,
    kDeviceLocked = 11,
    kNoLockHeld = 12,
    kIoTimeout = 15,
    kAbort = 23,
};

// Device_Flags and the reasons a device_read ended.
constexpr std::uint32_t kFlagWaitLock = 1;
constexpr std::uint32_t kFlagEnd = 8;
constexpr std::uint32_t kFlagTermChar = 128;
constexpr std::int32_t kReasonRequestCount = 1;
constexpr std::int32_t kReasonTermChar = 2;
constexpr std::int32_t kReasonEnd = 4;

// Cuts a connection's bytes into RPC records (one or more fragments each). A record longer than
// the limit is an error: the connection cannot be trusted to stay in step and is closed.
class RecordReader {
  public:
    explicit RecordReader(std::size_t max_record) : max_record_(max_record) {}
    void feed(std::string_view bytes) { buffer_.append(bytes); }
    enum class Next { None, Record, TooLong };
    Next next(std::string* record);
    std::size_t pending() const { return buffer_.size() + record_.size(); }

  private:
    std::size_t max_record_;
    std::string buffer_;  // bytes not yet cut into fragments
    std::string record_;  // the fragments so far of a record whose last fragment is to come
};

// Adds the record mark to a reply.
std::string frame_record(std::string_view body);

// Reads XDR items; any read past the end, or a length beyond its bound, makes it fail for good.
class XdrReader {
  public:
    explicit XdrReader(std::string_view bytes) : bytes_(bytes) {}
    std::uint32_t u32();
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    bool boolean() { return u32() != 0; }
    // Variable-length opaque data or string of at most `max` bytes.
    std::string_view opaque(std::size_t max);
    std::string_view rest() const { return bytes_.substr(pos_); }
    bool ok() const { return ok_; }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

class XdrWriter {
  public:
    void u32(std::uint32_t v);
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void opaque(std::string_view data);
    std::string take() { return std::move(out_); }

  private:
    std::string out_;
};

struct Call {
    std::uint32_t xid = 0;
    std::uint32_t rpc_version = 0;
    std::uint32_t program = 0;
    std::uint32_t version = 0;
    std::uint32_t procedure = 0;
    std::string_view arguments;
};
// The call header of a record; nullopt when it is not a well-formed call (nothing to reply to).
std::optional<Call> parse_call(std::string_view record);

// Reply records (without the record mark) to `xid`.
std::string accepted_reply(std::uint32_t xid, std::string_view results);
enum class Refusal {
    ProgramUnavailable,
    ProgramMismatch,
    ProcedureUnavailable,
    GarbageArguments,
    RpcMismatch
};
std::string refused_reply(std::uint32_t xid, Refusal why);

struct CreateLinkParms {
    std::int32_t client_id = 0;
    bool lock_device = false;
    std::uint32_t lock_timeout = 0;
    std::string_view device;
};
struct WriteParms {
    std::int32_t link = 0;
    std::uint32_t io_timeout = 0;
    std::uint32_t lock_timeout = 0;
    std::uint32_t flags = 0;
    std::string_view data;
};
struct ReadParms {
    std::int32_t link = 0;
    std::uint32_t request_size = 0;
    std::uint32_t io_timeout = 0;
    std::uint32_t lock_timeout = 0;
    std::uint32_t flags = 0;
    char term_char = 0;
};
// Device_GenericParms, Device_LockParms and a bare Device_Link all start with the link.
struct LinkParms {
    std::int32_t link = 0;
    std::uint32_t flags = 0;
};

// Longest device name taken by create_link (a device_write's data is bounded by its record).
constexpr std::size_t kMaxDeviceName = 256;
std::optional<CreateLinkParms> decode_create_link(std::string_view args);
std::optional<WriteParms> decode_write(std::string_view args);
std::optional<ReadParms> decode_read(std::string_view args);
// `with_flags`: Device_GenericParms/Device_LockParms (flags follow the link) or a bare link.
std::optional<LinkParms> decode_link(std::string_view args, bool with_flags);

}  // namespace korvel::remote::vxi11
