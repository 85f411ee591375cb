#include "gui/help_viewer.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/help_topics.h"

namespace korund::gui {

namespace {

QString ToQString(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  browser_ = new QTextBrowser(this);
  // Links naming a topic are followed here; nothing else is opened.
  browser_->setOpenLinks(false);
  connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    if (url.scheme().isEmpty() || url.scheme() == QLatin1String("topic")) {
      ShowTopicNamed(url.scheme().isEmpty() ? url.toString() : url.path());
    }
  });
  layout->addWidget(browser_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  layout->addWidget(buttons);
  resize(620, 520);
}

void HelpViewer::ShowTopic(int id) {
  const ui::HelpTopic& topic = ui::FindHelpTopic(id);
  setWindowTitle(ToQString(topic.title));
  browser_->setMarkdown(ToQString(topic.Page(reader_)));
}

void HelpViewer::ShowTopicNamed(const QString& name) {
  const std::string key = name.toStdString();
  if (const ui::HelpTopic* topic = ui::FindHelpTopicByName(key)) ShowTopic(topic->id);
}

}  // namespace korund::gui
