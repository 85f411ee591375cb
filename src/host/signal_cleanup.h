// Files to remove when the process is ended by a signal it can catch
// (SIGINT, SIGTERM, SIGHUP): the lock file it holds and the temporary file
// of a replacement under way. The handler only unlinks the paths stored
// beforehand, then ends the process by the signal's default action, so
// the exit status still says which signal it was. A signal whose action
// the program has set itself (or ignores) is left alone. After SIGKILL the
// files stay; the next run takes the lock over and removes temporaries.
#pragma once

#include <string>

namespace korund::host {

// Stores `path` for removal on such a signal; a slot number for
// ForgetOnSignal, or -1 when none is free (the path then stays behind, as
// after SIGKILL).
int RemoveOnSignal(const std::string& path);
// The file is gone or has become the real one: keep it. Harmless for -1.
void ForgetOnSignal(int slot);

}  // namespace korund::host
