// Opening the tag viewer's tree of a 20,000-note notebook (offscreen): parsing its text
// again and showing the tree, which must stay well under a second because the tree
// model makes items only as they are opened.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeView>
#include <cstdlib>
#include <memory>

#include "dialogs/TagTreeModel.h"
#include "dialogs/TagViewer.h"
#include "model/objects.h"
#include "model/records/MemoHolder.h"
#include "model/records/MemoNode.h"
#include "platform/files.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"

namespace {

QApplication& app() { return wux::test::offscreenApp(); }

// The text of a notebook file of `n` notes, each with a few fields and body lines.
std::string notebookText(int n) {
  std::unique_ptr<wux::MemoHolder> book(wux::Create<wux::MemoHolder>(nullptr));
  book->loaded = true;
  for (int i = 0; i < n; ++i) {
    wux::MemoNode* note = book->newNode_();
    note->putField_("UID", "\"U" + std::to_string(i) + "\"");
    note->body().setText("first line of " + std::to_string(i) + "\r\nsecond line\r\nthird line");
    book->addNode_(note, "note " + std::to_string(i));
  }
  char dir[] = "/tmp/wux_bench_XXXXXX";
  const std::string path = std::string(mkdtemp(dir)) + "/big.mxh";
  book->saveToFile_(path);
  std::string text;
  wux::platform::readFile(path, text);
  std::remove(path.c_str());
  rmdir(dir);
  return text;
}

void TagViewerOpensBigNotebook(benchmark::State& state) {
  app();
  const wux::ParsedFile file{"big.mxh", notebookText(20000), {}};
  wux::test::FakeMainWindow w;
  for (auto _ : state) {
    wux::TFormTAGLParser viewer;
    viewer.setMainWindow(&w, [&] { return file; });
    viewer.show();
    viewer.ViewTreeClick();
    QApplication::processEvents();
    benchmark::DoNotOptimize(viewer.treeModel()->itemsMade());
    state.counters["items"] = static_cast<double>(viewer.treeModel()->itemsMade());
  }
  state.counters["bytes"] = static_cast<double>(file.text.size());
}
BENCHMARK(TagViewerOpensBigNotebook)->Unit(benchmark::kMillisecond);

// Then unfolding the notebook's element: 20,000 record items at once.
void TagViewerUnfoldsBigNotebook(benchmark::State& state) {
  app();
  const wux::ParsedFile file{"big.mxh", notebookText(20000), {}};
  wux::test::FakeMainWindow w;
  for (auto _ : state) {
    state.PauseTiming();
    wux::TFormTAGLParser viewer;
    viewer.setMainWindow(&w, [&] { return file; });
    viewer.show();
    viewer.ViewTreeClick();
    QApplication::processEvents();
    wux::TagTreeModel& m = *viewer.treeModel();
    const QModelIndex top = m.index(0, 0);
    QModelIndex holder;
    for (int i = 0; i < m.rowCount(top); ++i)
      if (m.hasChildren(m.index(i, 0, top))) holder = m.index(i, 0, top);
    state.ResumeTiming();
    viewer.TreeView1()->expand(holder);
    QApplication::processEvents();
    state.counters["items"] = static_cast<double>(m.itemsMade());
  }
}
BENCHMARK(TagViewerUnfoldsBigNotebook)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
