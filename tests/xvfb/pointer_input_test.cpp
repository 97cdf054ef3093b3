// Pointer input that reaches the game's text boxes through a real X server: a middle click
// pastes the primary selection and a drag selects, but only in a box that keeps the focus.
// The offscreen platform has no primary selection, so these run under Xvfb (run_xvfb.sh).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/runtime.h"
#include "platform/testing.h"
#include "rules/hand_model.h"
#include "rules/pattern_table.h"
#include "screens/forms.h"
#include "screens/frm_hi_score.h"
#include "table/frm_main.h"
#include "table/hi_score.h"
#include "x_session.h"

namespace cp {
namespace {

constexpr char kSelected[] = "7";  // what the player selected in some other window
constexpr int kMiddle = 2, kLeft = 1;

// Counts the button releases that reach a widget or its children (a multi-line box takes
// the pointer through its viewport).
class ReleaseCounter : public QObject {
 public:
  explicit ReleaseCounter(QWidget* target) : target_(target) { qApp->installEventFilter(this); }
  ~ReleaseCounter() override { qApp->removeEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease && target_ &&
        (watched == target_ || target_->isAncestorOf(qobject_cast<QWidget*>(watched))))
      ++count;
    return false;
  }

 private:
  QPointer<QWidget> target_;
};

class PointerInput : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QGuiApplication::platformName() != "xcb")
      GTEST_SKIP() << "needs an X server: run through run_xvfb.sh";
    ASSERT_EQ(x_.Problem(), "");
    dir_ = std::filesystem::temp_directory_path() / ("xvfb_input_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    platform::SetAppPathForTesting(dir_.string());
    ASSERT_EQ(LoadPatternTable(BuildStandardPatternFile()), "");
    platform::SeedRandom(20240601);
    HiScore = HiScoreTable{{{"Annabel", 300}, {"Bob", 200}, {"Cy", 90}, {}}};
    QClipboard* clipboard = QGuiApplication::clipboard();
    ASSERT_TRUE(clipboard->supportsSelection());
    clipboard->setText(kSelected, QClipboard::Selection);
  }

  void TearDown() override {
    ResetFormsForTesting();
    platform::SetAppPathForTesting("");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  static void ShowActive(platform::Form& form) {
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.window(), 10000));
  }

  // Presses `button` at `from`, moves to `to` and lets go, as a hand does; returns once the
  // box has been given the release.
  void Gesture(platform::TextBox& box, int button, QPoint from, QPoint to) {
    QWidget* w = box.widget();
    ReleaseCounter releases(w);
    x_.MoveTo(w->mapToGlobal(from));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->underMouse(); }, 5000)) << box.Name();
    x_.Button(button, true);
    for (int step = 1; step <= 4; ++step) x_.MoveTo(w->mapToGlobal(from + (to - from) * step / 4));
    x_.Button(button, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return releases.count > 0; }, 5000)) << box.Name();
  }
  void MiddleClick(platform::TextBox& box) {
    const QPoint middle(box.Width() / 2, box.Height() / 2);
    Gesture(box, kMiddle, middle, middle);
  }

  xtest::XSession x_;
  platform::ScriptedDialogs dialogs_;
  std::filesystem::path dir_;
};

TEST_F(PointerInput, AMiddleClickPastesOnlyIntoTheWagerBoxWhileItKeepsTheFocus) {
  frmMain& f = MainForm();
  ShowActive(f);
  f.tGameLoop.SetEnabled(false);  // no card pictures here to draw
  struct Case {
    const char* when;
    platform::TextBox* box;
    std::string text_after;  // empty: as before
    platform::Control* focus_after;
  };
  // Idle: the wager box keeps the focus and takes the paste, "507", which its change check
  // caps at "100" (the score, 100, allows it).
  const Case idle[] = {{"idle", &f.txtScore, "", &f.picHead1},
                       {"idle", &f.txtWager, "100", &f.txtWager}};
  const Case arranging[] = {{"arranging", &f.txtWager, "", &f.picDraw1},
                            {"arranging", &f.txtScore, "", &f.picHead1}};
  const Case showdown[] = {{"showdown", &f.txtInfo, "", &f.picHead1},
                           {"showdown", &f.txtPlayerHead, "", &f.picHead1},
                           {"showdown", &f.txtCom1Tail, "", &f.picHead1}};
  auto run = [&](const auto& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.when) + " " + c.box->Name());
      const std::string before = c.box->Text();
      f.cmdDone.SetFocus();
      MiddleClick(*c.box);
      EXPECT_EQ(c.box->Text(), c.text_after.empty() ? before : c.text_after);
      EXPECT_EQ(f.ActiveControl(), c.focus_after);
    }
  };
  run(idle);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{});
  f.txtWager.SetText("50");

  f.cmdDeal.PerformClick();
  ASSERT_EQ(f.txtScore.Text(), "Your Current Score : 50");
  run(arranging);

  // Lay the dealt cards into the rows as they came, and show down.
  HandRec& me = Hand[0];
  std::copy(me.Draw, me.Draw + 3, me.Head);
  std::copy(me.Draw + 3, me.Draw + 8, me.Body);
  std::copy(me.Draw + 8, me.Draw + 13, me.Tail);
  std::fill(me.Draw, me.Draw + 13, 0);
  f.cmdDone.PerformClick();
  ASSERT_TRUE(f.txtCom1Tail.Visible());
  ASSERT_NE(f.txtInfo.Text(), "");
  run(showdown);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{});
}

TEST_F(PointerInput, NothingInTheHighScoreWindowTakesAPasteOrASelection) {
  frmHiScore& f = HiScoreForm();
  ShowActive(f);
  ASSERT_EQ(f.txtName1.Text(), "Annabel");
  // A drag across the name from its first letter to its last.
  Gesture(f.txtName1, kLeft, QPoint(3, f.txtName1.Height() / 2),
          QPoint(f.txtName1.Width() - 3, f.txtName1.Height() / 2));
  EXPECT_FALSE(static_cast<QLineEdit*>(f.txtName1.widget())->hasSelectedText());
  EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Selection).toStdString(), kSelected)
      << "the name was not offered as the primary selection";
  EXPECT_EQ(f.ActiveControl(), &f.picDraw1);
  MiddleClick(f.txtScore2);
  EXPECT_EQ(f.txtScore2.Text(), "200");
  EXPECT_EQ(f.ActiveControl(), &f.picDraw1);
  f.Unload();
}

}  // namespace
}  // namespace cp
