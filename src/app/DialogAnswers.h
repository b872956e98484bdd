#pragma once
// Where a window without a screen takes the user's answers to its dialogs: fixed answers
// given in advance, or a script written by a test.

#include <deque>
#include <string>
#include <vector>

#include "app/WindowPort.h"

namespace vantrel {

class DialogAnswers {
 public:
  virtual ~DialogAnswers() = default;
  virtual bool AnswerYesNo(const std::string& question) = 0;
  virtual BadSectorAnswer AnswerBadSector() = 0;
  virtual ReplaceAnswer AnswerReplace(const std::string& /*path*/) { return ReplaceAnswer::No; }
  virtual WriteErrorAnswer AnswerWriteError(const std::string& /*path*/) { return WriteErrorAnswer::Skip; }
};

// The same answer every time.
class FixedAnswers : public DialogAnswers {
 public:
  FixedAnswers(bool yes, BadSectorAnswer badSector) : yes_(yes), badSector_(badSector) {}
  bool AnswerYesNo(const std::string&) override { return yes_; }
  BadSectorAnswer AnswerBadSector() override { return badSector_; }

 private:
  bool yes_;
  BadSectorAnswer badSector_;
};

// Answers taken in order from a script; every question asked is recorded. When the
// script runs out, questions get No and bad sectors get Skip, and the shortfall is counted.
class ScriptedAnswers : public DialogAnswers {
 public:
  void AddYesNo(bool yes) { yesNo_.push_back(yes); }
  void AddBadSector(BadSectorAnswer answer) { badSector_.push_back(answer); }
  void AddReplace(ReplaceAnswer answer) { replace_.push_back(answer); }
  void AddWriteError(WriteErrorAnswer answer) { writeError_.push_back(answer); }

  bool AnswerYesNo(const std::string& question) override;
  BadSectorAnswer AnswerBadSector() override;
  ReplaceAnswer AnswerReplace(const std::string& path) override;
  WriteErrorAnswer AnswerWriteError(const std::string& path) override;
  int ReplacePrompts() const { return replacePrompts_; }
  int WriteErrorPrompts() const { return writeErrorPrompts_; }

  const std::vector<std::string>& QuestionsAsked() const { return questions_; }
  int BadSectorPrompts() const { return badSectorPrompts_; }
  int Unanswered() const { return unanswered_; }

 private:
  std::deque<bool> yesNo_;
  std::deque<BadSectorAnswer> badSector_;
  std::deque<ReplaceAnswer> replace_;
  std::deque<WriteErrorAnswer> writeError_;
  std::vector<std::string> questions_;
  int badSectorPrompts_ = 0;
  int replacePrompts_ = 0;
  int writeErrorPrompts_ = 0;
  int unanswered_ = 0;
};

// Takes the next scripted answer, or the fallback (counting the shortfall) when none is left.
template <typename T>
T NextAnswer(std::deque<T>& script, T fallback, int& unanswered) {
  if (script.empty()) {
    ++unanswered;
    return fallback;
  }
  const T answer = script.front();
  script.pop_front();
  return answer;
}

}  // namespace vantrel
