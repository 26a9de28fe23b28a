#include "ftdi/device_state.h"

#include "ftdi/backend.h"
#include "ftdi/backend_select.h"

namespace korvel::ftdi {

bool handle_lost(FT_HANDLE handle) {
    return backend().handle_lost(handle);
}

bool last_open_denied() {
    return backend().last_open_denied();
}

}  // namespace korvel::ftdi
