#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include "platform/testing.h"

namespace platform {
namespace {

TEST(ScriptedDialogsTest, RecordsMessagesAndAnswersFromItsQueue) {
  ScriptedDialogs dialogs;
  dialogs.answers = {std::string("Ann"), std::nullopt};
  MsgBox("Please complete the hand!", "");
  EXPECT_EQ(InputBox("Enter Your Name", "New High Score", 8), "Ann");
  EXPECT_EQ(InputBox("Enter Your Name", "New High Score"), "");  // cancelled
  EXPECT_EQ(InputBox("again", "t"), "");                         // nothing left: cancel
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Please complete the hand!"});
  ASSERT_EQ(dialogs.inputs.size(), 3u);
  EXPECT_EQ(dialogs.inputs[0].title, "New High Score");
  EXPECT_EQ(dialogs.inputs[0].max_length, 8);
  EXPECT_EQ(&Dialogs(), &dialogs);
}

// The real dialogs, answered from inside their own modal loop.
template <typename Dialog>
void WhenShown(std::function<void(Dialog*)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr) << "no modal dialog is up";
    answer(dialog);
  });
}

TEST(QtDialogsTest, MessageBoxShowsTextAndTitleWithOkOnly) {
  QString text, title;
  QMessageBox::StandardButtons buttons;
  WhenShown<QMessageBox>([&](QMessageBox* box) {
    text = box->text();
    title = box->windowTitle();
    buttons = box->standardButtons();
    box->button(QMessageBox::Ok)->click();
  });
  MsgBox("You do not have enough points to wager.", "Chinese Poker");
  EXPECT_EQ(text, "You do not have enough points to wager.");
  EXPECT_EQ(title, "Chinese Poker");
  EXPECT_EQ(buttons, QMessageBox::Ok);
}

TEST(QtDialogsTest, InputBoxLimitsTheTextAndGivesEmptyWhenCancelled) {
  int max_length = 0;
  QString label;
  WhenShown<QInputDialog>([&](QInputDialog* dialog) {
    label = dialog->labelText();
    auto* edit = dialog->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    max_length = edit->maxLength();
    edit->setText("Bartholomew the Great");  // longer than allowed
    dialog->accept();
  });
  EXPECT_EQ(InputBox("Enter Your Name", "New High Score", 10), "Bartholome");
  EXPECT_EQ(label, "Enter Your Name");
  EXPECT_EQ(max_length, 10);

  WhenShown<QInputDialog>([](QInputDialog* dialog) {
    dialog->findChild<QLineEdit*>()->setText("typed, then cancelled");
    dialog->reject();
  });
  EXPECT_EQ(InputBox("Enter Your Name", "New High Score"), "");
}

}  // namespace
}  // namespace platform
