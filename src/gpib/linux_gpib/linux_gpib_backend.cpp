#include "gpib/linux_gpib/linux_gpib_backend.h"

#include <dlfcn.h>

#include "gpib/ni488.h"

namespace korvel::gpib {

// The library's entry points. Its status words are read through its per-thread accessors
// (ThreadIbsta, ...) where it has them; older versions only export the variables.
struct LinuxGpibBackend::Api {
    int (*ibdev)(int, int, int, int, int, int) = nullptr;
    int (*ibclr)(int) = nullptr;
    int (*ibonl)(int, int) = nullptr;
    int (*ibwrt)(int, const void*, long) = nullptr;
    int (*ibrd)(int, void*, long) = nullptr;
    int (*thread_ibsta)() = nullptr;
    int (*thread_iberr)() = nullptr;
    int (*thread_ibcnt)() = nullptr;
    const int* ibsta = nullptr;
    const int* iberr = nullptr;
    const int* ibcnt = nullptr;
};

namespace {

template <class T>
bool bind(void* handle, const char* name, T& target) {
    target = reinterpret_cast<T>(dlsym(handle, name));
    return target != nullptr;
}

// The first symbol the library lacks, or nullptr when it has them all.
const char* bind_all(void* handle, auto& api) {
    if (!bind(handle, "ibdev", api.ibdev)) return "ibdev";
    if (!bind(handle, "ibclr", api.ibclr)) return "ibclr";
    if (!bind(handle, "ibonl", api.ibonl)) return "ibonl";
    if (!bind(handle, "ibwrt", api.ibwrt)) return "ibwrt";
    if (!bind(handle, "ibrd", api.ibrd)) return "ibrd";
    const bool accessors = bind(handle, "ThreadIbsta", api.thread_ibsta) &&
                           bind(handle, "ThreadIberr", api.thread_iberr) &&
                           bind(handle, "ThreadIbcnt", api.thread_ibcnt);
    if (accessors) return nullptr;
    if (!bind(handle, "ibsta", api.ibsta)) return "ibsta";
    if (!bind(handle, "iberr", api.iberr)) return "iberr";
    if (!bind(handle, "ibcnt", api.ibcnt)) return "ibcnt";
    return nullptr;
}

// What a missing driver answers.
constexpr CallStatus kNoDriver{ERR, EDVR, 0};

}  // namespace

LinuxGpibBackend::LinuxGpibBackend(const std::string& library) {
    dlerror();
    handle_ = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        problem_ = "The GPIB library " + library + " could not be loaded (" +
                   (why != nullptr ? why : "not found") + ").";
        return;
    }
    auto api = std::make_unique<Api>();
    if (const char* missing = bind_all(handle_, *api)) {
        problem_ =
            "The GPIB library " + library + " could not be loaded (it has no " + missing + ").";
        dlclose(handle_);
        handle_ = nullptr;
        return;
    }
    api_ = std::move(api);
}

LinuxGpibBackend::~LinuxGpibBackend() {
    api_.reset();
    if (handle_ != nullptr) dlclose(handle_);
}

CallStatus LinuxGpibBackend::status_after() const {
    if (api_->thread_ibsta != nullptr)
        return {api_->thread_ibsta(), api_->thread_iberr(), api_->thread_ibcnt()};
    return {*api_->ibsta, *api_->iberr, *api_->ibcnt};
}

int LinuxGpibBackend::dev(int board, int pad, int sad, int timeout, int eot, int eos,
                          CallStatus& status) {
    if (!loaded()) {
        status = kNoDriver;
        return -1;
    }
    const int ud = api_->ibdev(board, pad, sad, timeout, eot, eos);
    status = status_after();
    return ud;
}

CallStatus LinuxGpibBackend::clr(int ud) {
    if (!loaded()) return kNoDriver;
    api_->ibclr(ud);
    return status_after();
}

CallStatus LinuxGpibBackend::onl(int ud, int online) {
    if (!loaded()) return kNoDriver;
    api_->ibonl(ud, online);
    return status_after();
}

CallStatus LinuxGpibBackend::wrt(int ud, const void* data, long count) {
    if (!loaded()) return kNoDriver;
    api_->ibwrt(ud, data, count);
    return status_after();
}

CallStatus LinuxGpibBackend::rd(int ud, void* buffer, long count) {
    if (!loaded()) return kNoDriver;
    api_->ibrd(ud, buffer, count);
    return status_after();
}

}  // namespace korvel::gpib
