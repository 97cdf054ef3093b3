// The title and high-score windows, run from a scratch program directory with the two data
// files and title pictures of solid colours, driven through the window system's routing as a
// player drives them, and watched through the window's pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "../graphics/card_pictures.h"
#include "graphics/cls_graphic.h"
#include "graphics/cls_system.h"
#include "platform/runtime.h"
#include "platform/testing.h"
#include "rules/pattern_table.h"
#include "screens/forms.h"
#include "screens/frm_hi_score.h"
#include "screens/frm_splash.h"
#include "table/frm_main.h"
#include "table/hi_score.h"

namespace cp {
namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::ReadFileBytes;  // nullopt for a missing file

// The title pictures: the 800 x 600 background and, per button, its unlit and lit picture.
const QRgb kTitle = 0xFF204060;
const std::pair<const char*, QRgb> kTitlePictures[] = {
    {"newgame1", 0xFF100000}, {"newgame2", 0xFFF00000}, {"hiscore1", 0xFF001000},
    {"hiscore2", 0xFF00F000}, {"exit1", 0xFF000010},    {"exit2", 0xFF0000F0}};
// The buttons' places in the design: New Game, High Score, Exit.
const QRect kButtons[] = {{264, 240, 190, 32}, {264, 304, 190, 32}, {264, 368, 190, 32}};

// The pointer moved or clicked as the window system delivers it, so that Qt finds the
// widget under it (and refuses it to a window that a modal one blocks).
void MoveTo(platform::Form& form, QPoint at) {
  QTest::mouseMove(form.window()->windowHandle(), at);
}
void ClickAt(platform::Form& form, QPoint at) {
  QTest::mouseClick(form.window()->windowHandle(), Qt::LeftButton, {}, at);
}

// What shows at each button's place, New Game first: 'u'nlit, 'L'it or '.' the bare picture.
std::string View() {
  const QImage shot = SplashForm().window()->grab().toImage();
  std::string view;
  for (int b = 0; b < 3; ++b) {
    const QRgb known[] = {kTitlePictures[2 * b].second, kTitlePictures[2 * b + 1].second, kTitle};
    view += "uL.?"[std::find(known, known + 3, shot.pixel(kButtons[b].center())) - known];
  }
  return view;
}

class Screens : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteData();
    ASSERT_TRUE(test::WriteSolid(dir.path(), "resources/title/title.bmp", {800, 600}, kTitle));
    for (const auto& [file, colour] : kTitlePictures)
      test::WriteSolid(dir.path(), QString("resources/title/%1.bmp").arg(file), {190, 32}, colour);
    platform::SetAppPathForTesting(dir.path().toStdString());
  }
  void TearDown() override {
    CloseAll();
    platform::SetAppPathForTesting("");
  }
  static void CloseAll() {
    ResetFormsForTesting();
    clsGraphic().DeleteBackBuffer();  // whatever a loading sequence created
    clsSystem().CleanUp();
  }
  // Good data files, and both tables empty. The pattern file holds 0, 1, 2, ... in its
  // 1,490 values, so that each value read tells where it came from.
  void WriteData() {
    Bytes pattern;
    for (int i = 0; i < kPatternRows * kPatternColumns; ++i)
      pattern.insert(pattern.end(), {std::uint8_t(i), std::uint8_t(i >> 8)});
    platform::ReplaceFileBytes(Path("data.dat"), pattern);
    platform::ReplaceFileBytes(
        Path("score.dat"),
        EncodeHiScoreFile({{{"Ann", 300}, {"", 0}, {"Bob", -32768}, {"Zed", 999}}}, {}));
    HiScore = {};
    std::memset(PatternTable, 0, sizeof PatternTable);
  }
  std::string Path(const char* file) const { return dir.filePath(file).toStdString(); }

  QTemporaryDir dir;
  platform::ScriptedDialogs dialogs;
  platform::EndRecorder end;
};

TEST_F(Screens, TheTitleLightsTheButtonUnderThePointerShowsTheHighScoresModallyAndEnds) {
  const auto score = ReadFileBytes(Path("score.dat")), data = ReadFileBytes(Path("data.dat"));
  frmSplash& form = SplashForm();
  form.Show();
  EXPECT_EQ(HiScore[2].Name + "," + HiScore[3].Name, "Bob,Zed");
  EXPECT_EQ(PatternTable[0][1], 1);
  EXPECT_EQ(PatternTable[150][2], 752);
  EXPECT_EQ(PatternTable[297][4], 1489);
  EXPECT_EQ(View(), "uuu");
  EXPECT_FALSE(form.barLoad.Visible());

  // Where the pointer moves, what shows. A button lights as the pointer comes onto it; only the
  // bare picture darkens them: straight onto another, both stay lit; outside, nothing changes.
  const std::pair<QPoint, const char*> moves[] = {
      {{10, 10}, "uuu"},   {{264, 240}, "Luu"},  // New Game's top left pixel
      {{453, 271}, "Luu"},                       // on within it: its bottom right pixel
      {{453, 272}, "uuu"},                       // just below it
      {{264, 304}, "uLu"}, {{263, 320}, "uuu"},  // High Score, then just left of it
      {{453, 335}, "uLu"}, {{300, 370}, "uLL"},  // straight onto Exit
      {{453, 399}, "uLL"}, {{-20, 380}, "uLL"},  // Exit's bottom right, then out of the window
      {{454, 399}, "uuu"},                       // the bare picture just right of Exit
  };
  for (const auto& [at, view] : moves) {
    MoveTo(form, at);
    EXPECT_EQ(View(), view) << at.x() << "," << at.y();
  }
  form.imgExit1.PerformClick();  // a button that is not lit takes no click
  EXPECT_EQ(end.count, 0);

  // High Score opens its window modally: the three best, never entry 3, each box in its
  // design place, the focus kept off the boxes; Done closes it from inside its own event.
  bool checked = false;
  QTimer probe;  // acts inside the modal window's event loop
  QObject::connect(&probe, &QTimer::timeout, [&] {
    frmHiScore& w = HiScoreForm();
    if (checked || !w.IsVisible()) return;
    checked = true;
    EXPECT_EQ(QApplication::activeModalWidget(), w.window());
    QApplication::setActiveWindow(w.window());
    EXPECT_EQ(w.Caption(), "High Score");
    EXPECT_EQ(w.Label1.Caption(), "High Score");
    EXPECT_EQ(QSize(w.ClientWidth(), w.ClientHeight()), QSize(265, 206));
    const std::tuple<platform::Control*, QRect, std::string> boxes[] = {
        {&w.txtName1, {8, 40, 73, 25}, "Ann"},   {&w.txtScore1, {88, 40, 169, 25}, "300"},
        {&w.txtName2, {8, 80, 73, 25}, ""},      {&w.txtScore2, {88, 80, 169, 25}, "0"},
        {&w.txtName3, {8, 120, 73, 25}, "Bob"},  {&w.txtScore3, {88, 120, 169, 25}, "-32768"},
        {&w.cmdDone, {96, 176, 65, 25}, "Done"}, {&w.Label1, {88, 8, 97, 25}, "High Score"},
    };
    for (const auto& [control, place, text] : boxes) {
      SCOPED_TRACE(control->Name());
      EXPECT_EQ(control->widget()->geometry(), place);
      if (auto* box = dynamic_cast<platform::TextBox*>(control)) {
        EXPECT_EQ(box->Text(), text);
        w.cmdDone.SetFocus();  // clicked into and typed at, the box passes the focus on
        ClickAt(w, place.center());
        EXPECT_TRUE(w.picDraw1.HasFocus());
        QTest::keyClick(w.window()->windowHandle(), Qt::Key_X);
        EXPECT_EQ(box->Text(), text);
      }
    }
    w.cmdDone.SetFocus();  // Tab moves only between Done and the picture box
    const platform::Control* tabs[] = {&w.picDraw1, &w.cmdDone, &w.picDraw1};
    for (const platform::Control* next : tabs) {
      QTest::keyClick(w.window()->windowHandle(), Qt::Key_Tab);
      EXPECT_TRUE(next->HasFocus()) << next->Name();
    }
    MoveTo(form, kButtons[0].center());  // the title takes no input meanwhile
    EXPECT_EQ(View(), "uLu");
    ClickAt(w, {w.cmdDone.Left() + 5, w.cmdDone.Top() + 5});  // wherever it stands
  });
  probe.start(0);
  MoveTo(form, kButtons[1].center());
  ClickAt(form, kButtons[1].center());
  probe.stop();
  EXPECT_TRUE(checked);
  EXPECT_FALSE(HiScoreForm().IsLoaded());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  MoveTo(form, {10, 10});  // waiting again, the window answers as before
  EXPECT_EQ(View(), "uuu");

  // Exit ends the program, opening, loading and writing nothing; so does the close box.
  HiScore[0].Score = 1;  // so that any write would show in the file
  platform::CallRecord record;
  MoveTo(form, kButtons[2].center());
  ClickAt(form, kButtons[2].center());
  EXPECT_EQ(end.count, 1);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(ReadFileBytes(Path("score.dat")), score);
  EXPECT_EQ(ReadFileBytes(Path("data.dat")), data);
  EXPECT_EQ(record.calls, std::vector<std::string>{}) << "nothing loaded, nothing released";
  EXPECT_FALSE(MainForm().IsLoaded()) << "the table was opened on the way out";
  form.PerformClose();
  EXPECT_EQ(end.count, 2);
  HiScore[1] = {"Cy", 12};  // each showing of the high scores reads the table afresh
  HiScoreForm().Show();
  EXPECT_EQ(HiScoreForm().txtScore2.Text(), "12");
}

TEST_F(Screens, NewGameLoadsWithTheButtonsKeptHiddenSeedsAndOpensTheTable) {
  ASSERT_TRUE(test::WriteCardPictures(dir.path()));
  std::vector<std::vector<float>> deals;
  for (int run = 0; run < 2; ++run) {  // two program runs, from one seed
    SCOPED_TRACE(run);
    frmSplash& form = SplashForm();
    form.Show();
    // In the middle of the load (as the first heart is asked for), pointer movement over the
    // window shows no button, the bar shows, and the window cannot be closed from outside.
    std::optional<std::string> during;
    platform::CallRecord record;
    record.fail = [&](const std::string& call) {
      if (during || !call.ends_with("heart\\01.bmp")) return false;
      MoveTo(form, kButtons[1].center());
      MoveTo(form, {10, 10});
      during = View();
      EXPECT_TRUE(form.barLoad.Visible());
      EXPECT_EQ(form.barLoad.widget()->geometry(), QRect(80, 472, 561, 25));
      form.PerformClose();
      EXPECT_TRUE(form.IsLoaded());
      return false;
    };
    // Window messages run all through the load: the bar is seen at every step.
    std::set<float> bar;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
      if (form.IsLoaded() && form.Loading()) bar.insert(form.barLoad.Value());
    });
    sampler.start(0);
    platform::SeedRandom(7);
    MoveTo(form, kButtons[0].center());
    ClickAt(form, kButtons[0].center());
    sampler.stop();

    EXPECT_EQ(during, "...") << "nullopt: the hearts were never asked for";
    EXPECT_EQ(bar, (std::set<float>{0, 25, 50, 75, 100}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(end.count, 0);
    EXPECT_FALSE(form.IsLoaded());
    QCoreApplication::processEvents();
    QWidgetList shown;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible()) shown.push_back(w);
    EXPECT_EQ(shown, QWidgetList{MainForm().window()}) << "the table is the only window";
    MainForm().tGameLoop.Fire();  // the first tick draws from the pictures through the buffer
    EXPECT_EQ(platform::GetPixel(MainForm().picDraw1.hDC(), 56, 76), test::PictureColour(0));
    deals.emplace_back();
    for (int i = 0; i < 8; ++i) deals.back().push_back(platform::Rnd());
    CloseAll();
  }
  EXPECT_NE(deals[0], deals[1]) << "each run seeds from the clock";
}

TEST_F(Screens, AnUnusableDataFileIsNamedAndEndsTheProgramTouchingNothing) {
  const Bytes data = BuildStandardPatternFile();
  // The file spoilt and named in the message, its content (nullopt: removed), part of the message.
  const std::tuple<const char*, std::optional<Bytes>, const char*> cases[] = {
      {"score.dat", std::nullopt, "could not be read (No such file or directory)"},
      {"data.dat", std::nullopt, "could not be read (No such file or directory)"},
      {"data.dat", Bytes{}, "2,980"},
      {"data.dat", Bytes(data.begin(), data.end() - 1), "2,979"},
  };
  for (const auto& [file, bytes, reason] : cases) {
    SCOPED_TRACE(std::string(file) + ": " + reason);
    WriteData();
    std::filesystem::remove(Path(file));
    if (bytes) platform::ReplaceFileBytes(Path(file), *bytes);
    const auto score = ReadFileBytes(Path("score.dat")), pattern = ReadFileBytes(Path("data.dat"));
    HiScore[0].Name = "kept";
    PatternTable[5][0] = 77;
    dialogs.messages.clear();
    end.count = 0;

    SplashForm().Show();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const std::string& text = dialogs.messages[0].text;
    EXPECT_PRED_FORMAT2(testing::IsSubstring,
                        std::string("Cannot start: ") + file + " in " + platform::AppPath(), text);
    EXPECT_PRED_FORMAT2(testing::IsSubstring, reason, text);
    EXPECT_EQ(dialogs.messages[0].title, "Chinese Poker");
    EXPECT_EQ(end.count, 1);
    EXPECT_EQ(HiScore[0].Name, "kept");  // neither table half-filled
    EXPECT_EQ(PatternTable[5][0], 77);
    EXPECT_EQ(PatternTable[297][0], 0);
    EXPECT_EQ(ReadFileBytes(Path("score.dat")), score);
    EXPECT_EQ(ReadFileBytes(Path("data.dat")), pattern);
    ResetFormsForTesting();
  }
}

}  // namespace
}  // namespace cp
