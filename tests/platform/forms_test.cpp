#include "platform/forms.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "platform/forms_internal.h"
#include "platform/gdi.h"

namespace platform {
namespace {

FormDesign SmallDesign() {
  FormDesign design;
  design.caption = "Test";
  design.client_width = 320;
  design.client_height = 240;
  return design;
}

// A form whose handlers are set by each test.
class TestForm : public Form {
 public:
  explicit TestForm(FormDesign design = SmallDesign()) : Form(std::move(design)) {}
  std::function<void()> design, on_load, on_resize, on_mouse_move;
  std::function<void(std::int16_t&)> on_unload;
  std::function<void(std::int16_t, std::int16_t)> on_key;
  int designs = 0, loads = 0, resizes = 0, unloads = 0;
  bool visible_at_load = true;

 protected:
  void Design() override {
    ++designs;
    if (design) design();
  }
  void Form_Load() override {
    ++loads;
    visible_at_load = IsVisible();
    if (on_load) on_load();
  }
  void Form_Unload(std::int16_t& Cancel) override {
    ++unloads;
    if (on_unload) on_unload(Cancel);
  }
  void Form_KeyDown(std::int16_t KeyCode, std::int16_t Shift) override {
    if (on_key) on_key(KeyCode, Shift);
  }
  void Form_Resize() override {
    ++resizes;
    if (on_resize) on_resize();
  }
  void Form_MouseMove() override {
    if (on_mouse_move) on_mouse_move();
  }
};

// ---------------------------------------------------------------------------------------
// Loading, showing, unloading

TEST(FormTest, LoadsOnceBeforeItIsDrawnAndAfreshAfterAnUnload) {
  TestForm form;
  CommandButton cmdGo;
  form.design = [&] { cmdGo.Create(form, "cmdGo", {8, 8, 65, 25}, "Go"); };
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_EQ(cmdGo.widget(), nullptr);
  EXPECT_FALSE(cmdGo.Visible());

  form.Show();
  form.Show();
  EXPECT_EQ(form.designs, 1);
  EXPECT_EQ(form.loads, 1);
  EXPECT_FALSE(form.visible_at_load) << "Form_Load runs before the window is on screen";
  EXPECT_TRUE(form.IsVisible());
  QPointer<QWidget> first_window = form.window();
  QPointer<QWidget> first_button = cmdGo.widget();
  ASSERT_TRUE(first_button);
  EXPECT_EQ(cmdGo.Caption(), "Go");

  form.Unload();
  EXPECT_EQ(form.unloads, 1);
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_FALSE(first_window) << "the window is destroyed";
  EXPECT_FALSE(first_button);
  EXPECT_EQ(cmdGo.Caption(), "");
  form.Unload();  // not loaded: nothing runs
  EXPECT_EQ(form.unloads, 1);

  form.Show();
  EXPECT_EQ(form.designs, 2);
  EXPECT_EQ(form.loads, 2);
  EXPECT_TRUE(cmdGo.widget());
  EXPECT_NE(cmdGo.widget(), first_button.data());
  form.Unload();
}

TEST(FormTest, TheCloseBoxUnloadsUnlessCancelled) {
  TestForm form;
  bool cancel = true;
  form.on_unload = [&](std::int16_t& Cancel) { Cancel = cancel ? -1 : 0; };
  form.Show();
  form.PerformClose();
  EXPECT_EQ(form.unloads, 1);
  EXPECT_TRUE(form.IsLoaded());
  EXPECT_TRUE(form.IsVisible());
  form.window()->close();  // what the window system's close box does
  EXPECT_EQ(form.unloads, 2);
  EXPECT_TRUE(form.IsVisible());

  cancel = false;
  QPointer<QWidget> window = form.window();
  ASSERT_TRUE(window->close());
  EXPECT_EQ(form.unloads, 3);
  EXPECT_FALSE(form.IsLoaded());
  // The window was in its own close event: it goes when the event loop next runs.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(window);
}

TEST(FormTest, UnloadFromAControlsOwnHandlerIsSafe) {
  TestForm form;
  CommandButton cmdExit;
  Timer tLoop;
  int ticks = 0;
  form.design = [&] {
    cmdExit.Create(form, "cmdExit", {0, 0, 60, 20}, "Exit");
    tLoop.Create(form, "tLoop", 60);
  };
  cmdExit.Click = [&] {
    form.Unload();
    EXPECT_FALSE(cmdExit.Visible()) << "the control reads as not loaded at once";
  };
  tLoop.Tick = [&] { ++ticks; };
  form.Show();
  QPointer<QWidget> button = cmdExit.widget();
  cmdExit.PerformClick();
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_FALSE(tLoop.Enabled());
  tLoop.Fire();
  EXPECT_EQ(ticks, 0) << "a timer stops with its form";
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(button);
}

// A click as the window system delivers it (through the window, where modality applies).
void SystemClick(QWidget* widget) {
  QWidget* window = widget->window();
  QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                    widget->mapTo(window, QPoint(3, 3)));
}

TEST(FormTest, ModalShowBlocksTheCallerUntilTheFormIsUnloaded) {
  TestForm other, dialog;
  CommandButton cmdOther;
  other.design = [&] { cmdOther.Create(other, "cmdOther", {10, 10, 60, 20}, "Other"); };
  int other_clicks = 0;
  cmdOther.Click = [&] { ++other_clicks; };
  other.Show();
  std::vector<std::string> order;
  QWidget* modal_seen = nullptr;
  dialog.on_load = [&] {
    QTimer::singleShot(0, [&] {
      order.push_back("inside");
      modal_seen = QApplication::activeModalWidget();
      SystemClick(cmdOther.widget());
      dialog.Unload();
    });
  };
  dialog.Show(ShowMode::Modal);
  order.push_back("returned");
  EXPECT_EQ(order, (std::vector<std::string>{"inside", "returned"}));
  EXPECT_EQ(modal_seen, dialog.window() ? dialog.window() : modal_seen);
  EXPECT_NE(modal_seen, nullptr);
  EXPECT_EQ(other_clicks, 0) << "the other window takes no input meanwhile";
  EXPECT_FALSE(dialog.IsLoaded());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  SystemClick(cmdOther.widget());
  EXPECT_EQ(other_clicks, 1) << "and takes it again afterwards";

  // Hiding ends the modal show too; the form stays loaded and is modeless afterwards.
  dialog.on_load = [&] { QTimer::singleShot(0, [&] { dialog.Hide(); }); };
  dialog.Show(ShowMode::Modal);
  EXPECT_TRUE(dialog.IsLoaded());
  EXPECT_FALSE(dialog.IsVisible());
  EXPECT_EQ(dialog.window()->windowModality(), Qt::NonModal);
  dialog.Unload();
  other.Unload();
}

TEST(FormTest, ClosingAModalFormByItsCloseBoxReturnsToTheCaller) {
  TestForm dialog;
  dialog.on_load = [&] { QTimer::singleShot(0, [&] { dialog.PerformClose(); }); };
  dialog.Show(ShowMode::Modal);
  EXPECT_FALSE(dialog.IsLoaded());
  EXPECT_EQ(dialog.unloads, 1);
}

// ---------------------------------------------------------------------------------------
// Size and state

TEST(FormTest, OuterSizeInTwipsMapsOntoTheClientArea) {
  FormDesign design = SmallDesign();
  design.client_width = 740;
  design.client_height = 640;
  design.outer_width_twips = 11265;   // 751 pixels: 11 of frame
  design.outer_height_twips = 10155;  // 677 pixels: 37 of frame, caption and menu
  TestForm form(design);
  MenuItem mnuExit;
  form.design = [&] { mnuExit.Create(form, "mnuExit", "&File", "E&xit"); };
  form.Show();
  EXPECT_EQ(form.ClientWidth(), 740);
  EXPECT_EQ(form.ClientHeight(), 640) << "the menu bar lies outside the client area";
  EXPECT_EQ(form.client()->height(), 640);
  EXPECT_EQ(form.OuterWidthTwips(), 11265);
  EXPECT_EQ(form.OuterHeightTwips(), 10155);

  form.SetOuterWidthTwips(12000);
  form.SetOuterHeightTwips(9000);
  EXPECT_EQ(form.OuterWidthTwips(), 12000);
  EXPECT_EQ(form.OuterHeightTwips(), 9000);
  EXPECT_EQ(form.ClientWidth(), 800 - 11);
  EXPECT_EQ(form.ClientHeight(), 600 - 37);
  EXPECT_EQ(form.client()->height(), 600 - 37);

  // A fixed border: the user cannot resize, the program still can.
  EXPECT_EQ(form.window()->minimumSize(), form.window()->maximumSize());
  form.Unload();
}

TEST(FormTest, AResizeHandlerCanHoldTheSizeWithoutLooping) {
  FormDesign design = SmallDesign();
  design.sizable = true;
  design.client_width = 740;
  design.client_height = 640;
  design.outer_width_twips = 11265;
  design.outer_height_twips = 10155;
  TestForm form(design);
  form.on_resize = [&] {
    if (form.State() == WindowState::Normal) {
      form.SetOuterHeightTwips(10155);
      form.SetOuterWidthTwips(11265);
    }
  };
  form.Show();
  form.resizes = 0;
  form.window()->resize(500, 500);  // as the user would drag the frame
  EXPECT_EQ(form.OuterWidthTwips(), 11265);
  EXPECT_EQ(form.OuterHeightTwips(), 10155);
  EXPECT_EQ(form.ClientWidth(), 740);
  EXPECT_LE(form.resizes, 3);
  const int settled = form.resizes;
  form.SetOuterHeightTwips(10155);
  form.SetOuterWidthTwips(11265);
  EXPECT_EQ(form.resizes, settled) << "a size that is already right raises no event";
  form.Unload();
}

TEST(FormTest, ResizeRunsForSizeAndStateChanges) {
  FormDesign design = SmallDesign();
  design.sizable = true;
  design.max_button = true;
  TestForm form(design);
  std::vector<WindowState> states;
  form.on_resize = [&] { states.push_back(form.State()); };
  form.Show();
  EXPECT_GE(form.resizes, 1) << "the first showing counts as a resize";
  states.clear();
  form.SetState(WindowState::Minimized);
  EXPECT_EQ(form.State(), WindowState::Minimized);
  ASSERT_FALSE(states.empty());
  EXPECT_EQ(states.back(), WindowState::Minimized);
  form.SetState(WindowState::Normal);
  EXPECT_EQ(states.back(), WindowState::Normal);
  EXPECT_EQ(form.window()->minimumSize(), QSize(0, 0)) << "sizable";
  form.Unload();
}

TEST(FormTest, DesignPropertiesReachTheWindow) {
  QTemporaryDir dir;
  QImage picture(10, 10, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(dir.filePath("back.bmp")));
  FormDesign design = SmallDesign();
  design.back_color = QColor(0, 128, 0);
  design.picture_path = dir.path().toStdString() + "\\back.bmp";
  design.icon_path = dir.path().toStdString() + "\\back.bmp";
  design.show_caption = false;
  design.caption = "Hidden";
  TestForm form(design);
  form.Show();
  EXPECT_EQ(form.Caption(), "Hidden");
  EXPECT_TRUE(form.window()->windowTitle().trimmed().isEmpty());
  EXPECT_FALSE(form.window()->windowIcon().isNull());
  EXPECT_EQ(form.window()->findChild<QMenuBar*>(), nullptr) << "no menu items, no menu bar";
  const QImage shot = form.client()->grab().toImage();
  EXPECT_EQ(QColor(shot.pixel(5, 5)), QColor(Qt::red)) << "picture from the top-left";
  EXPECT_EQ(QColor(shot.pixel(50, 50)), QColor(0, 128, 0)) << "back colour elsewhere";
  form.SetCaption("Shown?");
  EXPECT_TRUE(form.window()->windowTitle().trimmed().isEmpty());
  form.Unload();
}

// ---------------------------------------------------------------------------------------
// Text boxes and focus

TEST(TextBoxTest, ChangeRunsForEveryChangeButNotForTheSameText) {
  TestForm form;
  TextBox txtWager;
  form.design = [&] { txtWager.Create(form, "txtWager", {10, 10, 80, 20}, "50"); };
  std::vector<std::string> seen;
  txtWager.Change = [&] { seen.push_back(txtWager.Text()); };
  form.Show();
  EXPECT_TRUE(seen.empty()) << "creating the box with its text is no change";

  txtWager.SetText("50");
  EXPECT_TRUE(seen.empty());
  txtWager.SetText("60");
  txtWager.SetText("");
  EXPECT_EQ(seen, (std::vector<std::string>{"60", ""}));

  // Typing: once per keystroke, replacing the selection at the caret.
  seen.clear();
  txtWager.TypeText("12");
  EXPECT_EQ(seen, (std::vector<std::string>{"1", "12"}));
  static_cast<QLineEdit*>(txtWager.widget())->setSelection(0, 1);
  txtWager.TypeText("7");
  EXPECT_EQ(txtWager.Text(), "72");
  form.Unload();
}

TEST(TextBoxTest, ACorrectionInsideChangeRunsChangeAgainNested) {
  TestForm form;
  TextBox txtWager;
  form.design = [&] { txtWager.Create(form, "txtWager", {10, 10, 80, 20}, "50"); };
  std::vector<std::string> events;
  int depth = 0;
  txtWager.Change = [&] {
    ++depth;
    events.push_back("enter " + txtWager.Text() + " depth " + std::to_string(depth));
    if (txtWager.Text() != "" &&
        txtWager.Text().find_first_not_of("0123456789") != std::string::npos)
      txtWager.SetText("1");  // the correction
    events.push_back("leave " + txtWager.Text());
    --depth;
  };
  form.Show();
  txtWager.TypeText("x");  // "50x"
  EXPECT_EQ(events, (std::vector<std::string>{"enter 50x depth 1", "enter 1 depth 2", "leave 1",
                                              "leave 1"}));
  EXPECT_EQ(txtWager.Text(), "1");
  form.Unload();
}

TEST(TextBoxTest, MultiLineBoxesWrapAndCentre) {
  TestForm form;
  TextBox txtInfo;
  form.design = [&] {
    TextBoxStyle style;
    style.multi_line = true;
    style.align = TextAlign::Center;
    txtInfo.Create(form, "txtInfo", {0, 0, 120, 60}, "", style);
  };
  int changes = 0;
  txtInfo.Change = [&] { ++changes; };
  form.Show();
  txtInfo.SetText("You Win! You have beaten the computer");
  EXPECT_EQ(changes, 1);
  txtInfo.SetText("You Win! You have beaten the computer");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(txtInfo.Text(), "You Win! You have beaten the computer");
  auto* edit = dynamic_cast<QTextEdit*>(txtInfo.widget());
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->document()->defaultTextOption().alignment(), Qt::AlignHCenter);
  EXPECT_GT(edit->document()->documentLayout()->documentSize().height(),
            2 * QFontMetrics(edit->font()).height())
      << "the long line wraps";
  txtInfo.TypeText("!");
  EXPECT_EQ(changes, 2);
  form.Unload();
}

TEST(FocusTest, AFocusHandlerCanHandTheFocusOn) {
  TestForm form;
  TextBox txtScore;
  PictureBox picDraw1;
  CommandButton cmdDeal;
  form.design = [&] {
    cmdDeal.Create(form, "cmdDeal", {0, 0, 60, 20}, "Deal");
    txtScore.Create(form, "txtScore", {0, 30, 100, 20}, "");
    picDraw1.Create(form, "picDraw1", {0, 60, 59, 79});
  };
  int got = 0;
  txtScore.GotFocus = [&] {
    ++got;
    picDraw1.SetFocus();
  };
  form.Show();
  form.SetTabOrder({&cmdDeal, &txtScore, &picDraw1});

  txtScore.SetFocus();
  EXPECT_EQ(got, 1);
  EXPECT_TRUE(picDraw1.HasFocus());
  EXPECT_FALSE(txtScore.HasFocus());
  EXPECT_EQ(form.ActiveControl(), &picDraw1);

  // Reaching the box with Tab runs the same handler.
  cmdDeal.SetFocus();
  EXPECT_EQ(form.ActiveControl(), &cmdDeal);
  form.PerformKeyDown(9, 0);
  EXPECT_EQ(got, 2);
  EXPECT_EQ(form.ActiveControl(), &picDraw1);

  // A click gives focus as well.
  cmdDeal.SetFocus();
  QTest::mouseClick(txtScore.widget(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(got, 3);
  EXPECT_EQ(form.ActiveControl(), &picDraw1);
  form.Unload();
}

TEST(KeyPreviewTest, TheFormSeesKeysBeforeTheFocusedControl) {
  FormDesign design = SmallDesign();
  design.key_preview = true;
  TestForm form(design);
  TextBox txtWager;
  form.design = [&] { txtWager.Create(form, "txtWager", {10, 10, 80, 20}, "5"); };
  std::vector<std::string> keys;
  form.on_key = [&](std::int16_t code, std::int16_t shift) {
    keys.push_back(std::to_string(code) + "/" + std::to_string(shift) + " text " + txtWager.Text());
  };
  form.Show();
  txtWager.SetFocus();
  ASSERT_TRUE(txtWager.HasFocus());

  form.PerformKeyDown(vbKeyF2, 0);
  form.PerformKeyDown(vbKeyF2, vbShiftMask | vbCtrlMask);
  form.PerformKeyDown('0', 0);  // the box has not taken the digit yet when the form hears it
  EXPECT_EQ(keys, (std::vector<std::string>{"113/0 text 5", "113/3 text 5", "48/0 text 5"}));
  EXPECT_EQ(txtWager.Text(), "50");

  // A key sent straight to the box, as the window system does: F2 is refused by the box
  // and climbs to its parents, but the form hears it once.
  keys.clear();
  QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::AltModifier);
  QApplication::sendEvent(txtWager.widget(), &f2);
  EXPECT_EQ(keys, (std::vector<std::string>{"113/4 text 50"}));

  // And through the window system.
  keys.clear();
  QTest::keyClick(form.window()->windowHandle(), Qt::Key_F2, Qt::ShiftModifier);
  QTest::keyClick(form.window()->windowHandle(), Qt::Key_Escape);
  EXPECT_EQ(keys, (std::vector<std::string>{"16/1 text 50", "113/1 text 50", "27/0 text 50"}))
      << "Shift goes down first, as on Windows";
  form.Unload();
}

TEST(KeyPreviewTest, WindowsKeyCodesRoundTrip) {
  for (int code : {8,   9,   13,  16,  17,  18,  27,  32,  33,  37,  40,  46,  48,
                   57,  65,  90,  96,  105, 106, 107, 109, 110, 111, 112, 113, 123,
                   186, 187, 188, 189, 190, 191, 192, 219, 220, 221, 222}) {
    const Qt::KeyboardModifiers keypad =
        code >= 96 && code <= 111 ? Qt::KeypadModifier : Qt::NoModifier;
    EXPECT_EQ(detail::VirtualKeyFromQt(detail::QtKeyFromVirtualKey(code), keypad), code);
  }
  EXPECT_EQ(detail::VirtualKeyFromQt(Qt::Key_Exclam, Qt::ShiftModifier), 49);
  EXPECT_EQ(detail::ShiftStateFromQt(Qt::ShiftModifier | Qt::AltModifier), 5);
}

// ---------------------------------------------------------------------------------------
// Other controls

TEST(ControlTest, VisibleIsTheControlsOwnFlagAndStackingFollowsCreation) {
  TestForm form;
  Label lblA, lblB;
  form.design = [&] {
    lblA.Create(form, "lblA", {0, 0, 50, 20}, "A");
    lblB.Create(form, "lblB", {10, 5, 50, 20}, "B");
  };
  form.Load();
  EXPECT_FALSE(form.IsVisible());
  EXPECT_TRUE(lblA.Visible()) << "shown on a form that is not on screen yet";
  EXPECT_EQ(form.client()->childAt(15, 10), lblB.widget()) << "later lies on top";
  lblB.SetVisible(false);
  EXPECT_FALSE(lblB.Visible());
  EXPECT_EQ(form.client()->childAt(15, 10), lblA.widget());
  lblA.SetEnabled(false);
  EXPECT_FALSE(lblA.Enabled());
  lblA.SetLeft(100);
  lblA.SetTop(50);
  EXPECT_EQ(lblA.Left(), 100);
  EXPECT_EQ(lblA.Top(), 50);
  EXPECT_EQ(lblA.Width(), 50);
  EXPECT_EQ(lblA.Caption(), "A");
  form.Unload();
}

TEST(ControlTest, ButtonsAndMenuItemsIgnoreClicksWhileDisabled) {
  TestForm form;
  CommandButton cmdDeal;
  MenuItem mnuNewGame;
  form.design = [&] {
    cmdDeal.Create(form, "cmdDeal", {0, 0, 60, 20}, "&Deal");
    mnuNewGame.Create(form, "mnuNewGame", "&Game", "New Game");
  };
  int deals = 0, news = 0;
  cmdDeal.Click = [&] { ++deals; };
  mnuNewGame.Click = [&] { ++news; };
  form.Show();
  cmdDeal.PerformClick();
  mnuNewGame.Trigger();
  cmdDeal.SetEnabled(false);
  mnuNewGame.SetEnabled(false);
  cmdDeal.PerformClick();
  mnuNewGame.Trigger();
  cmdDeal.SetEnabled(true);
  cmdDeal.SetVisible(false);
  cmdDeal.PerformClick();
  EXPECT_EQ(deals, 1);
  EXPECT_EQ(news, 1);
  mnuNewGame.SetCaption("@ 1 Com");
  EXPECT_EQ(mnuNewGame.Caption(), "@ 1 Com");
  EXPECT_FALSE(mnuNewGame.Enabled());
  form.Unload();
  EXPECT_FALSE(mnuNewGame.Enabled());
  mnuNewGame.Trigger();
  EXPECT_EQ(news, 1);
}

TEST(ControlTest, ImagesReportPointerAndClicksAndTheBareWindowItsOwnMoves) {
  QTemporaryDir dir;
  QImage picture(190, 32, QImage::Format_RGB32);
  picture.fill(Qt::blue);
  ASSERT_TRUE(picture.save(dir.filePath("newgame1.bmp")));
  TestForm form;
  Image imgNewGame1, imgMissing;
  form.design = [&] {
    imgNewGame1.Create(form, "imgNewGame1", {20, 20, 190, 32},
                       dir.path().toStdString() + "\\newgame1.bmp");
    imgMissing.Create(form, "imgMissing", {20, 100, 190, 32}, "/no/such.bmp");
  };
  int moves = 0, clicks = 0, bare = 0;
  imgNewGame1.MouseMove = [&] { ++moves; };
  imgNewGame1.Click = [&] { ++clicks; };
  form.on_mouse_move = [&] { ++bare; };
  form.Show();
  EXPECT_TRUE(imgNewGame1.PictureLoaded());
  EXPECT_FALSE(imgMissing.PictureLoaded());

  auto move_to = [](QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
  };
  move_to(imgNewGame1.widget(), {5, 5});
  move_to(form.client(), {5, 5});     // bare
  move_to(form.client(), {30, 110});  // over the blank image: not bare
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(bare, 1);
  imgNewGame1.SetVisible(false);
  move_to(form.client(), {30, 30});  // the hidden image no longer counts
  EXPECT_EQ(bare, 2);
  imgNewGame1.PerformMouseMove();  // hidden: no event
  imgNewGame1.SetVisible(true);
  imgNewGame1.PerformMouseMove();
  imgNewGame1.PerformClick();
  form.PerformMouseMove();
  EXPECT_EQ(moves, 2);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(bare, 3);
  const QImage shot = imgNewGame1.widget()->grab().toImage();
  EXPECT_EQ(QColor(shot.pixel(100, 16)), QColor(Qt::blue));
  form.Unload();
}

TEST(ControlTest, ProgressBarKeepsItsFloatAndShowsItsRounding) {
  TestForm form;
  ProgressBar barLoad;
  form.design = [&] { barLoad.Create(form, "barLoad", {80, 200, 150, 25}); };
  form.Show();
  auto* bar = static_cast<QProgressBar*>(barLoad.widget());
  EXPECT_EQ(barLoad.Value(), 0.0f);
  barLoad.SetValue(37.6f);
  EXPECT_EQ(barLoad.Value(), 37.6f);
  EXPECT_EQ(bar->value(), 38);
  barLoad.SetValue(barLoad.Value() + 25);
  EXPECT_FLOAT_EQ(barLoad.Value(), 62.6f);
  barLoad.SetValue(150);
  EXPECT_EQ(barLoad.Value(), 100.0f);
  barLoad.SetValue(-1);
  EXPECT_EQ(barLoad.Value(), 0.0f);
  form.Unload();
  EXPECT_EQ(barLoad.Value(), 0.0f);
}

TEST(ControlTest, TimersTickOnTheirIntervalWhileEnabled) {
  TestForm form;
  Timer tGameLoop;
  form.design = [&] { tGameLoop.Create(form, "tGameLoop", 5); };
  int ticks = 0;
  tGameLoop.Tick = [&] { ++ticks; };
  form.Load();
  EXPECT_EQ(tGameLoop.Interval(), 5);
  EXPECT_TRUE(tGameLoop.Enabled());
  tGameLoop.Fire();
  EXPECT_EQ(ticks, 1);
  QEventLoop wait;
  QTimer::singleShot(60, &wait, &QEventLoop::quit);
  wait.exec();
  EXPECT_GE(ticks, 3) << "the real timer ticks as well";
  tGameLoop.SetEnabled(false);
  const int stopped = ticks;
  tGameLoop.Fire();
  EXPECT_EQ(ticks, stopped);
  form.Unload();
  EXPECT_EQ(tGameLoop.Interval(), 0);
}

TEST(FontTest, TheEraFontsFitTheirBoxes) {
  const QFont bold12 = detail::MapFont({"MS Sans Serif", 12, true});
  EXPECT_TRUE(bold12.bold());
  const QFontMetrics metrics(bold12);
  EXPECT_LE(metrics.horizontalAdvance("Your Current Score : 100"), 305 - 6);
  EXPECT_LE(metrics.height(), 23 - 2);
  detail::EnsureApplicationFont();
  const QFontMetrics standard(QApplication::font());
  EXPECT_EQ(QApplication::font().pixelSize(), 11) << "8 points on a 96 dpi screen";
  EXPECT_EQ(QFontInfo(bold12).family(), "DejaVu Sans");
}

// ---------------------------------------------------------------------------------------
// Picture boxes

TEST(PictureBoxTest, CopiesRepaintOnlyWhatChanged) {
  TestForm form;
  PictureBox picDraw1, picPlain;
  form.design = [&] {
    picDraw1.Create(form, "picDraw1", {10, 10, 59, 79});
    PictureBoxStyle plain;
    plain.border = false;
    plain.back_color = QColor(0, 0, 255);
    picPlain.Create(form, "picPlain", {100, 10, 20, 20}, plain);
  };
  const int live = LiveGdiObjectCount();
  form.Show();
  EXPECT_EQ(LiveGdiObjectCount(), live) << "the boxes' contexts are not the program's to free";
  EXPECT_EQ(picDraw1.SurfaceWidth(), 57);
  EXPECT_EQ(picDraw1.SurfaceHeight(), 77);
  EXPECT_EQ(picPlain.SurfaceWidth(), 20);
  HDC box = picDraw1.hDC();
  ASSERT_NE(box, 0u);
  EXPECT_EQ(picDraw1.hDC(), box);
  EXPECT_EQ(GetPixel(box, 0, 0), 0xFFFFFFu) << "starts in its back colour";
  EXPECT_EQ(GetPixel(picPlain.hDC(), 0, 0), 0xFF0000u);

  HDC buffer = CreateCompatibleDC(GetDC(0));
  HBITMAP bitmap = CreateCompatibleBitmap(GetDC(0), 57, 77);
  SelectObject(buffer, bitmap);
  BitBlt(buffer, 0, 0, 57, 77, 0, 0, 0, BLACKNESS);

  const int before = picDraw1.RepaintRequests();
  ASSERT_NE(BitBlt(box, 0, 0, 57, 77, buffer, 0, 0, SRCCOPY), 0);
  EXPECT_EQ(picDraw1.RepaintRequests(), before + 1);
  EXPECT_EQ(GetPixel(box, 56, 76), 0u);
  for (int i = 0; i < 10; ++i) ASSERT_NE(BitBlt(box, 0, 0, 57, 77, buffer, 0, 0, SRCCOPY), 0);
  EXPECT_EQ(picDraw1.RepaintRequests(), before + 1) << "unchanged pixels cost no repaint";
  BitBlt(box, 0, 0, 57, 77, 0, 0, 0, BLACKNESS);
  BitBlt(box, 0, 0, 57, 77, buffer, 0, 0, SRCAND);
  BitBlt(box, 0, 0, 57, 77, buffer, 0, 0, SRCPAINT);
  EXPECT_EQ(picDraw1.RepaintRequests(), before + 1);

  // What reaches the screen: the border and the surface inside it.
  BitBlt(box, 20, 30, 3, 2, picPlain.hDC(), 0, 0, SRCCOPY);
  EXPECT_EQ(picDraw1.RepaintRequests(), before + 2);
  QApplication::processEvents();
  const QImage shot = picDraw1.widget()->grab().toImage();
  EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(Qt::black));
  EXPECT_EQ(QColor(shot.pixel(58, 40)), QColor(Qt::black));
  EXPECT_EQ(QColor(shot.pixel(21, 31)), QColor(0, 0, 255)) << "surface (20,30) is at (21,31)";
  EXPECT_EQ(QColor(shot.pixel(23, 32)), QColor(0, 0, 255));
  EXPECT_EQ(QColor(shot.pixel(20, 31)), QColor(Qt::black));
  EXPECT_EQ(QColor(shot.pixel(24, 32)), QColor(Qt::black));

  int clicks = 0;
  picDraw1.Click = [&] { ++clicks; };
  QTest::mouseClick(picDraw1.widget(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form.ActiveControl(), &picDraw1) << "a click gives a picture box the focus";
  QTest::mouseClick(picDraw1.widget(), Qt::RightButton, {}, QPoint(5, 5));
  QTest::mousePress(picDraw1.widget(), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(picDraw1.widget(), Qt::LeftButton, {}, QPoint(70, 5));  // let go outside
  EXPECT_EQ(clicks, 1);

  // Unloading releases the box's context: the old handle is dead.
  form.Unload();
  EXPECT_EQ(picDraw1.hDC(), 0u);
  EXPECT_EQ(BitBlt(box, 0, 0, 57, 77, buffer, 0, 0, SRCCOPY), 0);
  EXPECT_EQ(GetPixel(box, 0, 0), kClrInvalid);
  EXPECT_EQ(SelectObject(box, bitmap), 0u) << "never took bitmaps anyway";
  SelectObject(buffer, bitmap);
  DeleteDC(buffer);
  DeleteObject(bitmap);
  EXPECT_EQ(LiveGdiObjectCount(), live);

  form.Show();
  EXPECT_NE(picDraw1.hDC(), box) << "a new load, a new context";
  form.Unload();
}

}  // namespace
}  // namespace platform
