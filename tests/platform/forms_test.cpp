#include "platform/forms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "platform/forms_internal.h"
#include "platform/gdi.h"

namespace platform {
namespace {

using Strings = std::vector<std::string>;

// A form whose handlers each test sets.
class TestForm : public Form {
 public:
  explicit TestForm(FormDesign design = {.caption = "Test",
                                         .client_width = 320,
                                         .client_height = 240})
      : Form(std::move(design)) {}
  std::function<void()> design = [] {}, on_load = [] {};
  std::function<void(std::int16_t&)> on_unload = [](std::int16_t&) {};
  std::function<void(std::int16_t, std::int16_t)> on_key = [](std::int16_t, std::int16_t) {};

 protected:
  void Design() override { design(); }
  void Form_Load() override { on_load(); }
  void Form_Unload(std::int16_t& Cancel) override { on_unload(Cancel); }
  void Form_KeyDown(std::int16_t KeyCode, std::int16_t Shift) override { on_key(KeyCode, Shift); }
};

// A click as the window system delivers it: through the window, where modality applies.
void SystemClick(QWidget* widget) {
  QWidget* window = widget->window();
  QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                    widget->mapTo(window, QPoint(3, 3)));
}

TEST(FormTest, LoadsOnceBeforeItIsShownAndAfreshAfterAnUnload) {
  TestForm form;
  CommandButton cmdExit;
  Timer tLoop;
  int designs = 0, loads = 0, unloads = 0, ticks = 0;
  form.design = [&] {
    ++designs;
    cmdExit.Create(form, "cmdExit", {8, 8, 65, 25}, "Exit");
    tLoop.Create(form, "tLoop", 60);
  };
  form.on_load = [&] {
    ++loads;
    EXPECT_FALSE(form.IsVisible()) << "Form_Load runs before the window is on screen";
  };
  form.on_unload = [&](std::int16_t&) { ++unloads; };
  cmdExit.Click = [&] { form.Unload(); };
  tLoop.Tick = [&] { ++ticks; };
  form.Show();
  form.Show();
  EXPECT_EQ(designs, 1);
  EXPECT_EQ(loads, 1);
  EXPECT_TRUE(form.IsVisible());
  cmdExit.SetEnabled(false);
  cmdExit.PerformClick();  // disabled: ignored
  tLoop.Fire();
  EXPECT_TRUE(form.IsLoaded());

  // Unloading from inside a control's own handler.
  QPointer<QWidget> first_window = form.window(), first_button = cmdExit.widget();
  cmdExit.SetEnabled(true);
  cmdExit.PerformClick();
  form.Unload();  // not loaded: nothing runs
  tLoop.Fire();
  EXPECT_EQ(unloads, 1);
  EXPECT_EQ(ticks, 1) << "a timer stops with its form";
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_EQ(cmdExit.Caption(), "") << "a control of an unloaded form reads as empty";
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(first_window);
  EXPECT_FALSE(first_button);

  form.Show();
  EXPECT_EQ(designs, 2);
  EXPECT_EQ(loads, 2);
  EXPECT_EQ(cmdExit.Caption(), "Exit") << "the controls are made afresh";
  form.Unload();
}

TEST(TimerTest, TicksEveryIntervalWhileEnabledAndNeverAtIntervalZero) {
  TestForm form;
  Timer tLoop, tOff, tZero;
  int loop = 0, off = 0, zero = 0;
  form.design = [&] {
    tLoop.Create(form, "tLoop", 5);
    tOff.Create(form, "tOff", 5, false);
    tZero.Create(form, "tZero", 0);
  };
  tLoop.Tick = [&] { ++loop; };
  tOff.Tick = [&] { ++off; };
  tZero.Tick = [&] { ++zero; };
  form.Show();
  tZero.SetEnabled(true);
  EXPECT_EQ(tLoop.Interval(), 5);
  EXPECT_TRUE(QTest::qWaitFor([&] { return loop >= 3; }, 2000)) << "an enabled timer ticks";
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  for (Timer* t : {&tOff, &tZero}) t->Fire();  // like a tick: nothing while it cannot tick
  EXPECT_EQ(off, 0);
  EXPECT_EQ(zero, 0);
  const std::pair<const Timer*, bool> enabled[] = {{&tLoop, true}, {&tOff, false}, {&tZero, false}};
  for (const auto& [timer, on] : enabled) EXPECT_EQ(timer->Enabled(), on);
  form.Unload();
}

TEST(FormTest, AModalFormBlocksEverythingElseUntilItsCloseBoxUnloadsIt) {
  TestForm other, dialog;
  CommandButton cmdOther;
  other.design = [&] { cmdOther.Create(other, "cmdOther", {10, 10, 60, 20}, "Other"); };
  int other_clicks = 0, unloads = 0;
  cmdOther.Click = [&] { ++other_clicks; };
  dialog.on_unload = [&](std::int16_t& Cancel) { Cancel = ++unloads < 3 ? -1 : 0; };  // twice
  other.Show();
  Strings order;
  QPointer<QWidget> window;
  dialog.on_load = [&] {
    QTimer::singleShot(0, [&] {
      order.push_back("inside");
      window = dialog.window();
      EXPECT_EQ(QApplication::activeModalWidget(), window);
      SystemClick(cmdOther.widget());
      dialog.PerformClose();
      EXPECT_FALSE(window->close()) << "cancelled";  // as the window system's close box does
      EXPECT_TRUE(dialog.IsVisible());
      EXPECT_TRUE(window->close());
    });
  };
  dialog.Show(ShowMode::Modal);
  order.push_back("returned");
  EXPECT_EQ(order, (Strings{"inside", "returned"}));
  EXPECT_EQ(unloads, 3);
  EXPECT_EQ(other_clicks, 0) << "the other window took no input meanwhile";
  EXPECT_FALSE(dialog.IsLoaded());
  // The window was inside its own close event: it goes when the event loop next runs.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(window);
  SystemClick(cmdOther.widget());
  EXPECT_EQ(other_clicks, 1) << "and takes it again afterwards";
  other.Unload();
}

TEST(FormTest, OuterSizeInTwipsRoundTripsOverTheClientArea) {
  // 11 pixels of frame across; 37 of frame, caption and menu bar down.
  TestForm form({.client_width = 740,
                 .client_height = 640,
                 .outer_width_twips = 11265,
                 .outer_height_twips = 10155});
  MenuItem mnuExit;
  form.design = [&] { mnuExit.Create(form, "mnuExit", "&File", "E&xit"); };
  form.Show();
  EXPECT_EQ(form.client()->height(), 640) << "the menu bar lies outside the client area";
  EXPECT_EQ(form.OuterWidthTwips(), 11265);
  EXPECT_EQ(form.OuterHeightTwips(), 10155);
  form.SetOuterWidthTwips(12000);
  form.SetOuterHeightTwips(9000);
  EXPECT_EQ(form.OuterWidthTwips(), 12000);
  EXPECT_EQ(form.OuterHeightTwips(), 9000);
  EXPECT_EQ(form.ClientWidth(), 800 - 11);
  EXPECT_EQ(form.client()->height(), 600 - 37);
  EXPECT_EQ(form.window()->minimumSize(), form.window()->maximumSize()) << "a fixed border";
  form.Unload();
}

TEST(TextBoxTest, ChangeRunsPerChangeAndPerKeystrokeButNotForTheSameText) {
  for (const bool multi_line : {false, true}) {
    SCOPED_TRACE(multi_line ? "multi-line" : "single line");
    TestForm form;
    TextBox txtWager;
    TextBoxStyle style;
    style.multi_line = multi_line;
    form.design = [&] { txtWager.Create(form, "txtWager", {10, 10, 80, 40}, "50", style); };
    Strings seen;
    txtWager.Change = [&] { seen.push_back(txtWager.Text()); };
    form.Show();
    for (const char* text : {"50", "60", "50", "50", ""}) txtWager.SetText(text);
    txtWager.TypeText("12");
    // The text it holds already is no change; a change back to an earlier text is one.
    EXPECT_EQ(seen, (Strings{"60", "50", "", "1", "12"}));
    if (auto* line = dynamic_cast<QLineEdit*>(txtWager.widget())) {
      line->setSelection(0, 1);
      txtWager.TypeText("7");
      EXPECT_EQ(txtWager.Text(), "72") << "typing replaces the selection";
    }
    form.Unload();
  }
}

TEST(TextBoxTest, ACorrectionInsideChangeRunsChangeAgainNested) {
  TestForm form;
  TextBox txtWager;
  const TextBoxStyle style;
  form.design = [&] { txtWager.Create(form, "txtWager", {10, 10, 80, 20}, "50", style); };
  Strings events;
  int depth = 0;
  txtWager.Change = [&] {
    events.push_back("enter " + txtWager.Text() + " depth " + std::to_string(++depth));
    if (txtWager.Text().find_first_not_of("0123456789") != std::string::npos)
      txtWager.SetText("1");  // the correction
    events.push_back("leave " + txtWager.Text());
    --depth;
  };
  form.Show();
  txtWager.TypeText("x");
  EXPECT_EQ(events, (Strings{"enter 50x depth 1", "enter 1 depth 2", "leave 1", "leave 1"}));
  EXPECT_EQ(txtWager.Text(), "1");
  form.Unload();
}

TEST(FocusTest, AFocusHandlerCanHandTheFocusOn) {
  TestForm form;
  TextBox txtScore;
  PictureBox picDraw1;
  CommandButton cmdDeal;
  const TextBoxStyle style;
  form.design = [&] {
    cmdDeal.Create(form, "cmdDeal", {0, 0, 60, 20}, "Deal");
    txtScore.Create(form, "txtScore", {0, 30, 100, 20}, "", style);
    picDraw1.Create(form, "picDraw1", {0, 60, 59, 79});
  };
  int got = 0;
  txtScore.GotFocus = [&] {
    ++got;
    picDraw1.SetFocus();
  };
  form.Show();
  form.SetTabOrder({&cmdDeal, &txtScore, &picDraw1});
  // The box is reached by the program, by Tab and by a click: each runs the handler.
  const std::vector<std::function<void()>> ways = {
      [&] { txtScore.SetFocus(); }, [&] { form.PerformKeyDown(9, 0); },
      [&] { QTest::mouseClick(txtScore.widget(), Qt::LeftButton, {}, QPoint(5, 5)); }};
  for (std::size_t i = 0; i < ways.size(); ++i) {
    cmdDeal.SetFocus();
    ASSERT_EQ(form.ActiveControl(), &cmdDeal);
    ways[i]();
    EXPECT_EQ(got, static_cast<int>(i) + 1);
    EXPECT_EQ(form.ActiveControl(), &picDraw1) << "way " << i;
    EXPECT_FALSE(txtScore.HasFocus());
  }
  // A hidden or disabled control neither takes the focus nor brings its window forward; a
  // control of a window that is not the active one takes it at once.
  TestForm other;
  other.Show();
  for (const int way : {0, 1, 2}) {  // hidden, disabled, shown and enabled
    cmdDeal.SetFocus();
    QApplication::setActiveWindow(other.window());
    picDraw1.SetVisible(way != 0);
    picDraw1.SetEnabled(way != 1);
    picDraw1.SetFocus();
    EXPECT_EQ(form.window()->isActiveWindow(), way == 2) << way;
    EXPECT_EQ(form.ActiveControl(), way == 2 ? static_cast<Control*>(&picDraw1) : &cmdDeal) << way;
  }
  other.Unload();
  form.Unload();
}

TEST(KeyPreviewTest, TheFormSeesKeysBeforeTheFocusedTextBox) {
  TestForm form({.client_width = 320, .client_height = 240, .key_preview = true});
  TextBox txtWager;
  const TextBoxStyle style;
  form.design = [&] { txtWager.Create(form, "txtWager", {10, 10, 80, 20}, "5", style); };
  Strings keys;
  form.on_key = [&](std::int16_t code, std::int16_t shift) {
    keys.push_back(std::to_string(code) + "/" + std::to_string(shift) + " " + txtWager.Text());
  };
  form.Show();
  txtWager.SetFocus();
  ASSERT_TRUE(txtWager.HasFocus());
  form.PerformKeyDown(vbKeyF2, 0);
  form.PerformKeyDown(vbKeyF2, vbShiftMask | vbCtrlMask);
  form.PerformKeyDown('0', 0);  // the box has not taken the digit when the form hears it
  EXPECT_EQ(keys, (Strings{"113/0 5", "113/3 5", "48/0 5"}));
  EXPECT_EQ(txtWager.Text(), "50");

  // Straight to the box: refused there, F2 climbs to the parents, but is heard once.
  keys.clear();
  QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::AltModifier);
  QApplication::sendEvent(txtWager.widget(), &f2);
  QTest::keyClick(form.window()->windowHandle(), Qt::Key_F2, Qt::ShiftModifier);
  EXPECT_EQ(keys, (Strings{"113/4 50", "16/1 50", "113/1 50"})) << "Shift goes down first";
  form.Unload();

  // Without key preview the form hears only the keys that no control took.
  TestForm plain;
  TextBox txtPlain;
  plain.design = [&] { txtPlain.Create(plain, "txtPlain", {10, 10, 80, 20}, "5", style); };
  plain.on_key = [&](std::int16_t code, std::int16_t shift) {
    keys.push_back(std::to_string(code) + "/" + std::to_string(shift) + " " + txtPlain.Text());
  };
  keys.clear();
  plain.Show();
  txtPlain.SetFocus();
  for (const auto key : {Qt::Key_7, Qt::Key_F2})
    QTest::keyClick(plain.window()->windowHandle(), key);
  EXPECT_EQ(keys, Strings{"113/0 57"});
  EXPECT_EQ(txtPlain.Text(), "57");
  plain.Unload();
}

TEST(ImageTest, FollowsThePointerAndClicksOnlyWhenReleasedOnIt) {
  TestForm form;
  Image imgGo;
  form.design = [&] { imgGo.Create(form, "imgGo", {20, 20, 50, 30}, ""); };
  int moves = 0, clicks = 0;
  imgGo.MouseMove = [&] { ++moves; };
  imgGo.Click = [&] { ++clicks; };
  form.Show();
  QWindow* window = form.window()->windowHandle();
  QTest::mouseMove(window, {5, 5});  // the bare window
  QTest::mouseMove(window, {30, 30});
  EXPECT_EQ(moves, 1);
  QTest::mousePress(window, Qt::LeftButton, {}, {30, 30});
  QTest::mouseRelease(window, Qt::LeftButton, {}, {100, 100});  // released off it
  EXPECT_EQ(clicks, 0);
  QTest::mouseClick(window, Qt::LeftButton, {}, {60, 40});
  EXPECT_EQ(clicks, 1);
  form.Unload();
}

TEST(PictureBoxTest, RepaintsOnlyWhenACopyChangesPixels) {
  TestForm form;
  PictureBox picDraw1, picBlue;
  form.design = [&] {
    picDraw1.Create(form, "picDraw1", {10, 10, 59, 79});
    picBlue.Create(form, "picBlue", {100, 10, 20, 20},
                   {.border = false, .back_color = QColor(0, 0, 255)});
  };
  const int live = LiveGdiObjectCount();
  form.Show();
  EXPECT_EQ(LiveGdiObjectCount(), live) << "a box's context is not the program's to free";
  EXPECT_EQ(picDraw1.SurfaceWidth(), 57) << "inside the border";
  EXPECT_EQ(picDraw1.SurfaceHeight(), 77);
  const HDC box = picDraw1.hDC();
  EXPECT_EQ(GetPixel(box, 0, 0), 0xFFFFFFu) << "starts in its back colour";
  const int before = picDraw1.RepaintRequests();
  ASSERT_NE(BitBlt(box, 0, 0, 57, 77, 0, 0, 0, BLACKNESS), 0);
  EXPECT_EQ(picDraw1.RepaintRequests(), before + 1);
  for (std::uint32_t rop : {BLACKNESS, SRCCOPY, SRCAND, SRCPAINT})  // black onto black
    ASSERT_NE(BitBlt(box, 0, 0, 57, 77, box, 0, 0, rop), 0);
  EXPECT_EQ(picDraw1.RepaintRequests(), before + 1) << "unchanged pixels cost no repaint";
  BitBlt(box, 20, 30, 3, 2, picBlue.hDC(), 0, 0, SRCCOPY);
  EXPECT_EQ(picDraw1.RepaintRequests(), before + 2);

  // On screen, inside the border: surface (20, 30) is at (21, 31).
  const QImage shot = picDraw1.widget()->grab().toImage();
  EXPECT_EQ(shot.pixel(20, 31), 0xFF000000u);
  EXPECT_EQ(shot.pixel(21, 31), 0xFF0000FFu);
  EXPECT_EQ(shot.pixel(23, 32), 0xFF0000FFu);
  EXPECT_EQ(shot.pixel(24, 32), 0xFF000000u);

  // A whole picture copied in twice costs one repaint, and drawing on its buffer later
  // leaves the box with what was copied.
  const HDC buffer = CreateCompatibleDC(0);
  const HBITMAP bitmap = CreateCompatibleBitmap(buffer, 57, 77);
  const HGDIOBJ initial = SelectObject(buffer, bitmap);
  BitBlt(buffer, 5, 5, 10, 10, picBlue.hDC(), 0, 0, SRCCOPY);
  const int copied = picDraw1.RepaintRequests();
  for (int i = 0; i < 2; ++i) BitBlt(box, 0, 0, 57, 77, buffer, 0, 0, SRCCOPY);
  EXPECT_EQ(picDraw1.RepaintRequests(), copied + 1);
  BitBlt(buffer, 0, 0, 57, 77, 0, 0, 0, BLACKNESS);
  EXPECT_EQ(GetPixel(box, 5, 5), 0xFF0000u) << "still the blue that was copied";
  EXPECT_EQ(GetPixel(box, 20, 30), 0u);
  SelectObject(buffer, initial);
  DeleteObject(bitmap);
  DeleteDC(buffer);

  // Unloading releases the box's context; a new load gives a new one.
  form.Unload();
  EXPECT_EQ(picDraw1.hDC(), 0u);
  EXPECT_EQ(BitBlt(box, 0, 0, 57, 77, 0, 0, 0, BLACKNESS), 0);
  EXPECT_EQ(GetPixel(box, 0, 0), kClrInvalid);
  form.Show();
  EXPECT_NE(picDraw1.hDC(), box);
  form.Unload();
}

}  // namespace
}  // namespace platform
