// The run-time library's pseudo-random generator as the program uses it: a Wichmann-Hill
// combined generator whose three states live for the whole process. The program never sets a
// seed, so the draws after start-up are the same in every run.
#pragma once

namespace korvel::app {

// A number in [min, max): min + u * (max - min) for the next draw u in [0, 1). When max - min is
// negative it returns min and draws nothing.
double Random(double min, double max);

// Back to a fresh process: the next draw starts the sequence from the default seed again.
// Called by reset_app_state.
void reset_random();

}  // namespace korvel::app
