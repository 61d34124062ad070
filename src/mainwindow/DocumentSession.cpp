#include "mainwindow/DocumentSession.h"

#include <unistd.h>

#include <climits>

#include "model/text/sjis.h"
#include "platform/textconv.h"
#include "views/MemoFileUI.h"

namespace wux {

// ---- the new document of the start-up --------------------------------------------------

namespace {

std::string fieldsOf(const MemoBasic& rec) { return rec.fieldList() ? rec.fieldList()->text() : std::string(); }

bool blank(const StringList& lines) {
  for (const auto& l : lines)
    if (!sjis::trim(l.text).empty()) return false;
  return true;
}

}  // namespace

void DocumentSession::rememberStartupDocument() {
  startupDocument_.reset();
  MemoFileUI* f = file();
  if (!f || f->getHolderCount_() != 1) return;
  MemoHolder* h = f->getHolder_(0);
  if (!h || h->getNodeCount_() != 1) return;
  MemoNode* n = h->getNode_(0);
  startupDocument_ = StartupDocument{h, h->name(), fieldsOf(*h), n, n->name(), fieldsOf(*n), f->getFileName_()};
}

// Judged by what the document holds, not by the modified flags, which start-up and a
// mere click set.
bool DocumentSession::isStartupDocument() {
  if (!startupDocument_) return false;
  MemoFileUI* f = file();
  if (!f) return false;
  // What is typed but not yet committed counts as well, in a note window too.
  w_.UI2ModelAll();
  if (f->getHolderCount_() != 1 || !blank(f->body()) || f->getFileName_() != startupDocument_->fileName)
    return false;
  MemoHolder* h = f->getHolder_(0);
  if (h != startupDocument_->holder || h->name() != startupDocument_->holderName || !blank(h->body()) ||
      fieldsOf(*h) != startupDocument_->holderFields || h->getNodeCount_() != 1)
    return false;
  MemoNode* n = h->getNode_(0);
  if (n != startupDocument_->node || n->name() != startupDocument_->nodeName ||
      fieldsOf(*n) != startupDocument_->nodeFields || n->content())
    return false;
  return blank(n->body()) && (!n->comment() || blank(*n->comment()));
}

// ---- the search-keyword history -------------------------------------------------------

void DocumentSession::addSearchKeyword_(const std::string& keyword) {
  const int i = keywords_.indexOf(keyword);
  if (i >= 0) keywords_.erase(i);
  keywords_.insert(0, keyword);
}

std::string DocumentSession::programPath() const {
  if (!programPath_.empty()) return programPath_;
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? platform::fromOsName(std::string(buf, static_cast<std::size_t>(n))) : std::string("wux");
}

void registerDocumentSessionCommands(CommandTable& table, DocumentSession& s) {
  table.add("UIOpenMemoFile", Needs::notBusy(kResultOpenRefused), [&s] { return s.UIOpenMemoFile(); });
  table.add("UIOpenURL", [&s] { return s.UIOpenURL(); });
  table.add("UINewFile", [&s] { return s.UINewFile(); });
  table.add("UISaveFileWithMSG", [&s] { return s.UISaveFileWithMSG(); });
  table.add("UISaveFileWithoutMSG", [&s] { return s.UISaveFileWithoutMSG(); });
  table.add("UISaveAsMXA", [&s] { return s.saveAsMemoFile_(".mxa"); });
  table.add("UISaveAsMAZ", [&s] { return s.saveAsMemoFile_(".maz"); });
  table.add("UISaveAllHolders", Needs::notBusy(kResultFailed), [&s] { return s.UISaveAllHolders(); });
  table.add("SaveFileAndAllHolders", Needs::notBusy(kResultFailed), [&s] { return s.saveFileAndAllHolders(); });
}

}  // namespace wux
