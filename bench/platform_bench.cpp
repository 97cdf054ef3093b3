// What one card copy costs: into a memory context, into a picture box whose pixels do not
// change (the common case of the 60 ms redraw), and into one whose pixels do.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "platform/forms.h"
#include "platform/gdi.h"

namespace {

using namespace platform;

constexpr int kW = 57;
constexpr int kH = 77;

// A memory context holding one black card-sized picture.
struct Card {
  Card() : dc(CreateCompatibleDC(0)), bitmap(CreateCompatibleBitmap(GetDC(0), kW, kH)) {
    SelectObject(dc, bitmap);
  }
  ~Card() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  HDC dc;
  HBITMAP bitmap;
};

class BoxForm : public Form {
 public:
  BoxForm() : Form(FormDesign{.caption = "bench", .client_width = 800, .client_height = 600}) {}
  PictureBox boxes[39];

 protected:
  void Design() override {
    for (int i = 0; i < 39; ++i)
      boxes[i].Create(*this, "pic", {(i % 13) * 60, (i / 13) * 80, kW + 2, kH + 2});
  }
};

void BM_BitBltMemory(benchmark::State& state) {
  Card card;
  HDC buffer = CreateCompatibleDC(0);
  HBITMAP bitmap = CreateCompatibleBitmap(GetDC(0), kW, kH);
  SelectObject(buffer, bitmap);
  for (auto _ : state)
    benchmark::DoNotOptimize(
        BitBlt(buffer, 0, 0, kW, kH, card.dc, 0, 0, static_cast<std::uint32_t>(state.range(0))));
  DeleteDC(buffer);
  DeleteObject(bitmap);
}
BENCHMARK(BM_BitBltMemory)->Arg(SRCCOPY)->Arg(SRCAND)->Arg(SRCPAINT);

void BM_BitBltUnchangedPictureBox(benchmark::State& state) {
  Card card;
  BoxForm form;
  form.Show();
  HDC box = form.boxes[0].hDC();
  BitBlt(box, 0, 0, kW, kH, card.dc, 0, 0, SRCCOPY);
  const int repaints = form.boxes[0].RepaintRequests();
  for (auto _ : state) benchmark::DoNotOptimize(BitBlt(box, 0, 0, kW, kH, card.dc, 0, 0, SRCCOPY));
  if (form.boxes[0].RepaintRequests() != repaints) state.SkipWithError("repainted unchanged box");
  form.Unload();
}
BENCHMARK(BM_BitBltUnchangedPictureBox);

// One redraw tick with nothing moved: 39 card places copied.
void BM_TickOf39UnchangedBoxes(benchmark::State& state) {
  Card card;
  BoxForm form;
  form.Show();
  for (auto _ : state)
    for (auto& box : form.boxes) BitBlt(box.hDC(), 0, 0, kW, kH, card.dc, 0, 0, SRCCOPY);
  form.Unload();
}
BENCHMARK(BM_TickOf39UnchangedBoxes);

// The worst case: every copy changes every pixel (and asks for a repaint).
void BM_BitBltChangingPictureBox(benchmark::State& state) {
  BoxForm form;
  form.Show();
  HDC box = form.boxes[0].hDC();
  HDC white = form.boxes[1].hDC();  // a box still in its white back colour
  Card black;
  int i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        BitBlt(box, 0, 0, kW, kH, (i++ & 1) ? white : black.dc, 0, 0, SRCCOPY));
  state.counters["repaints"] = form.boxes[0].RepaintRequests();
  form.Unload();
}
BENCHMARK(BM_BitBltChangingPictureBox);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
