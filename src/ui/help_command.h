// "korund help [TOPIC]": prints a help page as plain text.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace korund::ui {

// words: what follows "help" on the command line. No word prints the
// overview; one topic name (any case) prints that topic; both give 0. An
// unknown name or more than one word prints why to err and gives 2.
int RunHelpCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

}  // namespace korund::ui
