#pragma once
// The window port without a screen: messages are recorded (and printed when a stream is
// given), dialogs are answered by a DialogAnswers source, and the status line can be shown
// as a progress line on a terminal.

#include <chrono>
#include <iosfwd>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app/DialogAnswers.h"
#include "app/ModelWindow.h"

namespace vantrel {

struct ShownMessage {
  enum class Kind { Information, Question, SystemError, SystemQuestion, SystemInformation, SystemPlain } kind;
  std::string text;
};

class HeadlessWindow : public ModelWindow {
 public:
  explicit HeadlessWindow(DialogAnswers& answers) : answers_(answers) {}

  // Messages are written to `stream` as they are shown (nullptr: only recorded).
  void PrintMessagesTo(std::ostream* stream) { messageStream_ = stream; }
  // The status line and progress bars are drawn on `stream`, a terminal, at most ten
  // times a second (nullptr: not drawn).
  void ShowProgressOn(std::ostream* stream) { progressStream_ = stream; }
  // Ends a drawn progress line so that later output starts on a fresh line.
  void FinishProgressLine();

  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  bool SystemMessage(const std::string& text, SystemIcon icon) override;
  BadSectorAnswer AskBadSector(const BadSectorQuestion& question) override;
  // The file dialogs return the path given here (the command line's or a test's); without
  // one they are cancelled. Their filters are recorded.
  void AnswerFileDialogsWith(const std::string& path) { chosenFile_ = path; }
  std::string AskFilePath(FileDialogKind kind, const std::string& filter) override;
  const std::vector<std::string>& FileDialogFilters() const { return fileDialogFilters_; }
  ReplaceAnswer AskReplaceFile(const std::string& path) override;
  WriteErrorAnswer AskWriteError(const std::string& path) override;
  // Records the path; with UseDesktopOpener(true) also hands it to xdg-open.
  void OpenDocument(const std::string& path) override;
  void UseDesktopOpener(bool launch) { launchOpener_ = launch; }
  const std::vector<std::string>& OpenedDocuments() const { return openedDocuments_; }
  // The "File Saving" dialog returns the folder given here; without one it is cancelled.
  void AnswerDestinationWith(const std::string& folder) { destination_ = folder; }
  std::string AskDestinationFolder() override { return destination_; }

  const std::vector<ShownMessage>& Messages() const { return messages_; }
  std::vector<std::string> MessageTexts() const;
  int BadSectorPrompts() const { return badSectorPrompts_; }
  // What each bad-sector question named, in order.
  const std::vector<BadSectorQuestion>& BadSectorQuestions() const { return badSectorQuestions_; }
  // Keep every text each control is given (for tests; off by default, since a long run
  // changes texts millions of times).
  void RecordTextHistory(bool record) { recordTexts_ = record; }
  // Every text a control was given, in order (a view switch may empty it afterwards).
  std::vector<std::string> TextsShown(int id) const;
  // The last of those texts that was not empty.
  std::string LastTextShown(int id) const;

 protected:
  void OnChanged(const WindowChange& change) override;

 private:
  void Record(ShownMessage::Kind kind, const std::string& text);

  DialogAnswers& answers_;
  std::ostream* messageStream_ = nullptr;
  std::ostream* progressStream_ = nullptr;
  std::vector<ShownMessage> messages_;
  int badSectorPrompts_ = 0;
  std::vector<BadSectorQuestion> badSectorQuestions_;
  std::string chosenFile_;
  std::vector<std::string> fileDialogFilters_;
  bool launchOpener_ = false;
  std::vector<std::string> openedDocuments_;
  // Workers change controls while the caller reads the history or draws messages.
  mutable std::mutex outputMutex_;
  bool recordTexts_ = false;
  std::map<int, std::vector<std::string>> textsShown_;
  std::string destination_;
  bool progressLineOpen_ = false;
  std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace vantrel
