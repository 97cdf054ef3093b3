// A scratch program directory for the window tests, with the data files the title window
// reads, and the program-wide state reset around every test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/testing.h"

namespace cp::testing {

using Bytes = std::vector<std::uint8_t>;

// One "score.dat" record: length, name bytes, score, six Extra bytes.
void AppendScoreRecord(Bytes& file, const std::string& name, std::int16_t score,
                       std::uint8_t extra_fill = 0);

Bytes ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);

// Writes the 58 card pictures (57 x 77 BMP files) under `dir`/resources, so that the
// picture store loads without a failure.
void WriteCardPictures(const std::filesystem::path& dir);

class ScreensTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A score file of four records: Ann 300, Bob 200, empty 0, Zed 999.
  static Bytes SampleScoreFile();

  std::filesystem::path dir_;
  platform::ScriptedDialogs dialogs_;
  platform::EndRecorder end_;
};

}  // namespace cp::testing
