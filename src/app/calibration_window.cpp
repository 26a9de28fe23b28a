#include "app/calibration_window.h"

#include "app/state.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

namespace korvel::app {

void calibrate() {
    cal_panel = LoadPanel(0, "main.uir", PANELCAL);
    DisplayPanel(cal_panel);
}

int CVICALLBACK start_calibration(int /*panel*/, int /*control*/, int /*event*/,
                                  void* /*callbackData*/, int /*eventData1*/, int /*eventData2*/) {
    return 0;
}

}  // namespace korvel::app
