#include "app/HeadlessWindow.h"

#include <algorithm>
#include <ostream>

#include "app/ControlIds.h"
#include "app/DesktopOpener.h"

namespace vantrel {

void HeadlessWindow::Record(ShownMessage::Kind kind, const std::string& text) {
  messages_.push_back({kind, text});
  if (messageStream_ == nullptr) return;
  FinishProgressLine();
  *messageStream_ << text << '\n' << std::flush;
}

void HeadlessWindow::ShowMessage(const std::string& text) {
  Record(ShownMessage::Kind::Information, text);
}

bool HeadlessWindow::AskYesNo(const std::string& text) {
  Record(ShownMessage::Kind::Question, text);
  FinishProgressLine();
  return answers_.AnswerYesNo(text);
}

bool HeadlessWindow::SystemMessage(const std::string& text, SystemIcon icon) {
  switch (icon) {
    case SystemIcon::Question:
      Record(ShownMessage::Kind::SystemQuestion, text);
      FinishProgressLine();
      return answers_.AnswerYesNo(text);
    case SystemIcon::Error:
      Record(ShownMessage::Kind::SystemError, text);
      break;
    case SystemIcon::Information:
      Record(ShownMessage::Kind::SystemInformation, text);
      break;
    case SystemIcon::None:
      Record(ShownMessage::Kind::SystemPlain, text);
      break;
  }
  return true;
}

BadSectorAnswer HeadlessWindow::AskBadSector(const BadSectorQuestion& question) {
  ++badSectorPrompts_;
  badSectorQuestions_.push_back(question);
  FinishProgressLine();
  return answers_.AnswerBadSector();
}

std::string HeadlessWindow::AskFilePath(FileDialogKind /*kind*/, const std::string& filter) {
  fileDialogFilters_.push_back(filter);
  return chosenFile_;
}

ReplaceAnswer HeadlessWindow::AskReplaceFile(const std::string& path) {
  FinishProgressLine();
  return answers_.AnswerReplace(path);
}

WriteErrorAnswer HeadlessWindow::AskWriteError(const std::string& path) {
  FinishProgressLine();
  return answers_.AnswerWriteError(path);
}

void HeadlessWindow::OpenDocument(const std::string& path) {
  openedDocuments_.push_back(path);
  if (launchOpener_ && !vantrel::LaunchDesktopOpener(path) && messageStream_ != nullptr)
    *messageStream_ << "Open " << path << " with a program of your choice (xdg-open is not available)\n";
}

std::vector<std::string> HeadlessWindow::MessageTexts() const {
  std::vector<std::string> texts;
  for (const auto& message : messages_) texts.push_back(message.text);
  return texts;
}

void HeadlessWindow::FinishProgressLine() {
  const std::lock_guard lock(outputMutex_);
  if (progressStream_ == nullptr || !progressLineOpen_) return;
  *progressStream_ << "\r\033[K" << std::flush;
  progressLineOpen_ = false;
}

std::vector<std::string> HeadlessWindow::TextsShown(int id) const {
  const std::lock_guard lock(outputMutex_);
  const auto found = textsShown_.find(id);
  return found == textsShown_.end() ? std::vector<std::string>{} : found->second;
}

std::string HeadlessWindow::LastTextShown(int id) const {
  const auto texts = TextsShown(id);
  for (auto it = texts.rbegin(); it != texts.rend(); ++it)
    if (!it->empty()) return *it;
  return {};
}

void HeadlessWindow::OnChanged(const WindowChange& change) {
  const std::lock_guard lock(outputMutex_);
  if (recordTexts_ && change.kind == WindowChange::Kind::ControlText) textsShown_[change.id].push_back(ControlText(change.id));
  if (progressStream_ == nullptr) return;
  if (change.kind != WindowChange::Kind::ControlText && change.kind != WindowChange::Kind::Progress)
    return;
  const auto now = std::chrono::steady_clock::now();
  if (progressLineOpen_ && now - lastDrawn_ < std::chrono::milliseconds(100)) return;
  lastDrawn_ = now;
  const int percent = std::max({Control(control::kSearchProgress).progress,
                                Control(control::kMoreSearchProgress).progress,
                                Control(control::kRawProgress).progress,
                                Control(control::kSavingProgress).progress});
  *progressStream_ << "\r\033[K" << percent << '%';
  for (const int id : {control::kStatusText, control::kFoundCount, control::kRawStatus, control::kSavingFileName}) {
    const std::string text = ControlText(id);
    if (!text.empty()) *progressStream_ << "  " << text;
  }
  *progressStream_ << std::flush;
  progressLineOpen_ = true;
}

}  // namespace vantrel
