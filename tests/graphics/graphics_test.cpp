// The picture store and the table renderer against scratch picture files, each a distinct
// solid colour, so that a pixel read back from a handle or a card place tells which picture
// it holds.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "graphics/cls_graphic.h"
#include "graphics/cls_system.h"
#include "graphics/image_handles.h"
#include "platform/gdi.h"
#include "platform/testing.h"
#include "rules/hand_model.h"
#include "screens/forms.h"
#include "screens/frm_splash.h"
#include "table/frm_main.h"

namespace cp {
namespace {

// The mark (file 4) and its mask (file 5) mix their bits so that both the AND and the OR of
// (card AND mask) OR mark show in the result.
constexpr std::uint32_t kMark = 0x040201, kMask = 0xAA0FF0;
std::uint32_t Colour(int file) {  // 0x00BBGGRR, as GetPixel reports it
  if (file == 4 || file == 5) return file == 4 ? kMark : kMask;
  return (8 + 4 * file) | (250 - 3 * file) << 8 | (37 * file % 256) << 16;
}
std::uint32_t Face(int code) { return Colour(5 + code); }  // hearts, clubs, ... after select2
std::uint32_t Marked(std::uint32_t card) { return (card & kMask) | kMark; }

// The 58 pictures in load order: file under "resources" (without ".bmp") and handle.
std::vector<std::pair<QString, std::uint32_t*>> Pictures() {
  std::vector<std::pair<QString, std::uint32_t*>> pictures = {
      {"card/draw", &lngDrawDC}, {"card/head", &lngHeadDC},       {"card/body", &lngBodyDC},
      {"card/tail", &lngTailDC}, {"card/select1", &lngSelect1DC}, {"card/select2", &lngSelect2DC}};
  for (auto [suit, handles] : {std::pair{"heart", lngHeartDC},
                               {"club", lngClubDC},
                               {"diamond", lngDiamondDC},
                               {"spade", lngSpadeDC}}) {
    for (int rank = 1; rank <= 13; ++rank) {
      pictures.emplace_back(QString::asprintf("%s/%02d", suit, rank), &handles[rank]);
    }
  }
  return pictures;
}

// How many handles are filled, which must be the first ones in load order (-1 if not).
int Loaded() {
  const auto all = Pictures();
  const auto empty = std::find_if(all.begin(), all.end(), [](auto& p) { return !*p.second; });
  if (std::any_of(empty, all.end(), [](auto& p) { return *p.second != 0; })) return -1;
  return static_cast<int>(empty - all.begin());
}

// Calls f(seat, row, index, code) for every place with a box, seats 0 to last_seat: the
// player's 26, each computer seat's 13.
template <typename F>
void ForEachPlace(int last_seat, F&& f) {
  for (int seat = 0; seat <= last_seat; ++seat) {
    HandRec& h = Hand[seat];
    const std::pair<std::int16_t*, int> rows[] = {
        {h.Draw, 13}, {h.Head, 3}, {h.Body, 5}, {h.Tail, 5}};
    for (int row = seat == 0 ? 0 : 1; row < 4; ++row) {
      for (int i = 0; i < rows[row].second; ++i) f(seat, row, i, rows[row].first[i]);
    }
  }
}
std::uint32_t Place(int seat, int row, int index) {
  return MainForm().CardPlace(seat, row, index)->hDC();
}

class Graphics : public ::testing::Test {
 protected:
  void SetUp() override {
    int file = 0;
    for (const auto& [name, handle] : Pictures()) {
      const std::uint32_t c = Colour(file++);
      QImage image(57, 77, QImage::Format_RGB32);
      image.fill(QColor(c & 0xFF, c >> 8 & 0xFF, c >> 16));
      ASSERT_TRUE(QDir(dir.path()).mkpath("resources/" + name.section('/', 0, 0)));
      ASSERT_TRUE(image.save(dir.filePath("resources/" + name + ".bmp"), "BMP"));
    }
    platform::SetAppPathForTesting(dir.path().toStdString());
    // The bar lives on the loaded title window; its data files are absent, so its complaint
    // and its request to end are recorded and dropped.
    SplashForm().Load();
    dialogs.messages.clear();
  }
  void TearDown() override {
    objSystem.CleanUp();
    EXPECT_EQ(platform::LiveGdiObjectCount(), start) << "a context or bitmap was left behind";
    objGraphic.DeleteBackBuffer();
    ResetFormsForTesting();
    for (HandRec& hand : Hand) hand = {};
    platform::SetAppPathForTesting("");
  }

  // Opens the table (one computer, nothing selected) and loads the pictures as New Game
  // does, sampling {bar, Loaded()} whenever window messages run. The store lets them run
  // after reading each file and before storing its handle, so a sample with n handles
  // filled was taken at file n.
  void Load() {
    MainForm().Show();
    MainForm().tGameLoop.SetEnabled(false);  // the tests draw the ticks themselves
    ForEachPlace(3, [](int s, int r, int i, auto&) { ASSERT_NE(Place(s, r, i), 0u); });
    objGraphic.DrawBackBuffer();
    start = platform::LiveGdiObjectCount();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout,
                     [this] { samples.emplace_back(SplashForm().barLoad.Value(), Loaded()); });
    timer.start(0);
    objSystem.SystemLoad();
  }
  static std::uint32_t Shown(int seat, int row, int index) {  // the bottom right corner
    return platform::GetPixel(Place(seat, row, index), 56, 76);
  }

  QTemporaryDir dir;
  platform::ScriptedDialogs dialogs;
  platform::EndRecorder end;
  clsSystem objSystem;
  clsGraphic objGraphic;
  std::vector<std::pair<float, int>> samples;
  int start = 0;
};

TEST_F(Graphics, LoadsInOrderUnderTheBarDrawsEveryPlaceAndReleasesOnce) {
  Load();
  EXPECT_TRUE(dialogs.messages.empty());
  const auto pictures = Pictures();
  for (int file = 0; file < 58; ++file) {
    EXPECT_EQ(platform::GetPixel(*pictures[file].second, 56, 76), Colour(file)) << file;
  }
  // Table pictures at 0, hearts at 25, clubs at 50, diamonds at 75, spades at 100.
  std::vector<float> bar(58, -1), expected(6, 0.0f);
  for (float value : {25.0f, 50.0f, 75.0f, 100.0f}) expected.insert(expected.end(), 13, value);
  for (auto [value, loaded] : samples) {
    ASSERT_GE(loaded, 0) << "a handle was filled out of order";
    if (loaded < 58) bar[loaded] = value;
  }
  EXPECT_EQ(bar, expected);

  intSelRow = 0;
  intSelCard = 4;
  for (int first : {1, 14}) {  // codes 1 to 39, then 14 to 52: the kings 13, 26, 39, 52 too
    ForEachPlace(1, [next = first](int, int, int, std::int16_t& code) mutable { code = next++; });
    objGraphic.DrawDeck();
    ForEachPlace(1, [](int s, int r, int i, std::int16_t code) {
      const bool marked = s == 0 && r == 0 && i == 4;
      EXPECT_EQ(Shown(s, r, i), marked ? Marked(Face(code)) : Face(code)) << "code " << code;
    });
  }
  intSelCard = -1;  // nothing selected, whatever intSelRow holds
  objGraphic.DrawDeck();
  EXPECT_EQ(Shown(0, 0, 4), Face(18));

  // Empty places show their row's picture, a selected one no mark; seats above intNumCom
  // keep what they showed.
  intSelCard = 4;
  for (HandRec& hand : Hand) hand = {};
  for (int seats : {1, 2, 9}) {  // 9: beyond the last seat, all four are drawn and no more
    ForEachPlace(3, [](int s, int r, int i, auto&) {
      platform::BitBlt(Place(s, r, i), 0, 0, 57, 77, 0, 0, 0, platform::BLACKNESS);
    });
    intNumCom = static_cast<std::int16_t>(seats);
    objGraphic.DrawDeck();
    ForEachPlace(3, [&](int s, int r, int i, auto&) {
      EXPECT_EQ(Shown(s, r, i), s <= seats ? Colour(r) : 0u) << seats << s << r << i;
    });
  }

  for (int twice = 0; twice < 2; ++twice) {  // any instance: the handles are program-wide
    clsSystem().CleanUp();
    EXPECT_EQ(Loaded(), 0);
    EXPECT_EQ(platform::LiveGdiObjectCount(), start);
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Graphics, AMissingFaceEndsTheLoadReleasesWhatWasLoadedAndDrawsNothing) {
  QFile::remove(dir.filePath("resources/club/07.bmp"));  // file 25 in load order
  Load();
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Failure in loading graphics"});
  EXPECT_EQ(SplashForm().barLoad.Value(), 50.0f);
  EXPECT_EQ(Loaded(), 0);
  EXPECT_EQ(platform::LiveGdiObjectCount(), start);
  for (auto [value, loaded] : samples) {
    EXPECT_TRUE(loaded >= 0 && loaded <= 25) << "a later file was loaded: " << loaded;
  }

  // Cards, empty places and a selection: nothing comes from a released handle.
  ForEachPlace(1, [](int, int, int i, std::int16_t& code) { code = i % 3 ? 10 + i : 0; });
  intSelRow = 0;
  intSelCard = 1;
  objGraphic.DrawDeck();
  ForEachPlace(1, [](int s, int r, int i, auto&) { EXPECT_EQ(Shown(s, r, i), 0u) << s << r << i; });
  objSystem.CleanUp();
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

}  // namespace
}  // namespace cp
