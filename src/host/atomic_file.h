// Replacing a file so that readers see the old file or the new one, never a
// part: the notebook write-back, the settings file and korund-notebook's
// outputs all go through here.
#pragma once

#include <string>
#include <string_view>

namespace korund::host {

// Replaces `path` with `bytes` atomically: a temporary file in the same
// folder is written, flushed to disk and renamed over the target, and the
// folder is flushed. An existing file's permissions are kept. False with
// *error ("PATH: ... (the file is unchanged)"); the target is then unchanged.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error);

}  // namespace korund::host
