#include "model/BraceTree.h"

#include "model/objects.h"
#include "model/text/sjis.h"

namespace wux {

BraceNode* BraceNode::addChild(std::string childText) {
  children.push_back(std::make_unique<BraceNode>());
  children.back()->text = std::move(childText);
  return children.back().get();
}

BraceNode::~BraceNode() {
  std::vector<std::unique_ptr<BraceNode>> pending = std::move(children);
  while (!pending.empty()) {
    std::unique_ptr<BraceNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& c : node->children) pending.push_back(std::move(c));
    node->children.clear();
  }
}

namespace {

std::unique_ptr<BraceNode> copyOne(const BraceNode& n) {
  auto copy = std::make_unique<BraceNode>();
  copy->text = n.text;
  copy->kind = n.kind;
  copy->data = n.data;
  return copy;
}

}  // namespace

std::unique_ptr<BraceNode> BraceNode::clone() const {
  auto copy = copyOne(*this);
  std::vector<std::pair<const BraceNode*, BraceNode*>> todo{{this, copy.get()}};
  while (!todo.empty()) {
    const auto [from, to] = todo.back();
    todo.pop_back();
    for (const auto& c : from->children) {
      to->children.push_back(copyOne(*c));
      todo.emplace_back(c.get(), to->children.back().get());
    }
  }
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

  // One open block: the node its lines go under, and the node a following "{" opens
  // a block under.
  struct Level {
    BraceNode* parent;
    BraceNode* last;
    int depth;  // how deep `parent` stands among the items read (0: the top)
  };

  // Opens blocks on an explicit stack, never by calling itself: a deep text costs no
  // stack, and a block deeper than the cap is refused.
  int load(BraceNode* parent, int i) {
    pace.pump();
    if (pace.isBreak()) return -1;
    std::vector<Level> levels{{parent, parent, 0}};
    const int n = lines.count();
    while (i < n) {
      tick(i, "");
      std::string t = sjis::trim(lines[i]);
      const std::string first = firstWordLower(t);
      Level& level = levels.back();
      const int depth = static_cast<int>(levels.size()) - 1;  // at most the cap
      if (t == "{") {
        // Both the blocks and the items they make count: what is read can be written
        // back (one block per item level) and read again.
        const int under = level.last == level.parent ? level.depth : level.depth + 1;
        if (depth >= kBraceMaxDepth || under >= kBraceMaxDepth) return kBraceTooDeep;
        levels.push_back({level.last, level.last, under});
        ++i;
        if (depth == 0) pace.pump();
        if (pace.isBreak()) return -1;
        continue;
      }
      if (t == "}") {
        // No block is open: a stray closing line must not end the load.
        if (depth > 0) {
          if (i > 0 && sjis::trim(lines[i - 1]) == "{") tree.add(level.parent, "");
          levels.pop_back();
          if (pace.isBreak()) return -1;
        }
        ++i;
        continue;
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
        BraceNode* node = tree.add(level.parent, t);
        node->kind = BraceNode::Kind::RawBlock;
        node->data = std::move(block);
        level.last = node;
        continue;
      }
      if (first == "ignorebodyparts") {
        if (t.size() > 80) {
          BraceNode* node = tree.add(level.parent, "\\" + t);
          node->kind = BraceNode::Kind::LongIgnored;
          node->data = StringList{t};
        } else {
          tree.add(level.parent, t);
        }
        ++i;
        continue;
      }
      if (t.empty()) t = " ";
      level.last = tree.add(level.parent, t);
      ++i;
    }
    // Blocks left open end with the text; a break met meanwhile still counts.
    if (levels.size() > 1 && pace.isBreak()) return -1;
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

  // One block being written: its node, the next child to write, its level.
  struct Open {
    const BraceNode* node;
    std::size_t next;
    int level;
  };

  // Writes the block of `root`'s children, and theirs, on an explicit stack.
  void subtree(const BraceNode& root, int rootLevel) {
    std::vector<Open> open;
    auto begin = [&](const BraceNode& n, int level) {
      out.add(std::string(static_cast<std::size_t>(level) + 1, '\t') + "{");
      open.push_back({&n, 0, level});
    };
    begin(root, rootLevel);
    while (!open.empty()) {
      Open& o = open.back();
      const std::string indent(static_cast<std::size_t>(o.level) + 1, '\t');
      const std::size_t count = o.node->children.size();
      if (o.next >= count) {
        out.add(indent + "}");
        open.pop_back();
        if (!open.empty()) {
          pace.step();
          ++open.back().next;
        }
        continue;
      }
      if (pace.counter() % 50 == 0) pace.pump();
      if (pace.isBreak()) {
        stopped = true;
        return;
      }
      const BraceNode& c = *o.node->children[o.next];
      const bool hadData = writeNode(c, indent);
      if (pace.counter() % 20 == 10)
        pace.status(std::to_string(o.next + 1) + "/" + std::to_string(count) + " " + c.text);
      if (!hadData && !c.children.empty()) {
        begin(c, o.level + 1);  // `o` is not used after this
        continue;
      }
      pace.step();
      ++o.next;
    }
  }
};

}  // namespace

int LoadBraceTree(BraceTree& tree, BraceNode* parent, const StringList& lines, const BraceProgress& progress,
                  const StringList* rawKept, int first) {
  Loader loader{tree, lines, rawKept, Pacer(progress)};
  return loader.load(parent, first < 0 ? 0 : first);
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
