// Ctrl+C (SIGINT) and SIGTERM in a shell, Ctrl+C and Ctrl+Break in a
// Windows console: instead of ending the program where it stands, they ask
// the running sub-command to stop at its next safe point, so that no
// exchange with a reader is cut in two.
#pragma once

namespace corvalt {

// From now on those keys and signals request a stop; none is requested yet.
void StopOnInterrupt();

bool StopRequested();

}  // namespace corvalt
