// The --transcript recorder on arbitrary box texts, titles and answers:
// each box is one line of JSON holding the texts as they were built (bytes
// that are no UTF-8 as U+FFFD), whatever they hold.
//
// Input: title, text and button captions split at NUL bytes; the first
// byte picks the box's buttons and the answer.
#include <rapidjson/document.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "ui/transcript_ui.h"
#include "util/json_string.h"

namespace {

using namespace korund::ui;

// Answers every box with what the input asks.
class AnswerUi : public Ui {
 public:
  explicit AnswerUi(int answer) : answer_(answer) {}
  int MsgBox(const std::string&, int, const std::string&) override { return answer_; }
  int ShowMessageDialog(const MessageDialogView&) override { return answer_; }
  void RunForm(FormModel&) override {}
  ProgressBar& Progress() override { std::abort(); }
  void Clipboard(const std::string&) override {}
  void ClearClipboard() override {}
  void ShowHelp(int) override {}

 private:
  int answer_;
};

// The text as the transcript must hold it.
std::string AsRecorded(const std::string& s) {
  std::string quoted;
  korund::AppendJsonString(&quoted, s);
  rapidjson::Document d;
  d.Parse(quoted.c_str(), quoted.size());
  if (d.HasParseError() || !d.IsString()) std::abort();
  return std::string(d.GetString(), d.GetStringLength());
}

void CheckLine(const std::string& line, const std::string& title, const std::string& text) {
  if (line.find('\n') != std::string::npos) std::abort();
  rapidjson::Document d;
  d.Parse(line.c_str(), line.size());
  if (d.HasParseError() || !d.IsObject() || !d.HasMember("text") || !d["text"].IsString() ||
      !d.HasMember("buttons") || !d["buttons"].IsArray()) {
    std::abort();
  }
  if (std::string(d["text"].GetString(), d["text"].GetStringLength()) != AsRecorded(text)) {
    std::abort();
  }
  if (!title.empty() && d["title"].IsString() &&
      std::string(d["title"].GetString(), d["title"].GetStringLength()) != AsRecorded(title)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::vector<std::string> parts(1);
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == 0) {
      parts.emplace_back();
    } else {
      parts.back() += static_cast<char>(data[i]);
    }
  }
  parts.resize(std::max<size_t>(parts.size(), 3));
  const std::string& title = parts[0];
  const std::string& text = parts[1];
  AnswerUi inner(data[0] % 8);
  std::ostringstream out;
  TranscriptUi transcript(inner, out);
  transcript.MsgBox(text, data[0] & 0x15, title);
  MessageDialogView view;
  view.title = title;
  view.text = text;
  for (size_t i = 2; i < 6; ++i) {
    view.captions.push_back(i < parts.size() ? parts[i] : "");
    view.visible.push_back(i < parts.size());
  }
  transcript.ShowMessageDialog(view);
  std::istringstream lines(out.str());
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    CheckLine(line, count == 0 ? "" : title, text);
    ++count;
  }
  if (count != 2) std::abort();
  return 0;
}
