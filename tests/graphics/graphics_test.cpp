// The picture store and the table renderer against scratch pictures of distinct colours, watched
// through the pixels of the handles and card places and the record of device-context calls.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "card_pictures.h"
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

using namespace test;  // the scratch pictures and their colours
using Texts = std::vector<std::string>;
using platform::Hex;

// The handles of the 58 pictures in load order.
std::vector<std::uint32_t*> Handles() {
  std::vector<std::uint32_t*> handles = {&lngDrawDC, &lngHeadDC,    &lngBodyDC,
                                         &lngTailDC, &lngSelect1DC, &lngSelect2DC};
  for (std::uint32_t* suit : {lngHeartDC, lngClubDC, lngDiamondDC, lngSpadeDC})
    for (int rank = 1; rank <= 13; ++rank) handles.push_back(&suit[rank]);
  return handles;
}
int Filled() {
  return static_cast<int>(std::ranges::count_if(Handles(), [](auto* h) { return *h != 0; }));
}
// The first word of every call, what was called, in order: "CreateCompatibleDC LoadImageA".
std::string Names(const Texts& calls) {
  std::string names;
  for (const std::string& call : calls)
    names.append(names.empty() ? 0 : 1, ' ').append(call, 0, call.find(' '));
  return names;
}

// Calls f(seat, row, index, code) for every place with a box (the player's 26, others' 13).
template <typename F>
void ForEachPlace(int last_seat, F&& f) {
  for (int seat = 0; seat <= last_seat; ++seat) {
    HandRec& h = Hand[seat];
    const std::pair<std::int16_t*, int> rows[] = {
        {h.Draw, 13}, {h.Head, 3}, {h.Body, 5}, {h.Tail, 5}};
    for (int row = seat == 0 ? 0 : 1; row < 4; ++row)
      for (int i = 0; i < rows[row].second; ++i) f(seat, row, i, rows[row].first[i]);
  }
}
std::uint32_t Place(int seat, int row, int index) {
  return MainForm().CardPlace(seat, row, index)->hDC();
}
std::uint32_t Shown(int seat, int row, int index) {  // the bottom right corner of the inside
  return platform::GetPixel(Place(seat, row, index), 56, 76);
}

class Graphics : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteCardPictures(dir.path()));
    platform::SetAppPathForTesting(dir.path().toStdString());
    // The bar lives on the loaded title window; its data files are absent, so its complaint
    // and its request to end are recorded and dropped.
    SplashForm().Load();
    dialogs.messages.clear();
    MainForm().Show();
    MainForm().tGameLoop.SetEnabled(false);  // the tests draw the ticks themselves
    without_buffer = platform::LiveGdiObjectCount();
    objGraphic.DrawBackBuffer();
    start = platform::LiveGdiObjectCount();
  }
  void TearDown() override {
    objSystem.CleanUp();
    EXPECT_EQ(platform::LiveGdiObjectCount(), start) << "a context or bitmap was left behind";
    const std::uint32_t dc = lngBackBufferDC, bitmap = lngBackBufferBmp;
    platform::CallRecord record;  // the back buffer goes with its bitmap, bitmap first
    objGraphic.DeleteBackBuffer();
    EXPECT_EQ(record.Only({"DeleteObject", "DeleteDC"}),
              (Texts{"DeleteObject " + Hex(bitmap), "DeleteDC " + Hex(dc)}));
    EXPECT_EQ(platform::LiveGdiObjectCount(), without_buffer);
    ResetFormsForTesting();
    for (HandRec& hand : Hand) hand = {};
    intSelRow = intSelCard = -1;
    platform::SetAppPathForTesting("");
  }
  // The full path the store asks for: the program's directory, "\", the file.
  std::string Path(const std::string& name) const {
    std::string path = dir.path().toStdString() + "\\resources\\" + name + ".bmp";
    std::replace(path.begin() + dir.path().size() + 1, path.end(), '/', '\\');
    return path;
  }

  QTemporaryDir dir;
  platform::ScriptedDialogs dialogs;
  platform::EndRecorder end;
  clsSystem objSystem;
  clsGraphic objGraphic;
  int without_buffer = 0, start = 0;
};

TEST_F(Graphics, LoadsEveryPictureInOrderUnderTheBarAndReleasesEachOnceInItsOwnOrder) {
  platform::CallRecord record;
  std::vector<float> bar;  // the bar's value as each file is asked for
  record.fail = [&](const std::string& call) {
    if (call.starts_with("LoadImageA")) bar.push_back(SplashForm().barLoad.Value());
    return false;
  };
  objSystem.SystemLoad();
  Texts loads;  // messages run after each
  for (const std::string& name : PictureNames())
    loads.insert(loads.end(), {"LoadImageA " + Path(name), "DoEvents"});
  EXPECT_EQ(record.Only({"LoadImageA", "DoEvents"}), loads);
  // Table pictures at 0, hearts at 25, clubs at 50, diamonds at 75, spades at 100.
  std::vector<float> bars(6, 0.0f);
  for (float value : {25.0f, 50.0f, 75.0f, 100.0f}) bars.insert(bars.end(), 13, value);
  EXPECT_EQ(bar, bars);
  EXPECT_EQ(SplashForm().barLoad.Value(), 100.0f);  // and full once the last has loaded
  const auto handles = Handles();
  Texts releases;
  for (int i = 0; i < 58; ++i) {
    EXPECT_EQ(platform::GetPixel(*handles[i], 56, 76), PictureColour(i)) << i;
    releases.push_back("DeleteDC " + Hex(*handles[i]));
  }
  // Released as loaded but for the diamonds, which go before the clubs.
  std::rotate(releases.begin() + 19, releases.begin() + 32, releases.begin() + 45);
  for (int twice = 0; twice < 2; ++twice) {  // any instance: the handles are program-wide
    platform::CallRecord release;
    clsSystem().CleanUp();
    EXPECT_EQ(release.Only({"DeleteDC"}), twice ? Texts{} : releases);
    EXPECT_EQ(Filled(), 0);
    EXPECT_EQ(platform::LiveGdiObjectCount(), start);
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Graphics, APictureIsTriedThreeTimesWithMessagesRunningBetween) {
  // The call that fails, how often from the first (3: no picture), the calls made.
  const std::tuple<const char*, int, const char*> cases[] = {
      {"LoadImageA", 0, "CreateCompatibleDC LoadImageA DoEvents SelectObject"},
      {"LoadImageA", 2,
       "CreateCompatibleDC LoadImageA DoEvents LoadImageA DoEvents LoadImageA DoEvents "
       "SelectObject"},
      {"LoadImageA", 3,  // the context goes once the last try is over
       "CreateCompatibleDC LoadImageA DoEvents LoadImageA DoEvents LoadImageA DoEvents DeleteDC"},
      {"CreateCompatibleDC", 2,
       "CreateCompatibleDC DoEvents CreateCompatibleDC DoEvents CreateCompatibleDC LoadImageA "
       "DoEvents SelectObject"},
      {"CreateCompatibleDC", 3,
       "CreateCompatibleDC DoEvents CreateCompatibleDC DoEvents CreateCompatibleDC"},
  };
  for (const auto& [failing, times, calls] : cases) {
    SCOPED_TRACE(testing::Message() << failing << " fails " << times << " times");
    platform::CallRecord record;
    int left = times;
    record.fail = [&](const std::string& call) { return call.starts_with(failing) && left-- > 0; };
    std::uint32_t dc = 0;
    bool failed = false;
    try {
      dc = objSystem.GenerateDC(Path("card/head"));
    } catch (const LoadFailure&) {
      failed = true;
    }
    EXPECT_EQ(Names(record.calls), calls);
    EXPECT_EQ(failed, times == 3);
    EXPECT_EQ(platform::GetPixel(dc, 0, 0), failed ? platform::kClrInvalid : PictureColour(1));
    objSystem.DeleteGeneratedDC(dc);
    EXPECT_EQ(platform::LiveGdiObjectCount(), start);
  }
}

TEST_F(Graphics, AMissingFaceEndsTheLoadAndReleasesWhatWasLoaded) {
  QFile::remove(dir.filePath("resources/club/07.bmp"));
  platform::CallRecord record;
  objSystem.SystemLoad();
  const Texts asked = record.Only({"LoadImageA"});  // the table pictures, hearts, clubs 01 to 07
  ASSERT_EQ(asked.size(), 6 + 13 + 7 + 2u) << "07 three times";
  EXPECT_EQ(Texts(asked.end() - 3, asked.end()), Texts(3, "LoadImageA " + Path("club/07")));
  EXPECT_EQ(dialogs.Texts(), Texts{"Failure in loading graphics"});
  EXPECT_EQ(SplashForm().barLoad.Value(), 50.0f);
  EXPECT_EQ(Filled(), 0);
  EXPECT_EQ(platform::LiveGdiObjectCount(), start);
}

TEST_F(Graphics, AFailedReleaseIsReportedAndWhatIsLeftStillGoes) {
  for (const bool again : {false, true}) {  // the failure happens once, or every time
    SCOPED_TRACE(again ? "fails every time" : "fails once");
    objSystem.SystemLoad();
    const std::uint32_t bad = lngHeartDC[5];
    dialogs.messages.clear();
    {
      platform::CallRecord record;
      int failures = 0;
      record.fail = [&](const std::string& call) {
        if (call != "DeleteDC " + Hex(bad) || (!again && failures++ > 0)) return false;
        throw std::runtime_error("refused");
      };
      clsSystem().CleanUp();
      const Texts deletes = record.Only({"DeleteDC"});
      EXPECT_EQ(std::count(deletes.begin(), deletes.end(), "DeleteDC " + Hex(bad)), 2);
    }
    // Reported, then everything released once more; a failure that keeps happening is
    // reported once more and leaves its suite from that picture on for a later release.
    EXPECT_EQ(dialogs.Texts(), Texts(again ? 2 : 1, "Failure in removing graphics"));
    EXPECT_EQ(lngHeartDC[5], again ? bad : 0u);
    EXPECT_EQ(Filled(), again ? 9 : 0);
    objSystem.CleanUp();
    EXPECT_EQ(platform::LiveGdiObjectCount(), start);
  }
}

TEST_F(Graphics, DrawsTheSeatsInPlayFromTheHandWithTheMarkOnTheSelectedCardOnly) {
  objSystem.SystemLoad();
  intSelRow = 0;
  intSelCard = 4;
  for (int first : {1, 14}) {  // codes 1 to 39, then 14 to 52: the kings 13, 26, 39, 52 too
    ForEachPlace(1, [next = first](int, int, int, std::int16_t& code) mutable { code = next++; });
    objGraphic.DrawDeck();
    ForEachPlace(1, [](int s, int r, int i, std::int16_t code) {
      const bool marked = s == 0 && r == 0 && i == 4;
      EXPECT_EQ(Shown(s, r, i), marked ? Marked(FaceColour(code)) : FaceColour(code)) << code;
    });
  }
  // A code outside the pack copies no face: the place shows the one composed before it.
  const std::tuple<std::int16_t, std::int16_t, std::uint32_t> odd[] = {
      {5, 53, FaceColour(5)}, {0, -1, PictureColour(0)}, {52, 0x7FFF, FaceColour(52)}};
  for (const auto& [before, code, shown] : odd) {
    Hand[0].Draw[2] = before;
    Hand[0].Draw[3] = code;
    for (std::int16_t sel : {-1, 3}) {
      intSelCard = sel;
      objGraphic.DrawDeck();
      EXPECT_EQ(Shown(0, 0, 3), sel < 0 ? shown : Marked(shown)) << code;
    }
  }

  // Empty places show their row's picture; seats out of play keep what they showed.
  intSelRow = 2;  // names an empty place: no mark, until a card comes there
  intSelCard = 1;
  for (int seats : {1, 2, 9}) {  // 9: beyond the last seat, all four are drawn and no more
    ForEachPlace(3, [](int s, int r, int i, std::int16_t& code) {
      code = 0;
      platform::BitBlt(Place(s, r, i), 0, 0, 57, 77, 0, 0, 0, platform::BLACKNESS);
    });
    intNumCom = static_cast<std::int16_t>(seats);
    objGraphic.DrawDeck();
    ForEachPlace(3, [&](int s, int r, int i, auto&) {
      EXPECT_EQ(Shown(s, r, i), s <= seats ? PictureColour(r) : 0u) << seats << s << r << i;
    });
  }
  intNumCom = 1;
  Hand[0].Body[1] = 40;
  objGraphic.DrawDeck();
  EXPECT_EQ(Shown(0, 2, 1), Marked(FaceColour(40)));
}

}  // namespace
}  // namespace cp
