#pragma once
// Shared pieces of the view tests: a fixed clock and random source, a temporary folder,
// and notebooks made in memory.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <filesystem>
#include <memory>
#include <string>

#include "model/clock.h"
#include "model/objects.h"
#include "model/strutil.h"
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

// Adds notes given as "name" or "name|UID|ParentNodeID".
inline void addNotes(MemoHolderUI* holder, std::initializer_list<std::string> notes) {
  for (const std::string& note : notes) {
    StringList parts;
    SplitToStrings(note, parts, "|");
    MemoNode* n = holder->newNode_();
    if (parts.count() > 1) n->putField_("UID", "\"" + parts[1] + "\"");
    if (parts.count() > 2) n->putField_("ParentNodeID", "\"" + parts[2] + "\"");
    holder->addNode_(n, parts[0]);
  }
}

// The notes in list order, each behind one dot per level: "root .child other ".
inline std::string order(MemoHolderUI* holder) {
  StringList l;
  holder->setNodeList_(l);
  std::string out;
  for (int i = 0; i < l.count(); ++i) {
    const int level = static_cast<MemoNode*>(l.object(i))->getLevel_();
    out += std::string(static_cast<size_t>(level > 0 ? level : 0), '.') + l[i] + " ";
  }
  return out;
}

// The bytes of a one-colour picture in a format Qt writes ("PNG", "ICO").
inline std::string imageBytes(const char* format, int width, int height) {
  QImage img(width, height, QImage::Format_ARGB32);
  img.fill(Qt::blue);
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  EXPECT_TRUE(img.save(&buf, format)) << format;
  return bytes.toStdString();
}

// A document with one notebook of the given notes.
struct Notebook {
  std::unique_ptr<MemoFileUI> doc{Create<MemoFileUI>(nullptr)};
  MemoHolderUI* holder = nullptr;

  explicit Notebook(std::initializer_list<std::string> notes, const std::string& name = "book") {
    holder = static_cast<MemoHolderUI*>(doc->newHolder_());
    std::string actual;
    doc->addHolder_(holder, name, actual);
    holder->loaded = true;
    addNotes(holder, notes);
  }
  MemoNodeUI* node(const std::string& name) { return static_cast<MemoNodeUI*>(holder->findNodeByName_(name)); }
  std::string order() { return test::order(holder); }
};

}  // namespace wux::test
