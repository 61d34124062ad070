#pragma once
// A note whose text lives in a file (FlagLink="true"), added to a notebook without being
// shown, so its file is not read yet.
#include <string>

namespace wux::test {

template <class Holder>
auto* addLinkedNote(Holder& holder, const std::string& name, const std::string& file) {
  auto* n = holder.newNode_();
  holder.addNode_(n, name);
  n->putField_("FlagLink", "\"true\"");
  n->putField_("Filename", "\"" + file + "\"");
  return n;
}

}  // namespace wux::test
