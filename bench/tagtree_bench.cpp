// Opening a large notebook: splitting a 20 MB notebook text into words, building its tag
// tree, and writing a tree back. A plain memchr scan of the same buffer for '<' is timed
// alongside as the yardstick of memory speed.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "model/tagtree.h"
#include "platform/textconv.h"

using namespace wux;

namespace {

// A notebook file as the program writes it: 20,000 Record elements with a Field element,
// Japanese and ASCII body lines (some with escapes) and now and then a comment.
const std::string& notebookText() {
  static const std::string text = [] {
    const std::string jp[] = {
        sj("今日は会議の資料を作成した。来週までに見直すこと。"),
        sj("買い物：牛乳、卵、パン、りんご、コーヒー豆"),
        sj("メモ帳の整理をする＆タグを付ける"),
        sj("東京駅から新大阪駅まで新幹線で二時間半くらい"),
    };
    const std::string ascii[] = {
        "The quick brown fox jumps over the lazy dog near the river bank.",
        "if (a &lt; b &amp;&amp; c &gt; d) { return &quot;ok&quot;; }",
        "http://example.com/path/to/page.html?query=1&amp;x=2",
        "    indented code line with some more text after it",
    };
    unsigned seed = 12345;
    auto rnd = [&seed](unsigned n) {
      seed = seed * 1103515245u + 12345u;
      return (seed >> 16) % n;
    };
    std::string t;
    t.reserve(21u << 20);
    t += "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n<!-- 20261206 120000 -->\r\n";
    t += "<!DOCTYPE Holder [<!ENTITY quot \"&#34;\">]>\r\n<Holder name=\"" + sj("日記") + "\">\r\n";
    t += "  <Field NewNodeName=\"Daily\"/>\r\n  <Field flagSort=\"false\"/>\r\n";
    for (int r = 0; r < 20000; ++r) {
      std::string n = std::to_string(r);
      t += "  <Record name=\"" + sj("ノート ") + n + "\">\r\n";
      t += "    <Field UID=\"20261206_120000000_" + n + "\" Created=\"20261206 120000000\" flagMarked=\"" +
           (r % 3 ? "false" : "true") + "\" Color=\"clWhite\" />\r\n";
      int lines = 13 + static_cast<int>(rnd(7));
      for (int l = 0; l < lines; ++l) {
        t += (rnd(2) ? jp[rnd(4)] : ascii[rnd(4)]) + "<BR/>\r\n";
        if (rnd(8) == 0) t += "<BR/>\r\n";
      }
      if (r % 5 == 0) t += "    <Comment>\r\n" + jp[rnd(4)] + "<BR/>\r\n    </Comment>\r\n";
      t += "  </Record>\r\n";
    }
    t += "</Holder>\r\n";
    return t;
  }();
  return text;
}

const StringList& notebookLines() {
  static const StringList lines = [] {
    StringList l;
    l.setText(notebookText());
    return l;
  }();
  return lines;
}

const StringList& notebookWords() {
  static const StringList words = [] {
    StringList w;
    TextToWordList(notebookLines(), w, false);
    return w;
  }();
  return words;
}

// The notebook's own tags as a dictionary, so a notebook tree can be written back.
const StringList& notebookDictionary() {
  static const StringList* dict = [] {
    auto* d = new StringList;
    for (const char* row : {"?XML=3", "HOLDER=1", "RECORD=1", "COMMENT=1", "FIELD=3", "BR=3", "!--=3", "!DOCTYPE=3"})
      d->add(row);
    TTAGNode::BuildTagDefinitions(*d);
    return d;
  }();
  return *dict;
}

void setBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(notebookText().size()));
}

void BM_MemchrScan(benchmark::State& state) {
  const std::string& t = notebookText();
  state.counters["MB"] = static_cast<double>(t.size()) / 1e6;
  state.counters["words"] = notebookWords().count();
  for (auto _ : state) {
    std::size_t n = 0;
    const char* p = t.data();
    const char* end = p + t.size();
    while ((p = static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(end - p))))) {
      ++n;
      ++p;
    }
    benchmark::DoNotOptimize(n);
  }
  setBytes(state);
}

void BM_SplitWords(benchmark::State& state) {
  const StringList& lines = notebookLines();
  for (auto _ : state) {
    auto words = std::make_unique<StringList>();
    TextToWordList(lines, *words, false);
    benchmark::DoNotOptimize(words->count());
    state.PauseTiming();
    words.reset();
    state.ResumeTiming();
  }
  setBytes(state);
}

// Times `parse` filling a fresh tree; freeing the tree is left out (BM_FreeTree).
template <class Parse>
void timeParse(benchmark::State& state, Parse parse) {
  for (auto _ : state) {
    auto root = std::make_unique<TTAGNode>();
    StringList errors;
    if (parse(root.get(), errors) != 0) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(root->count());
    state.PauseTiming();
    root.reset();
    state.ResumeTiming();
  }
  setBytes(state);
}

// A tree from a word list that stays (its words are copied).
void BM_BuildXmlTree(benchmark::State& state) {
  const StringList& words = notebookWords();
  timeParse(state, [&](TTAGNode* root, StringList& errors) {
    return TTAGNode::_FromXMLWordList_aOUT_(root, words, errors);
  });
}

// Opening a notebook: its lines to a tree, each word going straight into the tree.
// Freeing the tree is timed apart (BM_FreeTree): the reader keeps it while it reads.
void BM_ParseNotebook(benchmark::State& state) {
  const StringList& lines = notebookLines();
  timeParse(state, [&](TTAGNode* root, StringList& errors) { return TTAGNode::ParseXmlText(root, lines, errors); });
}

// The same in two steps: a word list first, then the tree taking over its words.
void BM_ParseNotebookTwoSteps(benchmark::State& state) {
  const StringList& lines = notebookLines();
  timeParse(state, [&](TTAGNode* root, StringList& errors) {
    StringList words;
    TextToWordList(lines, words, false);
    return TTAGNode::_FromXMLWordList_aOUT_(root, std::move(words), errors);
  });
}

void BM_FreeTree(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto root = std::make_unique<TTAGNode>();
    StringList errors;
    TTAGNode::_FromXMLWordList_aOUT_(root.get(), notebookWords(), errors);
    state.ResumeTiming();
    root.reset();
  }
  setBytes(state);
}

// The dictionary-driven parser over the same words (the tag viewer's road).
void BM_ParseNotebookDict(benchmark::State& state) {
  const StringList& words = notebookWords();
  timeParse(state, [&](TTAGNode* root, StringList& errors) {
    return TTAGNode::_FromWordList_aDict_(root, words, notebookDictionary(), errors);
  });
}

void BM_WriteBack(benchmark::State& state) {
  TTAGNode root;
  StringList errors;
  if (TTAGNode::_FromWordList_aDict_(&root, notebookWords(), notebookDictionary(), errors) != 0)
    state.SkipWithError("parse failed");
  for (auto _ : state) {
    StringList out;
    TTAGNode::WriteTo(&root, out);
    benchmark::DoNotOptimize(out.count());
  }
  setBytes(state);
}

}  // namespace

BENCHMARK(BM_MemchrScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitWords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildXmlTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseNotebook)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseNotebookTwoSteps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseNotebookDict)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBack)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
