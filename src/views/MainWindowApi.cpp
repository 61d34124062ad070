#include "views/MainWindowApi.h"

#include "model/records/MemoNode.h"

namespace wux {

std::string unreadNote(MainWindowApi& w, MemoNode& node) {
  std::string why;
  if (node.loadForReading_(why)) return {};
  const std::string failure = MemoNode::unreadText(node.name(), why);
  w.addLog_(failure);
  return failure;
}

}  // namespace wux
