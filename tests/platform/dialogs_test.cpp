#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include "platform/testing.h"

namespace platform {
namespace {

TEST(DialogsTest, TheScriptRecordsMessagesAndAnswersInTurnThenCancelsUntilItGoes) {
  const DialogProvider* fake = nullptr;
  {
    ScriptedDialogs dialogs;
    fake = &dialogs;
    dialogs.answers = {std::string("Ann"), std::nullopt};
    MsgBox("Please complete the hand!", "");
    EXPECT_EQ(InputBox("Enter Your Name", "New High Score", 8), "Ann");
    EXPECT_EQ(InputBox("Enter Your Name", "New High Score"), "");  // cancelled
    EXPECT_EQ(InputBox("again", "t"), "");                         // nothing left: cancel
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Please complete the hand!"});
    ASSERT_EQ(dialogs.inputs.size(), 3u);
    EXPECT_EQ(dialogs.inputs[0].title, "New High Score");
    EXPECT_EQ(dialogs.inputs[0].max_length, 8);
    EXPECT_EQ(&Dialogs(), fake);
  }
  EXPECT_NE(&Dialogs(), fake) << "the real dialogs are back";
}

}  // namespace
}  // namespace platform
