#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointF>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstring>
#include <filesystem>
#include <functional>

#include "graphics/image_handles.h"
#include "platform/runtime.h"
#include "rules/pattern_table.h"
#include "screens/forms.h"
#include "screens/frm_hi_score.h"
#include "screens/frm_splash.h"
#include "screens_test_support.h"
#include "table/frm_main.h"
#include "table/hi_score.h"

namespace cp::testing {
namespace {

// Which of the six button images show, in the order NewGame1, NewGame2, HiScore1,
// HiScore2, Exit1, Exit2.
using Lights = std::array<bool, 6>;
constexpr Lights kAllUnlit{true, false, true, false, true, false};
constexpr Lights kNoButtons{false, false, false, false, false, false};

Lights Shown(const frmSplash& form) {
  return {form.imgNewGame1.Visible(), form.imgNewGame2.Visible(), form.imgHiScore1.Visible(),
          form.imgHiScore2.Visible(), form.imgExit1.Visible(),    form.imgExit2.Visible()};
}

void SendMouse(QWidget* widget, QEvent::Type type) {
  ASSERT_NE(widget, nullptr);
  const QPointF local(5, 5);
  QMouseEvent event(type, local, widget->mapToGlobal(local),
                    type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                    type == QEvent::MouseButtonRelease || type == QEvent::MouseMove
                        ? Qt::NoButton
                        : Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

class SplashTest : public ScreensTest {};

TEST_F(SplashTest, LoadShowsUnlitButtonsAndReadsBothFiles) {
  SplashForm().Show();
  EXPECT_EQ(Shown(SplashForm()), kAllUnlit);
  EXPECT_FALSE(SplashForm().barLoad.Visible());
  EXPECT_FALSE(SplashForm().Loading());
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(end_.count, 0);

  EXPECT_EQ(HiScore[0].Name, "Ann");
  EXPECT_EQ(HiScore[1].Score, 200);
  EXPECT_EQ(HiScore[3].Name, "Zed");
  EXPECT_EQ(HiScore[3].Score, 999);
  const Bytes standard = BuildStandardPatternFile();
  EXPECT_EQ(std::memcmp(PatternTable, standard.data(), kPatternFileBytes), 0);  // little-endian
}

TEST_F(SplashTest, PointerLightsButtonsAndBareWindowDarkensThem) {
  frmSplash& form = SplashForm();
  form.Show();

  form.imgHiScore1.PerformMouseMove();
  EXPECT_EQ(Shown(form), (Lights{true, false, false, true, true, false}));
  form.imgHiScore2.PerformMouseMove();  // moving on within the lit button
  EXPECT_EQ(Shown(form), (Lights{true, false, false, true, true, false}));
  form.PerformMouseMove();  // onto the bare title picture
  EXPECT_EQ(Shown(form), kAllUnlit);

  form.imgExit1.PerformMouseMove();
  EXPECT_EQ(Shown(form), (Lights{true, false, true, false, false, true}));
  // Leaving the window straight from the lit button delivers no move over the bare window:
  // the button stays lit until the pointer next crosses the bare window.
  form.PerformMouseMove();
  form.imgNewGame1.PerformMouseMove();
  EXPECT_EQ(Shown(form), (Lights{false, true, true, false, true, false}));

  // Unlit images take no clicks.
  form.imgExit1.PerformClick();
  form.imgHiScore1.PerformClick();
  EXPECT_EQ(end_.count, 0);
  EXPECT_FALSE(HiScoreForm().IsLoaded());
}

TEST_F(SplashTest, RealPointerEventsReachTheImageOrTheWindowNotBoth) {
  frmSplash& form = SplashForm();
  form.Show();
  SendMouse(form.imgNewGame1.widget(), QEvent::MouseMove);
  EXPECT_EQ(Shown(form), (Lights{false, true, true, false, true, false}));
  // A move over the lit image must not reach the window behind it, or the button would
  // flicker off under the pointer.
  SendMouse(form.imgNewGame2.widget(), QEvent::MouseMove);
  EXPECT_EQ(Shown(form), (Lights{false, true, true, false, true, false}));
  SendMouse(form.client(), QEvent::MouseMove);
  EXPECT_EQ(Shown(form), kAllUnlit);
}

TEST_F(SplashTest, HighScoreOpensModallyAndTheTitleWorksAfterwards) {
  frmSplash& form = SplashForm();
  form.Show();
  bool checked = false;
  // Runs inside the modal window's event loop.
  QTimer::singleShot(0, [&] {
    checked = true;
    EXPECT_TRUE(HiScoreForm().IsVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), HiScoreForm().window());
    EXPECT_EQ(HiScoreForm().txtName1.Text(), "Ann");
    EXPECT_EQ(HiScoreForm().txtScore2.Text(), "200");
    HiScoreForm().cmdDone.PerformClick();
  });
  form.imgHiScore1.PerformMouseMove();
  form.imgHiScore2.PerformClick();

  EXPECT_TRUE(checked);
  EXPECT_FALSE(HiScoreForm().IsLoaded());
  EXPECT_TRUE(form.IsVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  // Back to waiting: the lit High Score button darkens over the bare window as before.
  EXPECT_EQ(Shown(form), (Lights{true, false, false, true, true, false}));
  form.PerformMouseMove();
  EXPECT_EQ(Shown(form), kAllUnlit);
  form.imgNewGame1.PerformMouseMove();
  EXPECT_EQ(Shown(form), (Lights{false, true, true, false, true, false}));
}

TEST_F(SplashTest, ExitEndsAndWritesNothing) {
  const Bytes score_before = ReadBytes(dir_ / "score.dat");
  const Bytes data_before = ReadBytes(dir_ / "data.dat");
  SplashForm().Show();
  SplashForm().imgExit1.PerformMouseMove();
  SplashForm().imgExit2.PerformClick();
  EXPECT_EQ(end_.count, 1);
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(ReadBytes(dir_ / "score.dat"), score_before);
  EXPECT_EQ(ReadBytes(dir_ / "data.dat"), data_before);
  EXPECT_EQ(lngDrawDC, 0u);
  EXPECT_FALSE(MainForm().IsLoaded());
}

TEST_F(SplashTest, ClosingTheTitleWhileWaitingEndsTheProgram) {
  const Bytes score_before = ReadBytes(dir_ / "score.dat");
  SplashForm().Show();
  SplashForm().PerformClose();
  EXPECT_EQ(end_.count, 1);
  EXPECT_EQ(ReadBytes(dir_ / "score.dat"), score_before);
}

TEST_F(SplashTest, NewGameLoadsWithButtonsKeptHiddenThenOpensTheTable) {
  WriteCardPictures(dir_);
  frmSplash& form = SplashForm();
  form.Show();

  // The picture store lets window messages run while it loads; a pointer movement over
  // the window then must not bring any button back.
  bool moved_while_loading = false;
  Lights during{};
  QTimer probe;
  probe.setInterval(0);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (!form.IsLoaded() || !form.Loading()) return;
    probe.stop();
    moved_while_loading = true;
    form.PerformMouseMove();
    SendMouse(form.client(), QEvent::MouseMove);
    during = Shown(form);
    EXPECT_TRUE(form.barLoad.Visible());
    // The window cannot be closed from outside while it loads.
    form.PerformClose();
    EXPECT_TRUE(form.IsLoaded());
  });
  probe.start();

  form.imgNewGame1.PerformMouseMove();
  // A real press and release: the handler closes the window whose image it runs in.
  SendMouse(form.imgNewGame2.widget(), QEvent::MouseButtonPress);
  SendMouse(form.imgNewGame2.widget(), QEvent::MouseButtonRelease);

  ASSERT_TRUE(moved_while_loading) << "the load never let window messages run";
  EXPECT_EQ(during, kNoButtons);
  EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.messages.front().text;
  EXPECT_EQ(end_.count, 0);
  EXPECT_NE(lngDrawDC, 0u);
  EXPECT_NE(lngSpadeDC[13], 0u);
  EXPECT_NE(lngBackBufferDC, 0u);
  EXPECT_TRUE(MainForm().IsVisible());
  EXPECT_FALSE(form.IsLoaded());
  QCoreApplication::processEvents();
  EXPECT_FALSE(form.IsVisible());
}

TEST_F(SplashTest, NewGameGoesOnToTheTableWhenPicturesFailToLoad) {
  // No card pictures at all: the store reports its own failure, and the table opens.
  SplashForm().Show();
  SplashForm().imgNewGame1.PerformMouseMove();
  SplashForm().imgNewGame2.PerformClick();
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Failure in loading graphics"});
  EXPECT_EQ(end_.count, 0);
  EXPECT_TRUE(MainForm().IsVisible());
  EXPECT_FALSE(SplashForm().IsLoaded());
}

// Start-up with a data file that cannot be used: one message naming the file, the program
// ends, neither file changes and neither table is filled.
struct BadStart {
  const char* label;
  std::function<void(const std::filesystem::path&)> spoil;
  const char* file;    // the file the message must name
  const char* reason;  // a part of the message
};

void PrintTo(const BadStart& start, std::ostream* out) { *out << start.label; }

class SplashBadStartTest : public ScreensTest, public ::testing::WithParamInterface<BadStart> {};

TEST_P(SplashBadStartTest, ReportsTheFileAndEndsWithoutTouchingAnything) {
  GetParam().spoil(dir_);
  const bool score_is_file = std::filesystem::is_regular_file(dir_ / "score.dat");
  const bool data_is_file = std::filesystem::is_regular_file(dir_ / "data.dat");
  const Bytes score_before = score_is_file ? ReadBytes(dir_ / "score.dat") : Bytes{};
  const Bytes data_before = data_is_file ? ReadBytes(dir_ / "data.dat") : Bytes{};
  HiScore[0].Name = "kept";
  PatternTable[5][0] = 77;

  SplashForm().Show();

  ASSERT_EQ(dialogs_.messages.size(), 1u);
  const auto& message = dialogs_.messages.front();
  EXPECT_EQ(message.title, "Chinese Poker");
  EXPECT_NE(message.text.find(std::string("Cannot start: ") + GetParam().file), std::string::npos)
      << message.text;
  EXPECT_NE(message.text.find(platform::AppPath()), std::string::npos) << message.text;
  EXPECT_NE(message.text.find(GetParam().reason), std::string::npos) << message.text;
  EXPECT_EQ(end_.count, 1);
  EXPECT_EQ(HiScore[0].Name, "kept");
  EXPECT_EQ(HiScore[1].Name, "");
  EXPECT_EQ(PatternTable[5][0], 77);
  EXPECT_EQ(PatternTable[297][0], 0);

  EXPECT_EQ(std::filesystem::is_regular_file(dir_ / "score.dat"), score_is_file);
  EXPECT_EQ(std::filesystem::is_regular_file(dir_ / "data.dat"), data_is_file);
  if (score_is_file) {
    EXPECT_EQ(ReadBytes(dir_ / "score.dat"), score_before);
  }
  if (data_is_file) {
    EXPECT_EQ(ReadBytes(dir_ / "data.dat"), data_before);
  }
}

const BadStart kBadStarts[] = {
    {"MissingScore", [](const auto& d) { std::filesystem::remove(d / "score.dat"); }, "score.dat",
     "could not be read (No such file or directory)"},
    {"MissingData", [](const auto& d) { std::filesystem::remove(d / "data.dat"); }, "data.dat",
     "could not be read (No such file or directory)"},
    {"UnreadableScore",
     [](const auto& d) {
       std::filesystem::remove(d / "score.dat");
       std::filesystem::create_directory(d / "score.dat");
     },
     "score.dat", "could not be read ("},
    {"ShortScore",
     [](const auto& d) {
       Bytes file;
       AppendScoreRecord(file, "Ann", 300);
       AppendScoreRecord(file, "Bob", 200);
       AppendScoreRecord(file, "Cy", 100);
       file.resize(file.size() + 9);  // one byte short of an empty fourth record
       WriteBytes(d / "score.dat", file);
     },
     "score.dat", "damaged"},
    {"EmptyData", [](const auto& d) { WriteBytes(d / "data.dat", Bytes{}); }, "data.dat", "2,980"},
    {"ShortData",
     [](const auto& d) {
       Bytes data = BuildStandardPatternFile();
       data.pop_back();
       WriteBytes(d / "data.dat", data);
     },
     "data.dat", "2,979"},
    {"BothMissing",
     [](const auto& d) {
       std::filesystem::remove(d / "score.dat");
       std::filesystem::remove(d / "data.dat");
     },
     "score.dat", "could not be read"},
};

INSTANTIATE_TEST_SUITE_P(Files, SplashBadStartTest, ::testing::ValuesIn(kBadStarts),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace cp::testing
