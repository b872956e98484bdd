// The Qt-free window models and the headless window's dialogs.

#include <gtest/gtest.h>

#include <sstream>

#include "app/HeadlessWindow.h"

namespace vantrel::test {
namespace {

TEST(TreeModel, DeletingAnItemRemovesItsWholeSubtreeAndKeepsOtherHandlesValid) {
  TreeModel tree;
  const auto root = tree.Reset("Root");
  const auto a = tree.InsertItem(root, "a", 1, 1);
  const auto a1 = tree.InsertItem(a, "a1", 1, 1);
  const auto b = tree.InsertItem(root, "b", 1, 1);
  tree.Select(a1);
  tree.DeleteItem(a);
  EXPECT_FALSE(tree.Contains(a));
  EXPECT_FALSE(tree.Contains(a1));
  EXPECT_EQ(tree.Selected(), kNoTreeItem);
  EXPECT_EQ(tree.Children(root), std::vector<TreeItemHandle>{b});
  EXPECT_EQ(tree.Text(b), "b");
  EXPECT_EQ(tree.InsertItem(a, "orphan", 1, 1), kNoTreeItem);  // a deleted parent takes no children
  const auto c = tree.InsertItem(root, "c", 1, 1);
  EXPECT_NE(c, a);  // handles are never reused
  tree.Reset("Disk 0");
  EXPECT_FALSE(tree.Contains(b));
}

TEST(ModelWindow, UnknownViewsAreIgnoredAndProgressIsClamped) {
  ScriptedAnswers answers;
  HeadlessWindow window(answers);
  window.ShowView(WizardView::PartitionList);
  window.ShowView(static_cast<WizardView>(2));
  window.ShowView(static_cast<WizardView>(11));
  EXPECT_EQ(window.CurrentView(), WizardView::PartitionList);
  window.ShowView(WizardView::RawRecoveryLeft);
  EXPECT_EQ(window.CurrentView(), WizardView::RawRecoveryLeft);
  window.SetProgress(1046, 140);
  EXPECT_EQ(window.Control(1046).progress, 100);
}

TEST(HeadlessWindow, RecordsMessagesAndTakesAnswersFromItsSource) {
  ScriptedAnswers answers;
  answers.AddYesNo(true);
  HeadlessWindow window(answers);
  std::ostringstream printed;
  window.PrintMessagesTo(&printed);
  window.ShowMessage("one");
  EXPECT_TRUE(window.AskYesNo("Do you want to stop this process?"));
  EXPECT_FALSE(window.AskYesNo("again?"));  // the script ran out: No
  EXPECT_TRUE(window.SystemMessage("fatal", SystemIcon::Error));
  EXPECT_EQ(answers.Unanswered(), 1);
  EXPECT_EQ(window.MessageTexts(), (std::vector<std::string>{"one", "Do you want to stop this process?", "again?", "fatal"}));
  EXPECT_EQ(printed.str(), "one\nDo you want to stop this process?\nagain?\nfatal\n");
}

TEST(TerminalAnswers, ReadsShortAndLongAnswersAndTreatsEndOfInputAsClosing) {
  std::istringstream in("\nR\nskip-all\nwhat\nS\n");
  std::ostringstream out;
  TerminalAnswers terminal(in, out);
  EXPECT_EQ(terminal.AnswerBadSector(), BadSectorAnswer::Retry);  // Enter: the default button
  EXPECT_EQ(terminal.AnswerBadSector(), BadSectorAnswer::RetryAll);
  EXPECT_EQ(terminal.AnswerBadSector(), BadSectorAnswer::SkipAll);
  EXPECT_EQ(terminal.AnswerBadSector(), BadSectorAnswer::SkipAll);  // asked again after "what"
  EXPECT_EQ(terminal.AnswerBadSector(), BadSectorAnswer::Skip);      // end of input closes it
  std::istringstream yesNo("maybe\nyes\n");
  TerminalAnswers asker(yesNo, out);
  EXPECT_TRUE(asker.AnswerYesNo("Stop?"));
  EXPECT_FALSE(asker.AnswerYesNo("Stop?"));
}

}  // namespace
}  // namespace vantrel::test
