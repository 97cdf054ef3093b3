// The game's windows as a window manager (openbox, run by run_xvfb.sh --wm openbox) treats
// them: no maximise for windows designed without a maximise button, whatever asks for it,
// and message and name boxes wide enough for their titles to show whole.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/runtime.h"
#include "rules/pattern_table.h"
#include "screens/forms.h"
#include "screens/frm_hi_score.h"
#include "screens/frm_splash.h"
#include "table/frm_main.h"
#include "table/hi_score.h"
#include "x_session.h"

namespace cp {
namespace {

using Names = std::vector<std::string>;

bool Has(const Names& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

class WindowManager : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QGuiApplication::platformName() != "xcb")
      GTEST_SKIP() << "needs an X server: run through run_xvfb.sh --wm openbox";
    ASSERT_EQ(x_.Problem(), "");
    if (x_.WindowManager().empty())
      GTEST_SKIP() << "needs a window manager: run through run_xvfb.sh --wm openbox";
    dir_ = std::filesystem::temp_directory_path() / ("xvfb_wm_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    platform::SetAppPathForTesting(dir_.string());
    platform::ReplaceFileBytes((dir_ / "data.dat").string(), BuildStandardPatternFile());
    platform::ReplaceFileBytes((dir_ / "score.dat").string(),
                               EncodeHiScoreFile({{{"Ann", 300}, {"Bob", 200}, {}, {}}}, {}));
    ASSERT_EQ(LoadPatternTable(BuildStandardPatternFile()), "");
  }

  void TearDown() override {
    ResetFormsForTesting();
    platform::SetAppPathForTesting("");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // The window's X id once the window manager has taken it in hand and made it active.
  // Whether it makes a new window active by itself depends on how long the window took to
  // come (focus-stealing prevention): on a busy machine it may not. A pager's request it
  // always grants.
  unsigned long Managed(QWidget* window) {
    const unsigned long id = window->winId();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          return !x_.Atoms(id, "_NET_WM_ALLOWED_ACTIONS").empty() &&
                 x_.Cardinals(id, "_NET_FRAME_EXTENTS").size() == 4;
        },
        10000))
        << "the window manager did not take the window";
    x_.Activate(id);
    EXPECT_TRUE(QTest::qWaitFor([&] { return x_.ActiveWindow() == id; }, 10000))
        << "the window manager did not make the window active";
    return id;
  }

  // Waits until the window manager has handled everything asked of it so far: it handles
  // requests in turn, so once a harmless state asked for last is on, the ones before are
  // through. Then waits until Qt has heard of the outcome.
  void Settle(QWidget* window) {
    const unsigned long id = window->winId();
    x_.RequestState(id, true, "_NET_WM_STATE_ABOVE", nullptr);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Has(x_.Atoms(id, "_NET_WM_STATE"), "_NET_WM_STATE_ABOVE"); }, 10000));
    x_.RequestState(id, false, "_NET_WM_STATE_ABOVE", nullptr);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          const bool maximised = Has(x_.Atoms(id, "_NET_WM_STATE"), "_NET_WM_STATE_MAXIMIZED_VERT");
          return !Has(x_.Atoms(id, "_NET_WM_STATE"), "_NET_WM_STATE_ABOVE") &&
                 window->size() == x_.Geometry(id).size() && window->isMaximized() == maximised;
        },
        10000));
  }

  // How many pixel columns of the title bar's label show text (the active title's near-white
  // letters), between the window icon on the left and the three buttons on the right that
  // openbox's default theme draws there.
  int TitleInk(unsigned long id) {
    const std::vector<long> frame = x_.Cardinals(id, "_NET_FRAME_EXTENTS");  // l, r, t, b
    const QRect client = x_.Geometry(id);
    const int width = client.width() + static_cast<int>(frame[0] + frame[1]);
    const QImage bar =
        x_.Grab(QRect(client.x() - static_cast<int>(frame[0]),
                      client.y() - static_cast<int>(frame[2]), width, static_cast<int>(frame[2])));
    int columns = 0;
    for (int x = 24; x < width - 52; ++x) {
      for (int y = 0; y < bar.height(); ++y) {
        const QColor c = bar.pixelColor(x, y);
        if (c.red() > 235 && c.green() > 235 && c.blue() > 235) {
          ++columns;
          break;
        }
      }
    }
    return columns;
  }

  // The title's ink once the frame is drawn: the same count twice running.
  int SteadyTitleInk(unsigned long id) {
    int last = -1, now = 0;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          now = TitleInk(id);
          const bool steady = now > 0 && now == last;
          last = now;
          return steady;
        },
        10000));
    return now;
  }

  xtest::XSession x_;
  std::filesystem::path dir_;
};

TEST_F(WindowManager, NoWindowOffersMaximise) {
  const std::pair<const char*, platform::Form*> windows[] = {
      {"title", &SplashForm()}, {"table", &MainForm()}, {"high score", &HiScoreForm()}};
  for (auto [name, form] : windows) {
    SCOPED_TRACE(name);
    form->Show();
    const Names actions = x_.Atoms(Managed(form->window()), "_NET_WM_ALLOWED_ACTIONS");
    EXPECT_TRUE(Has(actions, "_NET_WM_ACTION_MOVE")) << "the actions were read";
    EXPECT_FALSE(Has(actions, "_NET_WM_ACTION_MAXIMIZE_HORZ"));
    EXPECT_FALSE(Has(actions, "_NET_WM_ACTION_MAXIMIZE_VERT"));
    form->Hide();
  }
}

TEST_F(WindowManager, TheTableStaysAtItsDesignedSizeWhateverAsksForMaximise) {
  frmMain& f = MainForm();
  f.Show();
  f.tGameLoop.SetEnabled(false);  // no card pictures here to draw
  const unsigned long id = Managed(f.window());
  const QRect designed = x_.Geometry(id);
  ASSERT_EQ(designed.width(), 743);
  // What a pager, the window menu or a key binding sends.
  x_.RequestState(id, true, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
  Settle(f.window());
  EXPECT_EQ(f.State(), platform::WindowState::Normal);
  EXPECT_EQ(x_.Geometry(id).size(), designed.size());
  // A double click on the title bar, which maximises in openbox's default set-up.
  const std::vector<long> frame = x_.Cardinals(id, "_NET_FRAME_EXTENTS");
  x_.MoveTo(QPoint(designed.center().x(), designed.y() - static_cast<int>(frame[2]) / 2));
  for (int i = 0; i < 2; ++i) {
    x_.Button(1, true);
    x_.Button(1, false);
  }
  Settle(f.window());
  EXPECT_EQ(f.State(), platform::WindowState::Normal);
  EXPECT_EQ(x_.Geometry(id).size(), designed.size());
  EXPECT_EQ(f.OuterWidthTwips(), 11265);
  EXPECT_EQ(f.OuterHeightTwips(), 10155);
}

TEST_F(WindowManager, MessageAndNameBoxesShowTheirWholeTitle) {
  const std::pair<std::string, std::function<void()>> boxes[] = {
      {"Chinese Poker", [] { platform::MsgBox("Please complete the hand!", "Chinese Poker"); }},
      {"New High Score", [] { platform::InputBox("Enter Your Name", "New High Score", 8); }},
  };
  for (const auto& [title, open] : boxes) {
    SCOPED_TRACE(title);
    // The title as it shows in a window wide enough for any title.
    QWidget wide;
    wide.setWindowTitle(QString::fromStdString(title));
    wide.resize(600, 100);
    wide.show();
    const int whole = SteadyTitleInk(Managed(&wide));
    wide.hide();

    int shown = 0;
    QTimer::singleShot(0, [&] {
      QWidget* box = nullptr;
      if (QTest::qWaitFor([&] { return (box = QApplication::activeModalWidget()) != nullptr; },
                          10000)) {
        shown = SteadyTitleInk(Managed(box));
        box->close();
      }
    });
    open();
    EXPECT_GT(whole, 40);
    EXPECT_EQ(shown, whole);
  }
}

}  // namespace
}  // namespace cp
