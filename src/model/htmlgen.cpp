#include "model/htmlgen.h"

#include <algorithm>
#include <array>

#include "model/Prompter.h"
#include "model/errors.h"
#include "model/lists.h"
#include "model/records/MemoHolder.h"
#include "model/records/MemoNode.h"
#include "model/strutil.h"
#include "model/text/sjis.h"

namespace wux {

namespace {

std::string field(const MemoNode& n, std::string_view name) { return n.getField_(std::string(name)); }

// Plain notes answer 0; the screen-bound ones answer their depth in the tree view.
class OwnNodeLevels : public NodeLevelProvider {
 public:
  int getLevel_(const MemoNode& node) const override { return const_cast<MemoNode&>(node).getLevel_(); }
};

const OwnNodeLevels kOwn;
const NodeLevelProvider* gLevels = &kOwn;

constexpr const char* kDoctype = "<!doctype html public \"-//w3c//dtd html 4.0 transitional//en\">";
constexpr const char* kTopLink = " | <a href=\"#TOP\">TOP</a><BR>";

std::string linkLine(std::string_view target, std::string_view text) {
  std::string s = "<a href=\"";
  s += target;
  s += "\">";
  s += text;
  s += "</a>";
  return s;
}

std::string anchorLine(long long n) { return "<a name=\"" + std::to_string(n) + "\"></a>"; }

std::string unquoted(const MemoNode& n, std::string_view name) { return Dequote(field(n, name)); }

bool isFalse(const MemoNode& n, std::string_view name) { return field(n, name) == "\"false\""; }

// A note's file as a page address: "\" becomes "/", and a drive path "C:/x" becomes
// "file:///C|/x".
std::string fileAddress(const MemoNode& n) {
  std::string f = sjis::replaceAll(unquoted(n, "Filename"), "\\", "/");
  if (f.size() > 2 && f[1] == ':') f = "file:///" + f.substr(0, 1) + "|" + f.substr(2);
  return f;
}

std::string lowerUnquoted(const MemoNode& n, std::string_view name) {
  return sjis::lower(unquoted(n, name));
}

std::string contentType(const MemoNode& n) {
  std::string t = lowerUnquoted(n, "Content-Type");
  return t.empty() ? std::string("text") : t;
}

bool isUrlNote(const MemoNode& n) { return unquoted(n, "Content-Transfer-Encoding") == "URL"; }

bool startsWithStar(std::string_view name) { return sjis::trim(name).starts_with('*'); }

std::string pad(int v, int width) {
  std::string s = std::to_string(v);
  if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), '0');
  return s;
}

bool sameDay(const DateTime& a, const DateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

}  // namespace

const NodeLevelProvider* setNodeLevelProvider(const NodeLevelProvider* p) {
  const NodeLevelProvider* old = gLevels;
  gLevels = p ? p : &kOwn;
  return old == &kOwn ? nullptr : old;
}

const NodeLevelProvider& nodeLevelProvider() { return *gLevels; }

// ---- Template expansion ----

int expandTemplateFor_(const MemoNode& node, const MemoHolder* holder, const std::string& nodeName,
                       StringList& lines) {
  struct Token {
    std::string_view key;
    std::string value;
    bool active;
  };
  const DateTime now = Now();
  const std::array<Token, 4> tokens{{
      {"%HOLDER.NAME%", holder ? EscapeHTML(holder->name()) : std::string(), holder != nullptr},
      {"%NODE.NAME%", EscapeHTML(nodeName), true},
      {"%DATE%", pad(now.year, 4) + "/" + pad(now.month, 2) + "/" + pad(now.day, 2), true},
      {"%TIME%", pad(now.hour, 2) + ":" + pad(now.minute, 2) + ":" + pad(now.second, 2), true},
  }};
  for (const auto& ln : node.body()) {
    const std::string& line = ln.text;
    if (line.find('%') == std::string::npos) continue;
    // One pass, so a name that itself holds a token is never expanded again.
    std::string out;
    out.reserve(line.size() + 16);
    std::size_t i = 0;
    while (i < line.size()) {
      bool hit = false;
      if (line[i] == '%') {
        for (const Token& t : tokens) {
          if (t.active && line.size() - i >= t.key.size() &&
              sjis::compareText(std::string_view(line).substr(i, t.key.size()), t.key) == 0) {
            out += t.value;
            i += t.key.size();
            hit = true;
            break;
          }
        }
      }
      if (!hit) {
        std::size_t len = sjis::charLen(line, i);
        out.append(line, i, len);
        i += len;
      }
    }
    lines.add(std::move(out));
  }
  return 0;
}

int expandTemplate_(const MemoNode& node, const MemoHolder* holder, StringList& lines) {
  return expandTemplateFor_(node, holder, node.name(), lines);
}

// ---- The generator ----

HTMLGEN::HTMLGEN(const MemoHolder* holder, const NodeLevelProvider* levels)
    : holder_(holder), levels_(levels ? levels : &nodeLevelProvider()) {}

void HTMLGEN::resetTemplates_() {
  std::fill(std::begin(templ_), std::end(templ_), nullptr);
  content_.clear();
  flagComment_ = true;
}

void HTMLGEN::collectNodes_(const StringList& pairs) { collect_(pairs, Templates::All); }

void HTMLGEN::collect_(const StringList& pairs, Templates which, bool readContent) {
  static const struct {
    const char* name;
    int kind;
    bool pageOnly;  // recognised by the week and single-note pages too
  } kNames[] = {
      {"*HTML", kSettings, false},
      {"*HTML BODY HEADER", kBodyHeader, true},
      {"*HTML BODY FOOTER", kBodyFooter, true},
      {"*HTML BODY", kBody, true},
      {"*HTML HEAD", kHead, true},
      {"*HTML NODE HEADER", kNodeHeader, true},
      {"*HTML NODE FOOTER", kNodeFooter, true},
      {"*HTML NODE HEADER LEVEL=0", kHeaderLevel0, false},
      {"*HTML NODE HEADER LEVEL=1", kHeaderLevel0 + 1, false},
      {"*HTML NODE HEADER LEVEL=2", kHeaderLevel0 + 2, false},
      {"*HTML NODE HEADER LEVEL=3", kHeaderLevel0 + 3, false},
      {"*HTML NODE FOOTER LEVEL=0", kFooterLevel0, false},
      {"*HTML NODE FOOTER LEVEL=1", kFooterLevel0 + 1, false},
      {"*HTML NODE FOOTER LEVEL=2", kFooterLevel0 + 2, false},
      {"*HTML NODE FOOTER LEVEL=3", kFooterLevel0 + 3, false},
      {"*HTML NODE HEADER A", kHeaderA, false},
      {"*HTML NODE HEADER B", kHeaderB, false},
      {"*HTML NODE FOOTER A", kFooterA, false},
      {"*HTML NODE FOOTER B", kFooterB, false},
      {"*HTML URL MemoNode", kUrlNode, false},
  };
  for (int i = 0; i < pairs.count(); ++i) {
    MemoNode* node = pairs.objectAs<MemoNode>(i);
    if (!node) continue;
    const std::string& name = pairs[i];
    if (std::string why; (readContent || startsWithStar(name)) && !node->loadForReading_(why)) {
      unread_.push_back(MemoNode::unreadText(name, why));
      continue;
    }
    if (!startsWithStar(name)) {
      content_.add(name, node);
      continue;
    }
    for (const auto& t : kNames) {
      if (name == t.name && (which == Templates::All || t.pageOnly)) {
        templ_[t.kind] = node;
        break;
      }
    }
  }
  if (which == Templates::All && templ_[kSettings] && isFalse(*templ_[kSettings], "FlagHTMLComment"))
    flagComment_ = false;
}

const MemoNode* HTMLGEN::choose_(const MemoNode& node, const char* fieldName, Kind a, Kind b,
                                 Kind level0, Kind plain) const {
  const std::string which = field(node, fieldName);
  if (which == "\"A\"" && templ_[a]) return templ_[a];
  if (which == "\"B\"" && templ_[b]) return templ_[b];
  const int level = levels_->getLevel_(node);
  if (level >= 0 && level <= 3 && templ_[level0 + level]) return templ_[level0 + level];
  return templ_[plain];
}

const MemoNode* HTMLGEN::chooseNodeHeader_(const MemoNode& node) const {
  return choose_(node, "HTML_HEADER", kHeaderA, kHeaderB, kHeaderLevel0, kNodeHeader);
}

const MemoNode* HTMLGEN::chooseNodeFooter_(const MemoNode& node) const {
  return choose_(node, "HTML_FOOTER", kFooterA, kFooterB, static_cast<Kind>(kFooterLevel0), kNodeFooter);
}

void HTMLGEN::expand_(const MemoNode* tmpl, const std::string& name, StringList& lines) const {
  if (tmpl) expandTemplateFor_(*tmpl, holder_, name, lines);
}

void HTMLGEN::expandOwn_(const MemoNode* tmpl, StringList& lines) const {
  if (tmpl) expandTemplate_(*tmpl, holder_, lines);
}

void HTMLGEN::writeNodeContent_(const MemoNode& node, StringList& lines, bool flagComment) const {
  const std::string name = node.name();
  const std::string type = contentType(node);
  if (isUrlNote(node)) {
    lines.add(linkLine(EscapeHTML(unquoted(node, "Filename")), TextToHTML(name)));
  } else if (type.compare(0, 5, "image") == 0) {
    std::string target = unquoted(node, "Link");
    if (target.empty()) target = fileAddress(node);
    std::string img = "<img SRC=\"" + EscapeHTML(fileAddress(node)) + "\"";
    // An empty size is left out rather than written as a bare "Width=".
    for (const char* attr : {"Width", "Height"}) {
      std::string v = unquoted(node, attr);
      if (!v.empty()) img += std::string(" ") + attr + "=\"" + EscapeHTML(v) + "\"";
    }
    img += ">";
    lines.add(linkLine(EscapeHTML(target), img));
  } else if (type == "text/csv") {
    lines.add("<table BORDER>");
    StringList cells;
    for (const auto& ln : node.body()) cells.add(EscapeHTML(ln.text));
    CsvToTableRows(cells, lines);
    lines.add("</table>");
  } else if (!node.body().empty()) {
    const bool asHtml = isFalse(node, "FlagHTMLMemoAddBR");
    for (const auto& ln : node.body()) lines.add(asHtml ? ln.text : TextToHTML(ln.text) + "<BR>");
  }

  const StringList* comment = node.comment();
  if (flagComment && comment && !sjis::trim(comment->text()).empty()) {
    if (isFalse(node, "FlagHTMLCommentAddBR")) {
      lines.append(*comment);
    } else {
      lines.add("<blockquote>");
      lines.add("<HR>");
      for (const auto& ln : *comment) lines.add(TextToHTML(ln.text) + "<BR>");
      lines.add("</blockquote>");
    }
  }
}

void HTMLGEN::writeHead_(const std::string& escapedTitle, StringList& lines) const {
  lines.add(kDoctype);
  lines.add("<HTML>");
  lines.add("<HEAD>");
  if (templ_[kHead]) {
    expandOwn_(templ_[kHead], lines);
  } else {
    lines.add("  <META>");
    lines.add("  <TITLE>" + escapedTitle + "</TITLE>");
  }
  lines.add("</HEAD>");
  if (templ_[kBody]) {
    // The attributes keep the template's own line breaks, one page line per text line.
    StringList attrs;
    attrs.setText(sjis::trim(templ_[kBody]->body().text()));
    if (attrs.empty()) attrs.add("");
    attrs.set(0, "<BODY " + attrs[0]);
    attrs.set(attrs.count() - 1, attrs[attrs.count() - 1] + ">");
    lines.append(attrs);
  } else {
    lines.add("<BODY>");
  }
  expandOwn_(templ_[kBodyHeader], lines);
}

void HTMLGEN::writeEnd_(StringList& lines) const {
  expandOwn_(templ_[kBodyFooter], lines);
  lines.add("</BODY>");
  lines.add("</HTML>");
}

void HTMLGEN::writeSectionTitle_(const std::string& name, StringList& lines) const {
  lines.add("<HR>");
  lines.add(TextToHTML(name) + kTopLink);
}

void HTMLGEN::writePage_(const std::string& title, StringList& lines) const {
  writeHead_(TextToHTML(title), lines);

  // Table of contents, one blockquote per tree level so that every one opened is closed.
  // No tree is deeper than it has notes, which bounds a level that a view got wrong.
  int prev = 0;
  for (int i = 0; i < content_.count(); ++i) {
    const MemoNode& node = *content_.objectAs<MemoNode>(i);
    const int level = std::clamp(levels_->getLevel_(node), 0, content_.count());
    for (; prev > level; --prev) lines.add("</blockquote>");
    for (; prev < level; ++prev) lines.add("<blockquote>");
    lines.add(linkLine("#" + std::to_string(i), TextToHTML(content_[i])) + "<BR>");
  }
  for (; prev > 0; --prev) lines.add("</blockquote>");
  lines.add("<HR>");

  for (int i = 0; i < content_.count(); ++i) {
    const MemoNode& node = *content_.objectAs<MemoNode>(i);
    const std::string& name = content_[i];
    if (templ_[kUrlNode] && isUrlNote(node)) {
      expand_(templ_[kUrlNode], name, lines);
      continue;
    }
    if (const MemoNode* h = chooseNodeHeader_(node))
      expand_(h, name, lines);
    else
      writeSectionTitle_(name, lines);
    lines.add(anchorLine(i));
    writeNodeContent_(node, lines, flagComment_);
    expand_(chooseNodeFooter_(node), name, lines);
  }
  writeEnd_(lines);
}

void HTMLGEN::writeCalendar_(const std::string& title, StringList& lines, const DateTime& date) const {
  if (!IsValidDate(date.year, date.month, 1)) throw RangeError("calendar month out of range");
  writeHead_(TextToHTML(title), lines);
  lines.add("<CENTER>");
  lines.add(pad(date.year, 4) + "/" + pad(date.month, 2));
  lines.add("<TABLE BORDER>");
  lines.add("<TR BGColor=#EEEEEE>");
  lines.add("  <TD BGColor=#FFEEEE><DIV align=center>SUN</DIV></TD>");
  for (const char* d : {"MON", "TUE", "WED", "THU", "FRI"})
    lines.add(std::string("  <TD><DIV align=center>") + d + "</DIV></TD>");
  lines.add("  <TD BGColor=#EEFFEE><DIV align=center>SAT</DIV></TD>");
  lines.add("</TR>");

  // Each content note's day, read once.
  struct Dated {
    const MemoNode* node;
    std::string name;
    std::string text;
    DateTime day;
    bool dated;
  };
  std::vector<Dated> dated;
  for (int i = 0; i < content_.count(); ++i) {
    Dated d{content_.objectAs<MemoNode>(i), content_[i], {}, {}, false};
    std::string rest;
    const std::string first = SplitFirstWord(sjis::trim(d.name), rest);
    d.dated = nameToDate(first, d.day);
    rest = sjis::trim(rest);
    d.text = rest.empty() ? std::string("*") : TextToHTML(rest);
    dated.push_back(std::move(d));
  }

  // From the Sunday on or before the 1st to the Saturday on or after the last day, so
  // that every day of the month (and its notes) is shown.
  DateTime first{date.year, date.month, 1};
  DateTime last{date.year, date.month, DaysInMonth(date.year, date.month)};
  DateTime day = AddDays(first, -(DayOfWeek(first) - 1));
  const DateTime end = AddDays(last, 7 - DayOfWeek(last));
  std::vector<const Dated*> linked;
  for (;;) {
    const int dow = DayOfWeek(day);
    if (dow == 1) lines.add("<TR>");
    std::string cell = dow == 1 ? "  <TD BGColor=#FFEEEE>" : dow == 7 ? "  <TD BGColor=#EEFFEE>" : "  <TD>";
    cell += "<DIV align=right>";
    cell += day.day == 1 ? pad(day.month, 2) + "/" + pad(day.day, 2) : std::to_string(day.day);
    cell += "</DIV>";
    lines.add(std::move(cell));
    for (const Dated& d : dated) {
      if (!d.dated || !sameDay(d.day, day)) continue;
      lines.add(linkLine("#" + std::to_string(linked.size()), d.text) + "<BR>");
      linked.push_back(&d);
    }
    lines.add("</TD>");
    if (dow == 7) lines.add("</TR>");
    if (sameDay(day, end)) break;
    day = AddDays(day, 1);
  }
  lines.add("</TABLE>");
  lines.add("</CENTER>");
  lines.add("<HR>");

  for (std::size_t k = 0; k < linked.size(); ++k) {
    const Dated& d = *linked[k];
    if (templ_[kNodeHeader])
      expand_(templ_[kNodeHeader], d.name, lines);
    else
      writeSectionTitle_(d.name, lines);
    lines.add(anchorLine(static_cast<long long>(k)));
    writeNodeContent_(*d.node, lines, flagComment_);
    expand_(templ_[kNodeFooter], d.name, lines);
  }
  writeEnd_(lines);
}

bool HTMLGEN::nameToDate(std::string_view text, DateTime& out) {
  const std::string t = sjis::trim(text);
  std::string digits;
  for (std::size_t i = 0; i < t.size() && digits.size() < 8; i += sjis::charLen(t, i))
    if (t[i] >= '0' && t[i] <= '9') digits += t[i];
  const DateTime now = Now();
  out = now;
  auto part = [&](std::size_t from, std::size_t len) {
    int v = 0;
    for (std::size_t i = from; i < from + len && i < digits.size(); ++i) v = v * 10 + (digits[i] - '0');
    return v;
  };
  int y = part(0, 4), m = part(4, 2), d = part(6, 2);
  if (y == 0) y = now.year;
  if (m == 0) m = now.month;
  if (d == 0) d = now.day;
  if (!IsValidDate(y, m, d)) return false;
  out = DateTime{y, m, d};
  return true;
}

DateTime HTMLGEN::nameToDate_(std::string_view text) {
  DateTime d;
  nameToDate(text, d);
  return d;
}

// ---- Notebook and note exports ----

namespace {
void tellUnread(const HTMLGEN& gen, UnreadNotes* unread) {
  if (unread) unread->insert(unread->end(), gen.unread().begin(), gen.unread().end());
}
}  // namespace

int exportPageHTML_(MemoHolder& holder, StringList& lines, UnreadNotes* unread) {
  HTMLGEN gen(&holder);
  gen.resetTemplates_();
  StringList pairs;
  holder.setNodeList_(pairs);
  gen.collectNodes_(pairs);
  tellUnread(gen, unread);
  gen.writePage_(holder.name(), lines);
  return 0;
}

int exportCalendarHTML_(MemoHolder& holder, StringList& lines, const DateTime& date, UnreadNotes* unread) {
  HTMLGEN gen(&holder);
  gen.resetTemplates_();
  StringList pairs;
  holder.setNodeList_(pairs);
  gen.collectNodes_(pairs);
  tellUnread(gen, unread);
  gen.writeCalendar_(holder.name(), lines, date);
  return 0;
}

int exportWeekHTML_(MemoHolder& holder, StringList& lines, const DateTime& /*date*/, UnreadNotes* unread) {
  HTMLGEN gen(&holder);
  gen.resetTemplates_();
  // The container's own order, not the order a view shows.
  StringList pairs;
  if (holder.nodes()) pairs = holder.nodes()->children();
  gen.collect_(pairs, HTMLGEN::Templates::PageOnly);
  tellUnread(gen, unread);

  gen.writeHead_(EscapeHTML(holder.name()), lines);
  const StringList& content = gen.content_;
  for (int i = 0; i < content.count(); ++i)
    lines.add(linkLine("#" + std::to_string(i), EscapeHTML(content[i])) + "<BR>");
  lines.add("<HR>");
  for (int i = 0; i < content.count(); ++i) {
    const MemoNode& node = *content.objectAs<MemoNode>(i);
    if (gen.templ_[HTMLGEN::kNodeHeader]) {
      gen.expand_(gen.templ_[HTMLGEN::kNodeHeader], content[i], lines);
    } else {
      lines.add("<HR>");
      lines.add(EscapeHTML(content[i]) + kTopLink);
    }
    lines.add(anchorLine(i));
    for (const auto& ln : node.body()) lines.add(EscapeHTML(ln.text) + "<BR>");
    gen.expand_(gen.templ_[HTMLGEN::kNodeFooter], content[i], lines);
  }
  gen.writeEnd_(lines);
  return 0;
}

int exportHTML_(MemoHolder& holder, StringList& lines, UnreadNotes* unread) {
  // The stored value exactly: only the two kinds the settings dialog writes give no page.
  const std::string kind = holder.getNewNodeName_();
  if (kind == "\"Glossary\"" || kind == "\"Number\"") return 0;
  return exportPageHTML_(holder, lines, unread);
}

int exportCalendar_(MemoHolder&) {
  ShowMessage("Still Not Implimented.");
  return -1;
}

int exportHTML_(MemoNode& node, StringList& lines, UnreadNotes* unread) {
  if (std::string why; !node.loadForReading_(why)) {
    if (unread) unread->push_back(MemoNode::unreadText(node.name(), why));
    return -1;
  }
  MemoHolder* holder = node.getParentHolder_();
  HTMLGEN gen(holder);
  gen.resetTemplates_();
  StringList pairs;
  if (holder) holder->setNodeList_(pairs);
  gen.collect_(pairs, HTMLGEN::Templates::PageOnly, false);

  const std::string name = node.name();
  gen.writeHead_(EscapeHTML(name), lines);
  if (gen.templ_[HTMLGEN::kNodeHeader]) {
    gen.expand_(gen.templ_[HTMLGEN::kNodeHeader], name, lines);
  } else {
    lines.add("<HR>");
    lines.add(EscapeHTML(name));
  }
  lines.add(anchorLine(holder ? holder->getNodeCount_() : 0));
  if (isUrlNote(node)) {
    lines.add(linkLine(EscapeHTML(unquoted(node, "Filename")), EscapeHTML(name)));
  } else if (contentType(node) != "image/jpeg") {
    for (const auto& ln : node.body()) lines.add(EscapeHTML(ln.text) + "<BR>");
  } else {
    lines.add("<img SRC=\"" + EscapeHTML(fileAddress(node)) + "\">");
  }
  // A comment list, blank or empty, gets its block: the page shows what the note holds.
  if (const StringList* comment = node.comment()) {
    lines.add("<blockquote>");
    lines.add("<HR>");
    for (const auto& ln : *comment) lines.add(EscapeHTML(ln.text) + "<BR>");
    lines.add("</blockquote>");
  }
  gen.expand_(gen.templ_[HTMLGEN::kNodeFooter], name, lines);
  gen.writeEnd_(lines);
  return 0;
}

}  // namespace wux
