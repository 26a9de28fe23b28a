// The Custom Test Pattern panel: the pattern file and the bit editor of word 0.
#pragma once

#include <string>

#include "platform/ui_constants.h"

namespace korvel::app {

// SELECT_TXT_FILE chooses the shared text file; LOAD_FPGA ("Load Text File to Unit") reads it as
// a pattern and loads its complete words into the unit (nothing when it holds no complete word);
// LOAD_FPGA_MODIFIED ("Load Modified") loads word 0 as edited. Returns -1 when the file cannot
// be opened (or is not a regular file), else 0.
int CVICALLBACK fpga_custom_data(int panel, int control, int event, void* callbackData,
                                 int eventData1, int eventData2);

// The bit editor of the Custom Test Pattern panel: works on word 0 of the pattern buffer (bit
// position p = row p / 8, bit p % 8) and shows it; nothing reaches the unit until "Load Modified".
int CVICALLBACK bitTweak(int panel, int control, int event, void* callbackData, int eventData1,
                         int eventData2);

// Word 0 as the editor's text box shows it: a line end, then eight lines of four space-closed
// groups of eight '0'/'1' characters, position 0 first.
std::string word0_text();

}  // namespace korvel::app
