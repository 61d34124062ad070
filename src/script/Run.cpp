// Programs and statements. Statement texts are split, collected and tokenised again
// every time they run; nothing is kept between runs of a statement.
#include <memory>
#include <vector>

#include "model/text/sjis.h"
#include "script/PoorPascal.h"
#include "script/messages.h"

namespace wux {

using namespace script_detail;

namespace {

bool isOpen(const TPPAParser& p) { return p.Is("BEGIN") || p.Is("REPEAT") || p.Is("CASE"); }
bool isClose(const TPPAParser& p) { return p.Is("END") || p.Is("UNTIL"); }

void append(std::string& s, std::string_view token) {
  s += token;
  s += ' ';
}

bool isStopWord(const TPPAParser& p, unsigned mask) {
  using P = TPoorPascal;
  return ((mask & P::cuThen) && p.Is("THEN")) || ((mask & P::cuDo) && p.Is("DO")) ||
         ((mask & P::cuTo) && p.Is("TO")) || ((mask & P::cuDownto) && p.Is("DOWNTO")) ||
         ((mask & P::cuOf) && p.Is("OF")) || ((mask & P::cuSemicolon) && p.Is(";")) ||
         ((mask & P::cuRange) && p.Is("..")) || ((mask & P::cuColon) && p.Is(":"));
}

}  // namespace

std::string TPoorPascal::PrepareSource(const StringList& lines) {
  std::string out;
  std::string line;
  for (const auto& l : lines) {
    line.clear();
    for (TPPAParser p(l.text); p.Kind() != tkEnd; p.NextToken())
      if (p.Kind() != tkComment) append(line, p.TokenText());
    line = sjis::trimRight(line);
    if (line.empty()) continue;
    out += line;
    out += "\r\n";
  }
  return out;
}

void TPoorPascal::SplitStatements(std::string_view separator, std::string_view text, StringList& list) {
  std::string piece;
  int depth = 0;
  for (TPPAParser p(text); p.Kind() != tkEnd; p.NextToken()) {
    if (depth == 0 && p.TokenText() == separator) {
      if (!piece.empty()) list.add(std::move(piece));
      piece.clear();
      continue;
    }
    if (isOpen(p))
      ++depth;
    else if (isClose(p))
      --depth;
    append(piece, p.TokenText());
  }
  if (!piece.empty()) list.add(std::move(piece));
}

std::string TPoorPascal::CollectUntil(TPPAParser& p, unsigned mask) {
  std::string s;
  do {
    append(s, p.TokenText());
    p.NextToken();
  } while (p.Kind() != tkEnd && !isStopWord(p, mask));
  return s;
}

std::string TPoorPascal::CollectBranch(TPPAParser& p) {
  std::string s;
  const bool repeat = p.Is("REPEAT");
  if (repeat || p.Is("BEGIN") || p.Is("ELSE")) {
    p.NextToken();
    if (isClose(p)) return s;
    int depth = 0;
    while (p.Kind() != tkEnd) {
      if (depth == 0 && (repeat ? p.Is("UNTIL") : p.Is("END"))) break;
      if (isOpen(p))
        ++depth;
      else if (isClose(p))
        --depth;
      append(s, p.TokenText());
      p.NextToken();
    }
    return s;
  }
  // A simple statement: up to ";", or up to an ELSE unless an IF came first (an ELSE
  // after a nested IF belongs to that IF).
  int depth = 0;
  bool sawIf = false;
  while (p.Kind() != tkEnd) {
    if (depth == 0 && (p.Is(";") || (!sawIf && p.Is("ELSE")))) break;
    if (isOpen(p))
      ++depth;
    else if (isClose(p))
      --depth;
    else if (p.Is("IF"))
      sawIf = true;
    append(s, p.TokenText());
    p.NextToken();
  }
  return s;
}

bool TPoorPascal::MatchCaseLabel(std::string_view labels, std::int64_t selector) {
  TPPAParser p(labels);
  std::string item;
  while (p.Kind() != tkEnd) {
    item.clear();
    int depth = 0;
    while (p.Kind() != tkEnd) {
      std::string_view t = p.TokenText();
      if (depth == 0 && t == ",") break;
      if (t == "(")
        ++depth;
      else if (t == ")")
        --depth;
      append(item, t);
      p.NextToken();
    }
    p.AcceptToken(",");
    std::int64_t lo, hi;
    std::size_t range = item.find("..");
    if (range != std::string::npos) {
      lo = EvalInt(std::string_view(item).substr(0, range));
      hi = EvalInt(std::string_view(item).substr(range + 2));
    } else {
      lo = hi = EvalInt(item);
    }
    if (lo <= selector && selector <= hi) return true;
  }
  return false;
}

void TPoorPascal::Run() {
  // A second run would delete the variables and routines the running one still uses.
  if (running_ || busy_ > 0) throw ScriptBusyError("The script is already running.");
  terminated_ = break_ = continue_ = paused_ = exit_ = false;
  clearRunTables();
  for (const auto& l : DeclarePrototype) {
    std::string t = sjis::trim(l.text);
    if (!t.empty()) DeclareProc(t, false);
  }
  const std::string text = PrepareSource(Source);
  running_ = true;
  struct Ending {
    bool& running;
    ~Ending() { running = false; }
  } ending{running_};

  TPPAParser p(text);
  const bool hasVar = p.Is("VAR");
  if (hasVar) {
    p.NextToken();
    std::vector<std::string> names;
    while (p.Kind() != tkEnd && !p.Is("BEGIN")) {
      names.clear();
      for (;;) {
        if (p.Kind() != tkIdent) raise(kSyntax, p.TokenText());
        if (findVar(p.TokenText())) raise(kVarTwice, p.TokenText());
        names.emplace_back(p.TokenText());
        p.NextToken();
        if (!p.AcceptToken(",")) break;
      }
      if (!p.AcceptToken(":")) raise(kSyntax, p.TokenText());
      int type = p.Is("INTEGER") ? ptInteger : p.Is("REAL") ? ptReal : p.Is("STRING") ? ptString : -1;
      if (type < 0) raise(kSyntax, p.TokenText());
      p.NextToken();
      if (!p.AcceptToken(";")) raise(kSyntax, p.TokenText());
      for (const auto& n : names) {
        if (findVar(n)) continue;  // named twice in one group
        auto v = std::make_unique<TPPAVar>();
        v->Persistent = false;
        v->Type = static_cast<std::uint8_t>(type);
        addVar(n, std::move(v));
      }
    }
  }
  const std::size_t start = p.TokenPos();
  std::size_t end = 0;
  for (; p.Kind() != tkEnd; p.NextToken())
    if (p.Is("END")) end = p.TokenPos();
  if (hasVar && end == 0) raise(kNoEnd, "Block");
  if (!hasVar) end = text.size();
  // The block starts one byte before its first token (a blank or line break).
  const std::size_t from = start > 0 ? start - 1 : 0;
  const std::size_t count = end > start ? end - start : 0;
  ExecStatements(std::string_view(text).substr(from, count));
}

void TPoorPascal::ExecStatements(std::string_view text) {
  BusyGuard g(busy_);
  NestGuard nest(nest_);
  desktop().processMessages();
  // A runaway loop can always be broken by the user.
  if (running_ && breakRequested()) Stop();
  StringList list;
  SplitStatements(";", text, list);
  for (const auto& statement : list) {
    if (terminated_ || break_ || continue_ || exit_) break;
    execStatement(statement.text);
  }
}

void TPoorPascal::execStatement(std::string_view text) {
  TPPAParser p(text);
  if (p.Kind() != tkIdent) raise(kSyntax, p.TokenText());
  const std::string_view name = p.TokenText();
  if (TPPARoutine* r = findProc(name)) {
    std::string up = sjis::upper(name);
    p.NextToken();
    call(p, *r, up, Member::Proc);
    return;
  }
  if (TPPARoutine* r = findFunc(name)) {
    std::string up = sjis::upper(name);
    p.NextToken();
    call(p, *r, up, r->ResultType == ptInteger ? Member::Int : r->ResultType == ptReal ? Member::Real : Member::Str);
    return;
  }
  if (TPPAVar* v = findVar(name)) {
    if (v->ReadOnly) raise(kReadOnly, name);
    p.NextToken();
    if (p.TokenText() != ":=") raise(kSyntax, p.TokenText());
    p.NextToken();
    const std::size_t pos = p.TokenPos();
    const std::string_view expr = text.substr(pos > 0 ? pos - 1 : 0);
    switch (v->Type) {
      case ptInteger: v->IntValue = EvalInt(expr); break;
      case ptReal: v->RealValue = EvalReal(expr); break;
      default: {
        std::string s = EvalStr(expr);
        std::size_t nul = s.find('\0');
        if (nul != std::string::npos) s.resize(nul);
        v->StrValue = std::move(s);
      }
    }
    tellHost(*v);
    return;
  }
  if (p.Is("BEGIN")) {
    std::string body = CollectBranch(p);
    ExecStatements(body);
    p.AcceptToken("END");
    p.AcceptToken(";");
  } else if (p.Is("BREAK")) {
    break_ = true;
  } else if (p.Is("CONTINUE")) {
    continue_ = true;
  } else if (p.Is("EXIT")) {
    exit_ = true;
  } else if (p.Is("IF")) {
    execIf(p);
  } else if (p.Is("FOR")) {
    execFor(p);
  } else if (p.Is("WHILE")) {
    execWhile(p);
  } else if (p.Is("REPEAT")) {
    execRepeat(p);
  } else if (p.Is("CASE")) {
    execCase(p);
  } else {
    raise(kSyntax, p.TokenText());
  }
}

void TPoorPascal::execIf(TPPAParser& p) {
  p.NextToken();
  const std::string cond = CollectUntil(p, cuThen);
  p.AcceptToken("THEN");
  if (p.Kind() == tkEnd) raise(kSyntax, "if");
  const std::string thenText = CollectBranch(p);
  p.AcceptToken("END");
  const bool holds = EvalInt(cond) != 0;
  if (holds) ExecStatements(thenText);
  if (p.AcceptToken("ELSE")) {
    const std::string elseText = CollectBranch(p);
    if (!holds) ExecStatements(elseText);
  }
  p.AcceptToken("END");
  p.AcceptToken(";");
}

void TPoorPascal::execFor(TPPAParser& p) {
  p.NextToken();
  TPPAVar* v = p.Kind() == tkIdent ? findVar(p.TokenText()) : nullptr;
  if (!v || v->Type != ptInteger || v->ReadOnly) raise(kSyntax, "for");
  const std::string init = CollectUntil(p, cuTo | cuDownto);
  if (init.find(":=") == std::string::npos || p.Kind() == tkEnd) raise(kSyntax, "for");
  const bool down = p.Is("DOWNTO");
  p.NextToken();
  ExecStatements(init);
  const std::int64_t start = v->IntValue;
  const std::string limitText = CollectUntil(p, cuDo);
  if (p.Kind() == tkEnd) raise(kSyntax, "for");
  p.NextToken();
  const std::int64_t limit = EvalInt(limitText);
  const std::string body = CollectBranch(p);
  // The counter lives here: the body may change the variable, not the count. It steps
  // in 64 bits and stops on reaching the limit, so no step goes past either end.
  if (down ? limit <= start : limit >= start) {
    for (std::int64_t counter = start;; counter += down ? -1 : 1) {
      if (terminated_) break;
      v->IntValue = counter;
      continue_ = false;
      ExecStatements(body);
      if (exit_ || break_ || counter == limit) break;
    }
  }
  break_ = continue_ = false;
}

void TPoorPascal::execWhile(TPPAParser& p) {
  p.NextToken();
  const std::string cond = CollectUntil(p, cuDo);
  if (p.Kind() == tkEnd) raise(kSyntax, "while");
  p.NextToken();
  const std::string body = CollectBranch(p);
  while (!terminated_ && EvalInt(cond) != 0) {
    continue_ = false;
    ExecStatements(body);
    if (exit_ || break_) break;
  }
  break_ = continue_ = false;
}

void TPoorPascal::execRepeat(TPPAParser& p) {
  const std::string body = CollectBranch(p);
  p.AcceptToken("UNTIL");
  const std::string cond = CollectUntil(p, cuSemicolon);
  std::int64_t last = 0;
  while (!terminated_ && last == 0) {
    continue_ = false;
    ExecStatements(body);
    if (exit_ || break_) break;
    last = EvalInt(cond);
  }
  break_ = continue_ = false;
}

void TPoorPascal::execCase(TPPAParser& p) {
  p.NextToken();
  const std::string sel = CollectUntil(p, cuOf);
  if (p.Kind() == tkEnd) raise(kNoOf, "case");
  p.NextToken();
  const std::int64_t selector = EvalInt(sel);
  bool ran = false;
  // Every arm whose labels match runs, in order.
  while (p.Kind() != tkEnd && !p.Is("ELSE") && !p.Is("END")) {
    const std::string labels = CollectUntil(p, cuColon);
    if (!p.Is(":")) raise(kBadExpr, "case");
    p.NextToken();
    const std::string body = CollectBranch(p);
    if (MatchCaseLabel(labels, selector)) {
      ExecStatements(body);
      ran = true;
    }
    p.AcceptToken("END");
    p.AcceptToken(";");
  }
  if (p.Is("ELSE")) {
    const std::string elseText = CollectBranch(p);
    if (!ran) ExecStatements(elseText);
  }
  if (!p.AcceptToken("END")) raise(kNoEnd, "case");
  p.AcceptToken(";");
}

}  // namespace wux
