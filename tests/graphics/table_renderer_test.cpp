// The renderer drawing into the real table window: pixels read back from its card places
// tell which picture each place shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "graphics/cls_graphic.h"
#include "graphics/cls_system.h"
#include "graphics/image_handles.h"
#include "platform/gdi.h"
#include "platform/testing.h"
#include "rules/hand_model.h"
#include "screens/forms.h"
#include "table/frm_main.h"
#include "test_pictures.h"

namespace cp {
namespace {

using test::FaceFile;
using test::FileColour;
using test::FileNumber;
using test::MarkedColour;

constexpr int kRowSize[] = {13, 3, 5, 5};

std::int16_t* Row(HandRec& hand, int row) {
  std::int16_t* const rows[] = {hand.Draw, hand.Head, hand.Body, hand.Tail};
  return rows[row];
}

// Every place that has a box: the player's 26, then each computer seat's 13.
template <typename F>
void ForEachPlace(int last_seat, F&& f) {
  for (int seat = 0; seat <= last_seat; ++seat) {
    for (int row = seat == 0 ? 0 : 1; row < 4; ++row) {
      for (int index = 0; index < kRowSize[row]; ++index) f(seat, row, index);
    }
  }
}

// Lays codes first, first + 1, ... into the 39 places of seats 0 and 1, in ForEachPlace's
// order; `skip` leaves every place whose code it accepts empty.
void LayCodes(
    int first, bool (*skip)(int) = [](int) { return false; }) {
  int code = first;
  ForEachPlace(1, [&](int seat, int row, int index) {
    Row(Hand[seat], row)[index] = skip(code) ? 0 : code;
    ++code;
  });
}

class TableRenderer : public ::testing::Test {
 protected:
  // Loads the pictures as the title window does and opens the table; a test arranges
  // its picture files first.
  void Start() {
    platform::SetAppPathForTesting(pictures.Path());
    MainForm().Show();
    MainForm().tGameLoop.SetEnabled(false);  // the test draws the ticks itself
    ASSERT_NE(MainForm().CardPlace(0, 0, 0), nullptr) << "the table window has no card places";
    // Every box's context exists before the count is taken.
    ForEachPlace(3, [](int seat, int row, int index) {
      ASSERT_NE(MainForm().CardPlace(seat, row, index)->hDC(), 0u);
    });
    start = platform::LiveGdiObjectCount();
    objSystem.SystemLoad();
    objGraphic.DrawBackBuffer();
    for (HandRec& hand : Hand) hand = {};
    intNumCom = 1;
    intSelRow = -1;
    intSelCard = -1;
  }
  void TearDown() override {
    objGraphic.DeleteBackBuffer();
    objSystem.CleanUp();
    EXPECT_EQ(platform::LiveGdiObjectCount(), start) << "a context or bitmap was left behind";
    ResetFormsForTesting();
    for (HandRec& hand : Hand) hand = {};
    intSelRow = intSelCard = -1;
    intNumCom = 0;
    platform::SetAppPathForTesting("");
  }

  static std::uint32_t Shown(int seat, int row, int index, int x = 28, int y = 38) {
    return platform::GetPixel(MainForm().CardPlace(seat, row, index)->hDC(), x, y);
  }
  static std::uint32_t Face(int card) { return FileColour(FaceFile(card)); }

  test::PictureDir pictures;
  platform::ScriptedDialogs dialogs;
  platform::EndRecorder end;
  clsSystem objSystem;
  clsGraphic objGraphic;
  int start = 0;
};

TEST_F(TableRenderer, EmptyPlacesShowTheirRowsPictureToTheEdges) {
  Start();
  objGraphic.DrawDeck();
  ForEachPlace(1, [&](int seat, int row, int index) {
    // Rows 0 to 3 have the first four files: draw, head, body, tail.
    for (auto [x, y] : {std::pair{0, 0}, {56, 76}}) {
      EXPECT_EQ(Shown(seat, row, index, x, y), FileColour(row)) << seat << row << index;
    }
  });
}

TEST_F(TableRenderer, EveryCodeShowsItsFace) {
  Start();
  for (int first : {1, 14}) {  // codes 1 to 39, then 14 to 52, over the 39 places
    LayCodes(first);
    objGraphic.DrawDeck();
    int code = first;
    ForEachPlace(1, [&](int seat, int row, int index) {
      EXPECT_EQ(Shown(seat, row, index), Face(code)) << "code " << code;
      ++code;
    });
  }
  // The kings, whose code modulo 13 is 0, told by their files' names.
  const std::pair<std::int16_t, const char*> kings[] = {
      {13, "heart"}, {26, "club"}, {39, "diamond"}, {52, "spade"}};
  for (int i = 0; i < 4; ++i) Hand[0].Draw[i] = kings[i].first;
  objGraphic.DrawDeck();
  for (int i = 0; i < 4; ++i) {
    const std::string file = std::string("resources/") + kings[i].second + "/13.bmp";
    EXPECT_EQ(Shown(0, 0, i), FileColour(FileNumber(file))) << file;
  }
}

TEST_F(TableRenderer, OnlyTheSelectedCardShowsTheMark) {
  Start();
  LayCodes(1);
  intSelRow = 0;
  intSelCard = 4;
  objGraphic.DrawDeck();
  int code = 1;
  ForEachPlace(1, [&](int seat, int row, int index) {
    const bool marked = seat == 0 && row == 0 && index == 4;
    for (int x : test::kMarkBands) {
      const std::uint32_t expected = marked ? MarkedColour(Face(code), x) : Face(code);
      EXPECT_EQ(Shown(seat, row, index, x), expected) << seat << row << index << " x " << x;
    }
    ++code;
  });

  const int band = test::kMarkBands[1];
  intSelCard = -1;  // nothing selected, whatever intSelRow holds
  objGraphic.DrawDeck();
  EXPECT_EQ(Shown(0, 0, 4, band), Face(5));

  intSelCard = 4;  // a selected empty place shows no mark until a card arrives there
  Hand[0].Draw[4] = 0;
  objGraphic.DrawDeck();
  EXPECT_EQ(Shown(0, 0, 4, band), FileColour(0));
  Hand[0].Draw[4] = 7;
  objGraphic.DrawDeck();
  EXPECT_EQ(Shown(0, 0, 4, band), MarkedColour(Face(7), band));
}

TEST_F(TableRenderer, AnUnknownCodeShowsThePlaceComposedBeforeIt) {
  Start();
  Hand[0].Draw[2] = 5;
  Hand[0].Draw[3] = 53;
  Hand[0].Draw[4] = -1;
  // The computer's draw row is composed though no box shows it.
  Hand[1].Draw[12] = 40;
  Hand[1].Head[0] = 99;
  objGraphic.DrawDeck();
  EXPECT_EQ(Shown(0, 0, 3), Face(5));
  EXPECT_EQ(Shown(0, 0, 4), Face(5));
  EXPECT_EQ(Shown(1, 1, 0), Face(40));

  intSelRow = 0;
  intSelCard = 3;
  objGraphic.DrawDeck();
  EXPECT_EQ(Shown(0, 0, 3, test::kMarkBands[2]), MarkedColour(Face(5), test::kMarkBands[2]));
}

TEST_F(TableRenderer, SeatsOutOfPlayKeepTheirPictures) {
  Start();
  ForEachPlace(3, [&](int seat, int row, int index) {
    if (seat < 2) return;
    platform::BitBlt(MainForm().CardPlace(seat, row, index)->hDC(), 0, 0, 57, 77, 0, 0, 0,
                     platform::BLACKNESS);
  });
  objGraphic.DrawDeck();
  EXPECT_EQ(Shown(1, 1, 0), FileColour(1));
  EXPECT_EQ(Shown(2, 1, 0), 0u);
  EXPECT_EQ(Shown(3, 3, 4), 0u);

  intNumCom = 2;
  objGraphic.DrawDeck();
  EXPECT_EQ(Shown(2, 1, 0), FileColour(1));
  EXPECT_EQ(Shown(3, 3, 4), 0u);

  intNumCom = 9;  // beyond the last seat: all four are drawn, nothing past them
  objGraphic.DrawDeck();
  EXPECT_EQ(Shown(3, 3, 4), FileColour(3));
}

TEST_F(TableRenderer, APictureOfAnotherSizeShowsItsTopLeftCorner) {
  pictures.Resize(1, 80, 100, 0x112233, 0x445566);
  Start();
  objGraphic.DrawDeck();
  EXPECT_EQ(Shown(0, 1, 0, 0, 0), 0x112233u);
  EXPECT_EQ(Shown(0, 1, 0, 56, 76), 0x112233u);
}

TEST_F(TableRenderer, AfterAFailedLoadEveryPlaceStaysBlack) {
  pictures.Remove(FaceFile(20));
  Start();
  ASSERT_EQ(dialogs.Texts(), std::vector<std::string>{"Failure in loading graphics"});
  LayCodes(1, [](int code) { return code % 3 == 0; });  // cards and empty places
  intSelRow = 0;
  intSelCard = 1;
  objGraphic.DrawDeck();
  ForEachPlace(1, [&](int seat, int row, int index) {
    for (int x : test::kMarkBands) EXPECT_EQ(Shown(seat, row, index, x), 0u);
  });
}

}  // namespace
}  // namespace cp
