#include "screens_test_support.h"

#include <unistd.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "graphics/cls_graphic.h"
#include "graphics/cls_system.h"
#include "graphics/image_handles.h"
#include "platform/runtime.h"
#include "rules/pattern_table.h"
#include "screens/forms.h"
#include "table/hi_score.h"

namespace cp::testing {

void AppendScoreRecord(Bytes& file, const std::string& name, std::int16_t score,
                       std::uint8_t extra_fill) {
  const auto length = static_cast<std::uint16_t>(name.size());
  file.push_back(static_cast<std::uint8_t>(length & 0xFF));
  file.push_back(static_cast<std::uint8_t>(length >> 8));
  file.insert(file.end(), name.begin(), name.end());
  const auto bits = static_cast<std::uint16_t>(score);
  file.push_back(static_cast<std::uint8_t>(bits & 0xFF));
  file.push_back(static_cast<std::uint8_t>(bits >> 8));
  file.insert(file.end(), 6, extra_fill);
}

Bytes ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void WriteCardPictures(const std::filesystem::path& dir) {
  QImage card(57, 77, QImage::Format_RGB32);
  card.fill(QColor(0, 120, 0));
  const auto save = [&](const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    ASSERT_TRUE(card.save(QString::fromStdString(file.string()), "BMP")) << file;
  };
  for (const char* name : {"draw", "head", "body", "tail", "select1", "select2"}) {
    save(dir / "resources" / "card" / (std::string(name) + ".bmp"));
  }
  for (const char* suit : {"heart", "club", "diamond", "spade"}) {
    for (int rank = 1; rank <= 13; ++rank) {
      char file[8];
      std::snprintf(file, sizeof file, "%02d.bmp", rank);
      save(dir / "resources" / suit / file);
    }
  }
}

void ScreensTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir_ =
      std::filesystem::temp_directory_path() / ("cp_screens_" + std::to_string(::getpid()) + "_" +
                                                info->test_suite_name() + "_" + info->name());
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  WriteBytes(dir_ / "data.dat", BuildStandardPatternFile());
  WriteBytes(dir_ / "score.dat", SampleScoreFile());
  platform::SetAppPathForTesting(dir_.string());
  ResetFormsForTesting();
  HiScore = {};
  for (auto& row : PatternTable) {
    for (auto& value : row) value = 0;
  }
}

void ScreensTest::TearDown() {
  ResetFormsForTesting();
  // Whatever a loading sequence created is released, so that tests do not share handles.
  clsGraphic().DeleteBackBuffer();
  clsSystem().CleanUp();
  platform::SetAppPathForTesting("");
  std::filesystem::remove_all(dir_);
}

Bytes ScreensTest::SampleScoreFile() {
  Bytes file;
  AppendScoreRecord(file, "Ann", 300);
  AppendScoreRecord(file, "Bob", 200);
  AppendScoreRecord(file, "", 0);
  AppendScoreRecord(file, "Zed", 999);
  return file;
}

}  // namespace cp::testing
