#pragma once
// The corpus of the file benchmarks: a work folder removed at exit, notebooks of
// realistic notes (fields, Japanese and ASCII lines, some binary content as Base64),
// and the process's peak memory.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/records/MemoHolder.h"
#include "model/records/MemoNode.h"
#include "platform/paths.h"
#include "platform/textconv.h"

namespace wux::bench {

namespace fs = std::filesystem;

inline double peakRssMB() {
  struct rusage ru {};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss / 1024.0;
}

inline const std::string& workDir() {
  static const std::string dir = [] {
    std::string tmpl = platform::tempDir() + "wux-bench-XXXXXX";
    std::string d = ::mkdtemp(tmpl.data());
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(workDir(), ec);
    });
    return d + "/";
  }();
  return dir;
}

inline void fillNotebook(MemoHolder& h, int notes, unsigned seed) {
  const std::string jp[] = {
      sj("今日は会議の資料を作成した。来週までに見直すこと。"),
      sj("買い物：牛乳、卵、パン、りんご、コーヒー豆"),
      sj("メモ帳の整理をする＆タグを付ける"),
      sj("東京駅から新大阪駅まで新幹線で二時間半くらい"),
  };
  const std::string ascii[] = {
      "The quick brown fox jumps over the lazy dog near the river bank.",
      "if (a < b && c > d) { return \"ok\"; }",
      "http://example.com/path/to/page.html?query=1&x=2",
      "    indented code line with some more text after it",
  };
  auto rnd = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  std::string binary(3000, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(rnd(256));
  for (int i = 0; i < notes; ++i) {
    MemoNode* n = h.newNode_();
    h.addNode_(n, "note " + std::to_string(i));
    n->putField_("Created", "\"20261206 120000000\"");
    n->putField_("UID", "\"20261206_120000000_" + std::to_string(10000000 + i) + "\"");
    if (i % 7 == 0) n->putField_("flagMarked", "\"true\"");
    if (i % 25 == 0) {
      n->putContentStream_(binary, "image/png", "binary");
      n->putField_("Content-Type", "\"image/png\"");
      n->putField_("Content-Transfer-Encoding", "\"binary\"");
      continue;
    }
    int lines = 8 + static_cast<int>(rnd(10));
    for (int l = 0; l < lines; ++l) n->body().add(rnd(2) ? jp[rnd(4)] : ascii[rnd(4)]);
    if (i % 5 == 0) n->ensureComment().add(jp[rnd(4)]);
  }
}

}  // namespace wux::bench
