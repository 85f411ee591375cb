// The help window: one help topic as rendered Markdown. Links that name
// another topic open it in the same window.
#pragma once

#include <QDialog>

#include "ui/help_topics.h"

class QTextBrowser;

namespace korund::gui {

class HelpViewer : public QDialog {
 public:
  explicit HelpViewer(QWidget* parent = nullptr);

  // Shows the topic with this number; an unknown number shows the overview.
  void ShowTopic(int id);
  // Whose text the pages shown from now on carry.
  void SetReader(ui::HelpReader reader) { reader_ = reader; }
  QTextBrowser* browser() const { return browser_; }

 private:
  void ShowTopicNamed(const QString& name);

  QTextBrowser* browser_ = nullptr;
  ui::HelpReader reader_ = ui::HelpReader::kCommandLine;
};

}  // namespace korund::gui
