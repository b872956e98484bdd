// The console's answers to the engines' questions and its progress line, without a
// program run: terminal answers, answers given in advance, and the careful choice when
// nobody can be asked.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/ConsolePrompts.h"
#include "cli/ProgressLine.h"
#include "cli/TerminalQuestions.h"

namespace vantrel::test {
namespace {

using cli::ConsolePrompts;
using cli::PresetAnswers;
using cli::ProgressLine;
using cli::TerminalQuestions;

const BadSectorQuestion kQuestion{2048, 8, "/saved/docs/report.pdf"};

TEST(TerminalQuestions, ReadsShortAndLongAnswersAndTreatsEndOfInputAsClosing) {
  std::istringstream in("\nR\nskip-all\nwhat\nS\n");
  std::ostringstream out;
  TerminalQuestions terminal(in, out);
  EXPECT_EQ(terminal.AskBadSector(kQuestion), BadSectorPolicy::Retry);  // Enter: the default button
  EXPECT_EQ(terminal.AskBadSector(kQuestion), BadSectorPolicy::RetryAll);
  EXPECT_EQ(terminal.AskBadSector(kQuestion), BadSectorPolicy::SkipAll);
  EXPECT_EQ(terminal.AskBadSector(kQuestion), BadSectorPolicy::SkipAll);  // asked again after "what"
  EXPECT_EQ(terminal.AskBadSector(kQuestion), BadSectorPolicy::Skip);     // end of input closes it
  // Each asking names the sectors and the file.
  EXPECT_NE(out.str().find("Sectors 2048 - 2055\nFile : /saved/docs/report.pdf\n"), std::string::npos) << out.str();
  std::istringstream yesNo("maybe\nyes\n");
  TerminalQuestions asker(yesNo, out);
  EXPECT_TRUE(asker.AskYesNo("Stop?"));
  EXPECT_FALSE(asker.AskYesNo("Stop?"));
}

TEST(TerminalQuestions, ReplaceIsCaseSensitiveAndWriteErrorsTakeWords) {
  std::istringstream in("Y\ny\nN\nx\nn\n");
  std::ostringstream out;
  TerminalQuestions terminal(in, out);
  EXPECT_EQ(terminal.AskReplace("a/b"), ReplaceAnswer::YesToAll);
  EXPECT_EQ(terminal.AskReplace("a/b"), ReplaceAnswer::Yes);
  EXPECT_EQ(terminal.AskReplace("a/b"), ReplaceAnswer::NoToAll);
  EXPECT_EQ(terminal.AskReplace("a/b"), ReplaceAnswer::No);  // "x" is asked again
  EXPECT_EQ(terminal.AskReplace("a/b"), ReplaceAnswer::No);  // end of input
  EXPECT_NE(out.str().find("Replace File Confirmation: a/b"), std::string::npos);
  std::istringstream words("ABORT\n");
  TerminalQuestions writer(words, out);
  EXPECT_EQ(writer.AskWriteError("c"), WriteErrorAnswer::Abort);
  EXPECT_EQ(writer.AskWriteError("c"), WriteErrorAnswer::Skip);
}

TEST(TerminalQuestions, BadSectorFlagWordsParseInAnyCase) {
  EXPECT_EQ(cli::ParseBadSectorPolicy(" Retry-All "), BadSectorPolicy::RetryAll);
  EXPECT_EQ(cli::ParseBadSectorPolicy("skip"), BadSectorPolicy::Skip);
  EXPECT_EQ(cli::ParseBadSectorPolicy("sometimes"), std::nullopt);
}

TEST(ConsolePrompts, WithoutATerminalTheCarefulAnswersAreGivenAndSaidOnce) {
  ProgressLine line(nullptr);
  ConsolePrompts prompts(PresetAnswers{}, /*interactive=*/false, line);
  testing::internal::CaptureStderr();
  EXPECT_EQ(prompts.AskBadSector(kQuestion), BadSectorPolicy::SkipAll);
  EXPECT_EQ(prompts.AskBadSector(kQuestion), BadSectorPolicy::SkipAll);
  EXPECT_EQ(prompts.AskReplaceFile("x"), ReplaceAnswer::NoToAll);
  EXPECT_EQ(prompts.AskReplaceFile("y"), ReplaceAnswer::NoToAll);
  EXPECT_EQ(prompts.AskWriteError("z"), WriteErrorAnswer::Skip);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said,
            "Bad Sector Encountered: Sectors 2048 - 2055, File : /saved/docs/report.pdf: no terminal to ask, "
            "answering Skip All (choose with --bad-sectors retry|skip|retry-all|skip-all)\n"
            "Replace File Confirmation: no terminal to ask, existing files are kept "
            "(choose with --replace yes-to-all|no-to-all)\n");
}

TEST(ConsolePrompts, AnswersGivenInAdvanceAreTakenWithoutAWord) {
  ProgressLine line(nullptr);
  ConsolePrompts prompts(PresetAnswers{BadSectorPolicy::Retry, ReplaceAnswer::YesToAll}, false, line);
  testing::internal::CaptureStderr();
  EXPECT_EQ(prompts.AskBadSector(kQuestion), BadSectorPolicy::Retry);
  EXPECT_EQ(prompts.AskReplaceFile("x"), ReplaceAnswer::YesToAll);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(ProgressLine, DrawsOnItsTerminalAndEndsTheLineBeforeAQuestion) {
  std::ostringstream terminal;
  ProgressLine line(&terminal);
  line.SetText(ProgressLine::kStatus, "Searching Blocks 1/4");
  line.SetPercent(25);  // within a tenth of a second: not drawn again
  EXPECT_EQ(terminal.str(), "\r\033[K0%  Searching Blocks 1/4");
  ConsolePrompts prompts(PresetAnswers{BadSectorPolicy::Skip, {}}, false, line);
  prompts.AskBadSector(kQuestion);
  EXPECT_EQ(terminal.str(), "\r\033[K0%  Searching Blocks 1/4\r\033[K");
  line.Finish();  // nothing open: nothing more
  EXPECT_EQ(terminal.str(), "\r\033[K0%  Searching Blocks 1/4\r\033[K");
  line.SetPercent(50);  // a closed line is drawn at once, with every text it has
  EXPECT_EQ(terminal.str(), "\r\033[K0%  Searching Blocks 1/4\r\033[K\r\033[K50%  Searching Blocks 1/4");
}

}  // namespace
}  // namespace vantrel::test
