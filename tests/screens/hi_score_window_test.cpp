#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <string>
#include <vector>

#include "screens/forms.h"
#include "screens/frm_hi_score.h"
#include "screens_test_support.h"
#include "table/hi_score.h"

namespace cp::testing {
namespace {

class HiScoreWindowTest : public ScreensTest {
 protected:
  void SetUp() override {
    ScreensTest::SetUp();
    HiScore[0] = {"Ann", 300, {}};
    HiScore[1] = {"", 0, {}};
    HiScore[2] = {"Bob", -32768, {}};
    HiScore[3] = {"Zed", 999, {}};
  }

  std::vector<std::string> Boxes() {
    frmHiScore& w = HiScoreForm();
    return {w.txtName1.Text(),  w.txtScore1.Text(), w.txtName2.Text(),
            w.txtScore2.Text(), w.txtName3.Text(),  w.txtScore3.Text()};
  }

  static void SendKey(int key) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Tab ? "\t" : "x");
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
  }
};

TEST_F(HiScoreWindowTest, ShowsTheThreeBestAsPlainDecimalAndNeverTheFourth) {
  HiScoreForm().Show();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Ann", "300", "", "0", "Bob", "-32768"}));
  for (const std::string& text : Boxes()) {
    EXPECT_EQ(text.find("Zed"), std::string::npos);
    EXPECT_EQ(text.find("999"), std::string::npos);
  }
  // picDraw1 lies below the client area, so it is never seen.
  EXPECT_GE(HiScoreForm().picDraw1.Top(), HiScoreForm().ClientHeight());
}

TEST_F(HiScoreWindowTest, DoneUnloadsAndTheNextShowingReadsTheTableAfresh) {
  HiScoreForm().Show();
  HiScoreForm().cmdDone.PerformClick();
  EXPECT_FALSE(HiScoreForm().IsLoaded());

  HiScore[0] = {"Cy", 12, {}};
  HiScore[2] = {"Di", -7, {}};
  HiScoreForm().Show();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Cy", "12", "", "0", "Di", "-7"}));

  // A real click on Done: the window goes away from inside its own button's event.
  QWidget* done = HiScoreForm().cmdDone.widget();
  ASSERT_NE(done, nullptr);
  const QPointF at(5, 5);
  QMouseEvent press(QEvent::MouseButtonPress, at, done->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, done->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(done, &press);
  QCoreApplication::sendEvent(done, &release);
  QCoreApplication::processEvents();
  EXPECT_FALSE(HiScoreForm().IsLoaded());
}

TEST_F(HiScoreWindowTest, DisplayBoxesHandTheFocusToTheHiddenPictureBox) {
  frmHiScore& w = HiScoreForm();
  w.Show();
  QApplication::setActiveWindow(w.window());
  for (platform::TextBox* box :
       {&w.txtName1, &w.txtName2, &w.txtName3, &w.txtScore1, &w.txtScore2, &w.txtScore3}) {
    w.cmdDone.SetFocus();
    box->SetFocus();
    EXPECT_TRUE(w.picDraw1.HasFocus()) << box->Name();
    EXPECT_EQ(w.ActiveControl(), &w.picDraw1) << box->Name();
  }

  // A click into a box, then typing: the keys go to the picture box, the text stays.
  QWidget* name = w.txtName1.widget();
  const QPointF at(3, 3);
  QMouseEvent press(QEvent::MouseButtonPress, at, name->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(name, &press);
  EXPECT_TRUE(w.picDraw1.HasFocus());
  SendKey(Qt::Key_X);
  EXPECT_EQ(w.txtName1.Text(), "Ann");

  // Tab moves only between Done and the picture box.
  w.cmdDone.SetFocus();
  SendKey(Qt::Key_Tab);
  EXPECT_TRUE(w.picDraw1.HasFocus());
  SendKey(Qt::Key_Tab);
  EXPECT_TRUE(w.cmdDone.HasFocus());

  // Done still closes the window with a click.
  w.cmdDone.PerformClick();
  EXPECT_FALSE(w.IsLoaded());
}

}  // namespace
}  // namespace cp::testing
