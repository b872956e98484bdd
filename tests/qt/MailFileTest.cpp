// Mailing the directory listing hands the desktop's mailer the subject, the attachment and
// the service mailbox; a machine without a mailer gets a message instead.

#include <gtest/gtest.h>

#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/WizardState.h"
#include "app/qt/QtWizardDialogs.h"
#include "app/qt/QtWizardWindow.h"
#include "qt/ModalAnswerer.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

class MailFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = qgetenv("PATH");
    // A mailer that writes down its arguments, one a line, in a file that appears whole.
    const fs::path mailer = temp_.Path() / "xdg-email";
    std::ofstream(mailer) << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$0.tmp\" && /bin/mv \"$0.tmp\" \"$0.args\"\n";
    fs::permissions(mailer, fs::perms::owner_all);
    qputenv("PATH", QByteArray::fromStdString(temp_.Path().string()));
  }
  void TearDown() override { qputenv("PATH", path_); }

  // The mailer's arguments once it has run.
  std::string MailerArguments() {
    const fs::path args = temp_.Path() / "xdg-email.args";
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fs::exists(args) && std::chrono::steady_clock::now() < limit) QTest::qWait(10);
    std::ostringstream text;
    text << std::ifstream(args).rdbuf();
    return text.str();
  }

  TempDir temp_;
  QByteArray path_;
  WizardState state_;
  qt::QtWizardWindow window_{state_};
  qt::QtWizardDialogs dialogs_{window_, state_};
};

TEST_F(MailFileTest, MailerGetsTheSubjectTheAttachmentAndTheServiceMailbox) {
  dialogs_.SetMailbox("service@example.org");
  dialogs_.MailFile("/tmp/listing dir/Report.txt", "Directory listing");
  EXPECT_EQ(MailerArguments(),
            "--subject\nDirectory listing\n--attach\n/tmp/listing dir/Report.txt\nservice@example.org\n");
}

TEST_F(MailFileTest, WithoutAMailboxTheUserFillsInTheAddress) {
  dialogs_.MailFile("/tmp/Report.txt", "Directory listing");
  EXPECT_EQ(MailerArguments(), "--subject\nDirectory listing\n--attach\n/tmp/Report.txt\n");
}

TEST_F(MailFileTest, FolderListGoesWithItsBodyAndItsOwnFailureText) {
  dialogs_.MailFile("/tmp/List.txt", "Vantrel Folder List", "Attachment contains list of folders that can be recovered");
  EXPECT_EQ(MailerArguments(), "--subject\nVantrel Folder List\n--body\nAttachment contains list of folders that can be "
                               "recovered\n--attach\n/tmp/List.txt\n");
  fs::remove(temp_.Path() / "xdg-email");
  ModalAnswerer answers;
  dialogs_.MailFile("/tmp/List.txt", "Vantrel Folder List", "", "Unable to Load EmailMessaging SubSystem");
  ASSERT_EQ(answers.Messages().size(), 1u);
  EXPECT_EQ(answers.Messages()[0], "Unable to Load EmailMessaging SubSystem");
}

TEST_F(MailFileTest, NoMailerIsReported) {
  fs::remove(temp_.Path() / "xdg-email");
  ModalAnswerer answers;
  dialogs_.MailFile("/tmp/Report.txt", "Directory listing");
  ASSERT_EQ(answers.Messages().size(), 1u);
  EXPECT_EQ(answers.Messages()[0], "No mail program could be started for /tmp/Report.txt");
}

}  // namespace
}  // namespace vantrel::test
