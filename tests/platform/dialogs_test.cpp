#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/testing.h"

namespace platform {
namespace {

// Acts on the real modal box from outside while it runs: a zero-delay timer waits for the
// box to come up, then `act` reads it, types into it and presses one of its buttons.
void WhileModal(const std::function<void(QWidget*)>& act) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box || !box->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(box);
  });
  timer->start(0);
}

// The texts a player reads on a box: its title, then every label with text, then its
// buttons' captions.
std::string Texts(QWidget* box) {
  std::string texts = box->windowTitle().toStdString();
  for (const QLabel* label : box->findChildren<QLabel*>())
    if (!label->text().isEmpty()) texts += " | " + label->text().toStdString();
  for (const QAbstractButton* button : box->findChild<QDialogButtonBox*>()->buttons())
    texts += " | [" + button->text().remove('&').toStdString() + "]";
  return texts;
}

void Press(QWidget* box, QDialogButtonBox::ButtonRole role) {
  for (QAbstractButton* button : box->findChild<QDialogButtonBox*>()->buttons())
    if (box->findChild<QDialogButtonBox*>()->buttonRole(button) == role) return button->click();
  ADD_FAILURE() << "no button of role " << role;
}

TEST(DialogsTest, TheMessageBoxShowsItsTextWithOkOnly) {
  std::string shown;
  WhileModal([&](QWidget* box) {
    shown = Texts(box);
    Press(box, QDialogButtonBox::AcceptRole);
  });
  MsgBox("Please complete the hand!", "Chinese Poker");
  EXPECT_EQ(shown, "Chinese Poker | Please complete the hand! | [OK]");
}

TEST(DialogsTest, TheInputBoxGivesWhatWasTypedUpToItsLimitAndTheEmptyTextWhenCancelled) {
  const std::string long_name(70000, 'n');
  const struct {
    std::string typed;
    int max_length;
    bool ok;  // false: Cancel
    std::string result;
  } cases[] = {
      {"Ann", 0, true, "Ann"},
      {"", 0, true, ""},
      {"Annabelle", 5, true, "Annab"},
      {long_name, 65535, true, long_name.substr(0, 65535)},  // the name box's limit
      {"Ann", 0, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.substr(0, 12) + " at most " + std::to_string(c.max_length));
    std::string shown;
    WhileModal([&](QWidget* box) {
      shown = Texts(box);
      auto* edit = box->findChild<QLineEdit*>();
      if (c.typed.size() < 100)
        QTest::keyClicks(edit, QString::fromStdString(c.typed));
      else  // as if pasted: key by key would take long
        edit->insert(QString::fromStdString(c.typed));
      Press(box, c.ok ? QDialogButtonBox::AcceptRole : QDialogButtonBox::RejectRole);
    });
    EXPECT_EQ(InputBox("Enter Your Name", "New High Score", c.max_length), c.result);
    EXPECT_EQ(shown, "New High Score | Enter Your Name | [OK] | [Cancel]");
  }
}

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
