#pragma once
// Shared pieces of the view tests: a fixed clock and random source, a temporary folder,
// and notebooks made in memory.
#include <filesystem>
#include <memory>
#include <string>

#include "model/clock.h"
#include "model/objects.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"

namespace wux::test {

struct FixedWorld {
  FixedClock clock{DateTime{2026, 12, 6, 12, 34, 56, 789}};
  SeededRandom random{42};
  FixedWorld() {
    setClock(&clock);
    setRandomSource(&random);
  }
  ~FixedWorld() {
    setClock(nullptr);
    setRandomSource(nullptr);
  }
};

struct TempDir {
  std::filesystem::path path;
  TempDir() {
    char tmpl[] = "/tmp/wux_views_XXXXXX";
    path = mkdtemp(tmpl);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string str(const std::string& name) const { return (path / name).string(); }
};

// A document with one notebook of the given note names (fields as "name" or
// "name|UID|ParentNodeID").
struct Notebook {
  std::unique_ptr<MemoFileUI> doc{Create<MemoFileUI>(nullptr)};
  MemoHolderUI* holder = nullptr;

  explicit Notebook(std::initializer_list<std::string> notes, const std::string& name = "book") {
    holder = static_cast<MemoHolderUI*>(doc->newHolder_());
    std::string actual;
    doc->addHolder_(holder, name, actual);
    holder->loaded = true;
    for (const std::string& note : notes) {
      std::string nm = note, uid, parent;
      if (auto bar = nm.find('|'); bar != std::string::npos) {
        uid = nm.substr(bar + 1);
        nm = nm.substr(0, bar);
        if (auto bar2 = uid.find('|'); bar2 != std::string::npos) {
          parent = uid.substr(bar2 + 1);
          uid = uid.substr(0, bar2);
        }
      }
      MemoNode* n = holder->newNode_();
      if (!uid.empty()) n->putField_("UID", "\"" + uid + "\"");
      if (!parent.empty()) n->putField_("ParentNodeID", "\"" + parent + "\"");
      holder->addNode_(n, nm);
    }
  }
  MemoNodeUI* node(const std::string& name) { return static_cast<MemoNodeUI*>(holder->findNodeByName_(name)); }
  std::string order() {
    StringList l;
    holder->setNodeList_(l);
    std::string out;
    for (int i = 0; i < l.count(); ++i) {
      auto* n = static_cast<MemoNodeUI*>(static_cast<MemoNode*>(l.object(i)));
      const int level = n->getLevel_();
      out += std::string(static_cast<size_t>(level > 0 ? level : 0), '.') + l[i] + " ";
    }
    return out;
  }
};

}  // namespace wux::test
