// The help window: one help topic as rendered Markdown. Links that name
// another topic open it in the same window.
#pragma once

#include <QDialog>

class QTextBrowser;

namespace korund::gui {

class HelpViewer : public QDialog {
 public:
  explicit HelpViewer(QWidget* parent = nullptr);

  // Shows the topic with this number; an unknown number shows the overview.
  void ShowTopic(int id);
  QTextBrowser* browser() const { return browser_; }

 private:
  void ShowTopicNamed(const QString& name);

  QTextBrowser* browser_ = nullptr;
};

}  // namespace korund::gui
