// The files an operator of the soak picks in the program's file dialogs: real ones (a pattern, an
// error mask, a configuration, settings.cfg) and bogus ones (garbage, an empty file, a folder, a
// name that is not there, a name too long for any file system). All of them lie in the soak's
// working directory, a temporary folder of its own; no answer ever names anything outside it.
#pragma once

#include <string>
#include <vector>

#include "platform/host_services.h"
#include "soak/soak_random.h"

namespace korvel::soak {

struct DialogAnswer {
    int result = 0;  // VAL_NO_FILE_SELECTED, VAL_EXISTING_FILE_SELECTED, VAL_NEW_FILE_SELECTED
    std::string path;
};

class SoakFiles {
  public:
    // `dir` is the soak's working directory (absolute).
    explicit SoakFiles(std::string dir);

    // Writes every fixture anew with fresh random content (a save may have overwritten one).
    void refresh(SoakRandom& random);
    // An answer to `request`: cancelled now and then, otherwise one of the paths above, given
    // absolute or relative to the working directory, mostly with the result a dialog gives for
    // it and sometimes with the other one.
    DialogAnswer answer(const platform::FileSelectRequest& request, SoakRandom& random);

  private:
    std::string dir_;
    std::vector<std::string> names_;  // relative to dir_
};

}  // namespace korvel::soak
