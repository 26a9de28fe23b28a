// Configuration files: File > Save As Configuration and File > Open Configuration with the path
// given instead of asked for. Where the menu's dialogs would show a message box on failure (which
// would wait for the operator), the command reports the failure in its error queue.
#pragma once

#include "remote/command.h"

namespace korvel::remote {

scpi::Fault store_configuration(CommandCall& call);  // MMEMory:STORe:CONFig "path"
scpi::Fault load_configuration(CommandCall& call);   // MMEMory:LOAD:CONFig "path"

}  // namespace korvel::remote
