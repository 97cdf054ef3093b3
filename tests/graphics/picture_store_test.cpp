// The picture store against scratch picture files: which picture lands in which handle in
// which order, the progress bar while it loads, failures, and that every context and
// bitmap goes again.
#include <gtest/gtest.h>

#include <QTimer>
#include <string>
#include <vector>

#include "graphics/cls_system.h"
#include "graphics/image_handles.h"
#include "platform/gdi.h"
#include "platform/testing.h"
#include "screens/forms.h"
#include "screens/frm_splash.h"
#include "test_pictures.h"

namespace cp {
namespace {

using test::FileColour;
using test::LoadOrder;

std::vector<std::uint32_t*> Handles() {  // in load order
  std::vector<std::uint32_t*> handles = {&lngDrawDC, &lngHeadDC,    &lngBodyDC,
                                         &lngTailDC, &lngSelect1DC, &lngSelect2DC};
  for (std::uint32_t* suite : {lngHeartDC, lngClubDC, lngDiamondDC, lngSpadeDC}) {
    for (int rank = 1; rank <= 13; ++rank) handles.push_back(&suite[rank]);
  }
  return handles;
}

// How many handles are filled, which must be the first ones in load order (-1 if not).
int Loaded() {
  const auto handles = Handles();
  int loaded = 0;
  while (loaded < test::kPictureCount && *handles[loaded] != 0) ++loaded;
  for (int i = loaded; i < test::kPictureCount; ++i) {
    if (*handles[i] != 0) return -1;
  }
  return loaded;
}

// Whenever window messages run during a load: the bar and the handles filled so far.
// Messages run after every picture is read and before its handle is stored, so a sample
// that sees n handles filled was taken while file n was read.
class LoadSampler {
 public:
  struct Sample {
    float bar;
    int loaded;
  };
  LoadSampler() {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      samples.push_back({SplashForm().barLoad.Value(), Loaded()});
    });
    timer_.start();
  }
  std::vector<Sample> samples;

 private:
  QTimer timer_;
};

class PictureStore : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetAppPathForTesting(pictures.Path());
    // The bar exists on a loaded title window only; its data files are not laid here, so
    // its complaint and its request to end are recorded and dropped.
    SplashForm().Load();
    dialogs.messages.clear();
    start = platform::LiveGdiObjectCount();
  }
  void TearDown() override {
    clsSystem().CleanUp();
    ResetFormsForTesting();
    platform::SetAppPathForTesting("");
  }

  test::PictureDir pictures;
  platform::ScriptedDialogs dialogs;
  platform::EndRecorder end;
  clsSystem objSystem;
  int start = 0;
};

TEST_F(PictureStore, LoadsEveryPictureInOrderWhileTheBarRises) {
  LoadSampler sampler;
  objSystem.SystemLoad();

  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(SplashForm().barLoad.Value(), 100.0f);
  const auto handles = Handles();
  for (int file = 0; file < test::kPictureCount; ++file) {
    if (file == test::kSelect1 || file == test::kSelect2) continue;
    EXPECT_EQ(platform::GetPixel(*handles[file], 56, 76), FileColour(file)) << LoadOrder()[file];
  }
  for (const std::uint32_t* suite : {lngHeartDC, lngClubDC, lngDiamondDC, lngSpadeDC}) {
    EXPECT_EQ(suite[0], 0u);
  }
  std::vector<float> bar_while_reading(test::kPictureCount, -1);
  for (const auto& sample : sampler.samples) {
    ASSERT_GE(sample.loaded, 0) << "a handle was filled out of order";
    if (sample.loaded < test::kPictureCount) bar_while_reading[sample.loaded] = sample.bar;
  }
  // Table pictures at 0, hearts at 25, clubs at 50, diamonds at 75, spades at 100.
  std::vector<float> expected(6, 0.0f);
  for (float bar : {25.0f, 50.0f, 75.0f, 100.0f}) expected.insert(expected.end(), 13, bar);
  EXPECT_EQ(bar_while_reading, expected);
}

TEST_F(PictureStore, AMissingFaceEndsTheLoadAndReleasesWhatWasLoaded) {
  pictures.Remove(test::FaceFile(20));  // the seven of clubs, file 26 of 58
  LoadSampler sampler;
  objSystem.SystemLoad();

  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Failure in loading graphics");
  EXPECT_EQ(dialogs.messages[0].title, "Chinese Poker");
  EXPECT_EQ(SplashForm().barLoad.Value(), 50.0f);
  EXPECT_EQ(Loaded(), 0);
  EXPECT_EQ(platform::LiveGdiObjectCount(), start);
  int attempts = 0;
  for (const auto& sample : sampler.samples) {
    EXPECT_LE(sample.loaded, 25) << "a later file was loaded";
    attempts += sample.loaded == 25;
  }
  EXPECT_GE(attempts, 2) << "asked for again, with messages running between the attempts";

  // The table's exit releases again: nothing is left, nothing is reported.
  clsSystem().CleanUp();
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(platform::LiveGdiObjectCount(), start);
}

TEST_F(PictureStore, EveryContextAndBitmapIsReleasedOnce) {
  objSystem.SystemLoad();
  EXPECT_GT(platform::LiveGdiObjectCount(), start);
  clsSystem().CleanUp();  // any instance serves: the handles are program-wide
  EXPECT_EQ(Loaded(), 0);
  EXPECT_EQ(platform::LiveGdiObjectCount(), start);
  objSystem.CleanUp();
  EXPECT_EQ(platform::LiveGdiObjectCount(), start);
  EXPECT_TRUE(dialogs.messages.empty());

  EXPECT_EQ(objSystem.DeleteGeneratedDC(0), 0);
  EXPECT_NE(objSystem.DeleteGeneratedDC(platform::CreateCompatibleDC(0)), 0);
  EXPECT_EQ(platform::LiveGdiObjectCount(), start);
}

TEST_F(PictureStore, GenerateDCTakesAnySizeAndGivesUpOnWhatHoldsNoPicture) {
  const std::string base = clsSystem::BasePath();
  EXPECT_THROW(objSystem.GenerateDC(base + "resources\\card\\none.bmp"), LoadFailure);
  EXPECT_THROW(objSystem.GenerateDC(base + "resources\\card"), LoadFailure);
  EXPECT_EQ(platform::LiveGdiObjectCount(), start);

  pictures.Resize(1, 80, 100, 0x112233, 0x445566);
  const platform::HDC head = objSystem.GenerateDC(base + "resources\\card\\head.bmp");
  EXPECT_EQ(platform::GetPixel(head, 79, 99), 0x445566u);
  objSystem.DeleteGeneratedDC(head);
  EXPECT_EQ(platform::LiveGdiObjectCount(), start);
}

TEST_F(PictureStore, TheBasePathAlwaysAddsOneSeparator) {
  EXPECT_EQ(clsSystem::BasePath(), pictures.Path() + "\\");
  platform::SetAppPathForTesting("/");  // the one directory whose text ends in a separator
  EXPECT_EQ(clsSystem::BasePath(), "/\\");
}

}  // namespace
}  // namespace cp
