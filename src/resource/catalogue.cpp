// The catalogue is header-only constexpr data; this source gives the library its one object and
// checks the counts once.
#include "resource/catalogue.h"

namespace korvel::resource {

static_assert(total_control_count() == kControlCount, "main.uir holds 147 controls");
static_assert(panels().size() == kPanelCount);

}  // namespace korvel::resource
