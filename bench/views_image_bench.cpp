// Showing a 4000 x 3000 JPEG note in the note editor, fitted to an 800 x 600 box
// (offscreen): decoding, the scaled copy and one paint. Meant to stay well under 0.3 s.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "support/fake_main_window.h"
#include "views/FrameImage.h"
#include "views/FrameMemoNode.h"
#include "views/ImageCodec.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "support/qt_app.h"

namespace {

QApplication& app() { return wux::test::offscreenApp(); }

// A photograph-like picture: gradients and noise, so the encoder cannot cheat.
std::string bigJpeg() {
  wux::Raster r;
  r.width = 4000;
  r.height = 3000;
  r.components = 3;
  r.pixels.resize(static_cast<std::size_t>(r.width) * r.height * 3);
  unsigned seed = 12345;
  for (std::size_t i = 0; i < r.pixels.size(); i += 3) {
    const std::size_t p = i / 3;
    seed = seed * 1103515245u + 12345u;
    r.pixels[i] = static_cast<std::uint8_t>(p % 4000 / 16 + (seed >> 28));
    r.pixels[i + 1] = static_cast<std::uint8_t>(p / 4000 / 12);
    r.pixels[i + 2] = static_cast<std::uint8_t>((seed >> 24) & 0x3F);
  }
  std::string out;
  wux::encodeJpeg(r, 90, false, out);
  return out;
}

void BM_ShowLargeJpegScaled(benchmark::State& state) {
  app();
  std::unique_ptr<wux::MemoFileUI> doc{wux::Create<wux::MemoFileUI>(nullptr)};
  auto* holder = static_cast<wux::MemoHolderUI*>(doc->newHolder_());
  std::string actual;
  doc->addHolder_(holder, "photos", actual);
  wux::MemoNode* note = holder->newNode_();
  holder->addNode_(note, "photo.jpg");
  note->putContentStream_(bigJpeg(), "image/jpeg", "binary");
  note->putField_("Content-Transfer-Encoding", "\"binary\"");
  note->putContentType_("image/jpeg");

  wux::test::FakeMainWindow win;
  wux::TFrameMemoNode editor;
  editor.setOwnerForm(&win);
  editor.resize(800, 600);
  editor.show();
  editor.setNode(note);
  for (auto _ : state) {
    editor.showNode_();
    // The frame paints the fitted copy of the picture.
    QImage shot = editor.imageFrame()->grab().toImage();
    benchmark::DoNotOptimize(shot);
  }
  state.counters["bytes"] = static_cast<double>(note->content()->data()->size());
}
BENCHMARK(BM_ShowLargeJpegScaled)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
