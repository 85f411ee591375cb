#include "ui/help_command.h"

#include <ostream>

#include "ui/help_topics.h"

namespace korund::ui {

int RunHelpCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  const HelpTopic* topic = words.empty() ? &AllHelpTopics().front() : nullptr;
  if (words.size() == 1) topic = FindHelpTopicByName(words[0]);
  if (topic == nullptr) {
    std::string names;
    for (const HelpTopic& t : AllHelpTopics()) {
      names += (names.empty() ? "" : ", ") + std::string(t.name);
    }
    err << "korund help: no help topic \"";
    for (size_t i = 0; i < words.size(); ++i) err << (i > 0 ? " " : "") << words[i];
    err << "\"; the topics are " << names << "\n";
    return 2;
  }
  out << HelpAsPlainText(topic->markdown) << std::flush;
  return 0;
}

}  // namespace korund::ui
