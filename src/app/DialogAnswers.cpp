#include "app/DialogAnswers.h"

namespace vantrel {

bool ScriptedAnswers::AnswerYesNo(const std::string& question) {
  questions_.push_back(question);
  return NextAnswer(yesNo_, false, unanswered_);
}

BadSectorAnswer ScriptedAnswers::AnswerBadSector() {
  ++badSectorPrompts_;
  return NextAnswer(badSector_, BadSectorAnswer::Skip, unanswered_);
}

ReplaceAnswer ScriptedAnswers::AnswerReplace(const std::string&) {
  ++replacePrompts_;
  return NextAnswer(replace_, ReplaceAnswer::No, unanswered_);
}

WriteErrorAnswer ScriptedAnswers::AnswerWriteError(const std::string&) {
  ++writeErrorPrompts_;
  return NextAnswer(writeError_, WriteErrorAnswer::Skip, unanswered_);
}

}  // namespace vantrel
