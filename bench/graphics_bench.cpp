// The card graphics' two costs: loading the 58 pictures once per run, and one tick of the
// table's 60 ms redraw (52 places composed, 39 copied with one computer seat).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdint>
#include <memory>
#include <string>

#include "graphics/cls_graphic.h"
#include "graphics/cls_system.h"
#include "platform/runtime.h"
#include "rules/hand_model.h"
#include "screens/forms.h"
#include "table/frm_main.h"

namespace cp {
namespace {

void LoadAndRelease(benchmark::State& state, const std::string& program_dir) {
  platform::SetAppPathForTesting(program_dir);
  clsSystem objSystem;
  for (auto _ : state) {
    objSystem.SystemLoad();
    objSystem.CleanUp();
  }
  state.SetItemsProcessed(state.iterations() * 58);
  platform::SetAppPathForTesting("");
}

// The pictures the build lays beside the program.
void BM_LoadPictures(benchmark::State& state) { LoadAndRelease(state, CP_OUTPUT_DIR); }
BENCHMARK(BM_LoadPictures)->Unit(benchmark::kMillisecond);

// The open table with the pictures loaded, set up once for the tick benchmarks.
struct Table {
  Table() {
    platform::SetAppPathForTesting(CP_OUTPUT_DIR);
    MainForm().Load();
    objSystem.SystemLoad();
    objGraphic.DrawBackBuffer();
    intNumCom = 1;
  }
  clsSystem objSystem;
  clsGraphic objGraphic;
};

Table& TheTable() {
  static Table table;
  return table;
}

// A deal being arranged: the player has laid eight cards into the rows and selected one
// of the five still in the draw row; the computer holds its thirteen undealt.
void ArrangingState() {
  for (HandRec& hand : Hand) hand = {};
  const std::int16_t player[] = {3, 17, 29, 44, 8, 51, 12, 25, 38, 1, 14, 27, 40};
  for (int i = 0; i < 5; ++i) Hand[0].Draw[i] = player[i];
  for (int i = 0; i < 3; ++i) Hand[0].Head[i] = player[5 + i];
  for (int i = 0; i < 5; ++i) Hand[0].Body[i] = i < 3 ? player[8 + i] : 0;
  Hand[0].Tail[0] = player[11];
  Hand[0].Tail[1] = player[12];
  for (int i = 0; i < 13; ++i) Hand[1].Draw[i] = static_cast<std::int16_t>(2 + 4 * i);
  intSelRow = 0;
  intSelCard = 2;
}

// Every place of both seats holds a card; `shift` moves every code, so two states with
// different shifts differ in every place.
void FullTable(int shift) {
  int place = 0;
  for (int seat = 0; seat <= 1; ++seat) {
    HandRec& hand = Hand[seat];
    for (auto [cards, count] :
         {std::pair{hand.Draw, 13}, {hand.Head, 3}, {hand.Body, 5}, {hand.Tail, 5}}) {
      for (int i = 0; i < count; ++i) {
        cards[i] = static_cast<std::int16_t>(1 + (place++ + shift) % 52);
      }
    }
  }
  intSelRow = -1;
  intSelCard = -1;
}

void BM_DrawDeckUnchanged(benchmark::State& state) {
  Table& table = TheTable();
  ArrangingState();
  table.objGraphic.DrawDeck();
  for (auto _ : state) table.objGraphic.DrawDeck();
}
BENCHMARK(BM_DrawDeckUnchanged)->Unit(benchmark::kMicrosecond);

void BM_DrawDeckEveryPlaceChanged(benchmark::State& state) {
  Table& table = TheTable();
  int tick = 0;
  for (auto _ : state) {
    FullTable(tick++ % 2 == 0 ? 0 : 26);
    table.objGraphic.DrawDeck();
  }
}
BENCHMARK(BM_DrawDeckEveryPlaceChanged)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace cp

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // The table window goes before the application does.
  cp::ResetFormsForTesting();
  return 0;
}
