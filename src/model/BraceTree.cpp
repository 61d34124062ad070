#include "model/BraceTree.h"

#include "model/objects.h"
#include "model/text/sjis.h"

namespace wux {

BraceNode* BraceNode::addChild(std::string childText) {
  children.push_back(std::make_unique<BraceNode>());
  children.back()->text = std::move(childText);
  return children.back().get();
}

std::unique_ptr<BraceNode> BraceNode::clone() const {
  auto copy = std::make_unique<BraceNode>();
  copy->text = text;
  copy->kind = kind;
  copy->data = data;
  for (const auto& c : children) copy->children.push_back(c->clone());
  return copy;
}

BraceNode* BraceTree::add(BraceNode* parent, std::string text) {
  if (parent) return parent->addChild(std::move(text));
  roots.push_back(std::make_unique<BraceNode>());
  roots.back()->text = std::move(text);
  return roots.back().get();
}

const StringList& BraceRawKeptKeywords() {
  static const StringList keywords{"deltas", "geomcustom", "vertsgroup"};
  return keywords;
}

namespace {

// Counts work on the agent's counter (which runs on across loads and writes) and
// paces the status text and the message pump by it.
class Pacer {
 public:
  explicit Pacer(const BraceProgress& p) : p_(p) {}
  std::uint32_t counter() const { return p_.agent ? p_.agent->progress : own_; }
  std::uint32_t step() { return p_.agent ? p_.agent->incProgress() : ++own_; }
  void pump() const {
    if (p_.pump) p_.pump();
  }
  void status(const std::string& text) const {
    if (p_.agent) p_.agent->messageDoing_(text);
  }
  bool isBreak() const { return p_.agent && p_.agent->isBreak(); }

 private:
  const BraceProgress& p_;
  std::uint32_t own_ = 0;
};

std::string firstWordLower(const std::string& t) {
  const std::size_t end = t.find_first_of(" \t");
  return sjis::lower(end == std::string::npos ? t : t.substr(0, end));
}

struct Loader {
  BraceTree& tree;
  const StringList& lines;
  const StringList* rawKept;
  Pacer pace;

  void tick(int i, const char* suffix) {
    const std::uint32_t n = pace.step();
    if (n % 100 == 20) pace.pump();
    if (n % 100 == 99) pace.status(std::to_string(i + 1) + "/" + std::to_string(lines.count()) + suffix);
  }

  int load(BraceNode* parent, int i, int depth) {
    if (depth <= 1) pace.pump();
    if (pace.isBreak()) return -1;
    BraceNode* last = parent;  // what a following "{" opens a block under
    const int n = lines.count();
    while (i < n) {
      tick(i, "");
      std::string t = sjis::trim(lines[i]);
      const std::string first = firstWordLower(t);
      if (t == "{") {
        i = load(last, i + 1, depth + 1);
        if (i < 0 || pace.isBreak()) return -1;
        continue;
      }
      if (t == "}") {
        if (depth == 0) {
          // No block is open: a stray closing line must not end the load.
          ++i;
          continue;
        }
        if (i > 0 && sjis::trim(lines[i - 1]) == "{") tree.add(parent, "");
        return i + 1;
      }
      if (rawKept && rawKept->count() > 0 && rawKept->indexOfExact(first) >= 0) {
        StringList block;
        for (++i; i < n;) {
          tick(i, "*");
          std::string b = sjis::trim(lines[i++]);
          const bool closing = b == "}";
          block.add(std::move(b));
          if (closing) break;
        }
        BraceNode* node = tree.add(parent, t);
        node->kind = BraceNode::Kind::RawBlock;
        node->data = std::move(block);
        last = node;
        continue;
      }
      if (first == "ignorebodyparts") {
        if (t.size() > 80) {
          BraceNode* node = tree.add(parent, "\\" + t);
          node->kind = BraceNode::Kind::LongIgnored;
          node->data = StringList{t};
        } else {
          tree.add(parent, t);
        }
        ++i;
        continue;
      }
      if (t.empty()) t = " ";
      last = tree.add(parent, t);
      ++i;
    }
    return n;
  }
};

struct Writer {
  StringList& out;
  Pacer pace;
  bool stopped = false;

  // An empty text would come back as " " (a blank line reads as one blank), so it is
  // written that way at once and the text is stable after one round trip.
  static const std::string& shown(const std::string& text) {
    static const std::string blank = " ";
    return text.empty() ? blank : text;
  }

  // A node's own lines at `indent`: a long ignored line once, as it was read; a raw
  // block with its lines one tab deeper, always closed.
  // Result: whether the node's lines included what stands for its children.
  bool writeNode(const BraceNode& c, const std::string& indent) {
    if (c.kind == BraceNode::Kind::LongIgnored && c.data && c.data->count() > 0) {
      for (int k = 0; k < c.data->count(); ++k) out.add(indent + sjis::trim((*c.data)[k]));
      return true;
    }
    out.add(indent + shown(c.text));
    if (!c.data) return false;
    bool closed = false;
    for (int k = 0; k < c.data->count(); ++k) {
      std::string line = sjis::trim((*c.data)[k]);
      closed = line == "}";
      out.add(indent + "\t" + line);
    }
    // The reader takes a raw block up to the first closing line: without its own, the
    // block would take the enclosing block's.
    if (c.kind == BraceNode::Kind::RawBlock && !closed) out.add(indent + "\t}");
    return true;
  }

  void subtree(const BraceNode& node, int level) {
    const std::string indent(static_cast<std::size_t>(level) + 1, '\t');
    out.add(indent + "{");
    const int count = static_cast<int>(node.children.size());
    for (int k = 0; k < count; ++k) {
      if (pace.counter() % 50 == 0) pace.pump();
      if (pace.isBreak()) {
        stopped = true;
        return;
      }
      const BraceNode& c = *node.children[k];
      const bool hadData = writeNode(c, indent);
      if (pace.counter() % 20 == 10)
        pace.status(std::to_string(k + 1) + "/" + std::to_string(count) + " " + c.text);
      if (!hadData && !c.children.empty()) subtree(c, level + 1);
      if (stopped) return;
      pace.step();
    }
    out.add(indent + "}");
  }
};

}  // namespace

int LoadBraceTree(BraceTree& tree, BraceNode* parent, const StringList& lines, const BraceProgress& progress,
                  const StringList* rawKept, int first) {
  Loader loader{tree, lines, rawKept, Pacer(progress)};
  return loader.load(parent, first < 0 ? 0 : first, 0);
}

int SaveBraceTree(const BraceTree& tree, StringList& out, const BraceProgress& progress) {
  if (tree.empty()) return -1;
  StringList text;
  Writer w{text, Pacer(progress)};
  text.add("{");
  for (const auto& top : tree.roots) {
    if (w.pace.isBreak()) return -1;
    const bool hadData = w.writeNode(*top, "");
    if (!hadData && !top->children.empty()) w.subtree(*top, 0);
    if (w.stopped) return -1;
  }
  text.add("}");
  out = std::move(text);
  return 0;
}

}  // namespace wux
