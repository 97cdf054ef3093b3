// One deal's rules work at Done: the computer's arrangement of one seat and the rating of the
// player's three rows, on pre-generated random deals.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "rules/card_rule.h"
#include "rules/hand_model.h"
#include "rules/pattern_table.h"

namespace {

struct Deal {
  cp::HandRec player{};    // head, body and tail laid, draw row empty
  cp::HandRec computer{};  // thirteen cards in the draw row
};

std::vector<Deal> MakeDeals(int count) {
  std::mt19937 rng(7);
  std::vector<std::int16_t> pack(52);
  std::vector<Deal> deals(count);
  for (Deal& deal : deals) {
    for (int i = 0; i < 52; ++i) pack[i] = static_cast<std::int16_t>(i + 1);
    std::shuffle(pack.begin(), pack.end(), rng);
    std::copy_n(pack.begin(), 3, deal.player.Head);
    std::copy_n(pack.begin() + 3, 5, deal.player.Body);
    std::copy_n(pack.begin() + 8, 5, deal.player.Tail);
    std::copy_n(pack.begin() + 13, 13, deal.computer.Draw);
  }
  return deals;
}

void BM_DoneRulesWork(benchmark::State& state) {
  cp::LoadPatternTable(cp::BuildStandardPatternFile());
  cp::intNumCom = 1;
  const std::vector<Deal> deals = MakeDeals(1024);
  cp::clsCardRule rules;
  std::size_t next = 0;
  for (auto _ : state) {
    const Deal& deal = deals[next++ % deals.size()];
    cp::Hand[0] = deal.player;
    cp::Hand[1] = deal.computer;
    rules.AutoPlay();
    rules.getPlayerHand();
    benchmark::DoNotOptimize(cp::HandStrength[0].TailStrength);
    benchmark::DoNotOptimize(cp::HandStrength[1].TailStrength);
  }
}
BENCHMARK(BM_DoneRulesWork);

}  // namespace

BENCHMARK_MAIN();
