// The Custom Test Pattern and Error Injection Setup panels.
#pragma once

#include <string>

#include "platform/ui_constants.h"

namespace korvel::app {

// The bit editor of the Custom Test Pattern panel: works on word 0 of the pattern buffer (bit
// position p = row p / 8, bit p % 8) and shows it; nothing reaches the unit until "Load Modified".
int CVICALLBACK bitTweak(int panel, int control, int event, void* callbackData, int eventData1,
                         int eventData2);

// Word 0 as the editor's text box shows it: a line end, then eight lines of four space-closed
// groups of eight '0'/'1' characters, position 0 first.
std::string word0_text();

}  // namespace korvel::app
