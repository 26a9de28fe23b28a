// What stands behind the GPIB calls: one implementation per process.
//
// The calls in ni488.h check their arguments and publish the status; a backend only answers.
#pragma once

namespace korvel::gpib {

// What one call left behind: the status word, the error code (meaningful with ERR) and the
// number of bytes moved.
struct CallStatus {
    int sta = 0;
    int err = 0;
    int cnt = 0;
};

class Backend {
  public:
    virtual ~Backend() = default;

    // Returns the descriptor, or -1.
    virtual int dev(int board, int pad, int sad, int timeout, int eot, int eos,
                    CallStatus& status) = 0;
    virtual CallStatus clr(int ud) = 0;
    virtual CallStatus onl(int ud, int online) = 0;
    virtual CallStatus wrt(int ud, const void* data, long count) = 0;
    virtual CallStatus rd(int ud, void* buffer, long count) = 0;
};

}  // namespace korvel::gpib
