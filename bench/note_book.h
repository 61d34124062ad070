#pragma once
// A document with one notebook of `n` notes linked by UID, for the view benchmarks: note
// i's parent is note parentOf(i), or none when that is negative.
#include <functional>
#include <memory>
#include <string>

#include "model/objects.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"

struct Book {
  std::unique_ptr<wux::MemoFileUI> doc{wux::Create<wux::MemoFileUI>(nullptr)};
  wux::MemoHolderUI* holder;
  Book(int n, const std::function<int(int)>& parentOf) {
    holder = static_cast<wux::MemoHolderUI*>(doc->newHolder_());
    std::string actual;
    doc->addHolder_(holder, "big", actual);
    holder->putField_("FlagSameName", "\"true\"");
    for (int i = 0; i < n; ++i) {
      wux::MemoNode* note = holder->newNode_();
      note->putField_("UID", "\"U" + std::to_string(i) + "\"");
      if (const int parent = parentOf(i); parent >= 0)
        note->putField_("ParentNodeID", "\"U" + std::to_string(parent) + "\"");
      holder->addNode_(note, "note " + std::to_string(i));
    }
  }
};
