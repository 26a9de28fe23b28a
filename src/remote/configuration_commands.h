// Configuration files: File > Save As Configuration and File > Open Configuration with the path
// given instead of asked for, inside the remote file folder (file_root.h). A load takes only a
// file whose first line is the configuration header: any other text would be read as settings.
// Where the menu's dialogs would show a message box on failure (which would wait for the
// operator), the command reports the failure in its error queue.
#pragma once

#include "remote/command.h"

namespace korvel::remote {

scpi::Fault store_configuration(CommandCall& call);  // MMEMory:STORe:CONFig "path"
scpi::Fault load_configuration(CommandCall& call);   // MMEMory:LOAD:CONFig "path"

// MMEMory:CDIRectory? answers the remote file folder (file_root.h), every path's starting point.
// The set form takes only that folder itself ("." or its absolute path): the folder is fixed
// by --remote-files, not by a client.
scpi::Fault query_directory(CommandCall& call);
scpi::Fault set_directory(CommandCall& call);

}  // namespace korvel::remote
