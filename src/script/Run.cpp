// Programs and statements. A statement is read again every time it runs, from the
// tokens of the text it was gathered from; the program text is tokenised once per run
// and gathered texts are ranges of its tokens (see TokenBuffer).
#include <algorithm>
#include <memory>
#include <vector>

#include "model/text/sjis.h"
#include "script/PoorPascal.h"
#include "script/messages.h"

namespace wux {

using namespace script_detail;

namespace {

bool isStopWord(Word w, unsigned mask) {
  switch (w) {
    case wThen: return mask & 1;
    case wDo: return mask & 2;
    case wTo: return mask & 4;
    case wDownto: return mask & 8;
    case wOf: return mask & 16;
    case wSemicolon: return mask & 32;
    case wRange: return mask & 64;
    case wColon: return mask & 128;
    default: return false;
  }
}

}  // namespace

std::string TPoorPascal::PrepareSource(const StringList& lines) {
  std::string out;
  std::string line;
  for (const auto& l : lines) {
    line.clear();
    for (TPPAParser p(l.text); p.Kind() != tkEnd; p.NextToken()) {
      if (p.Kind() == tkComment) continue;
      line += p.TokenText();
      line += ' ';
    }
    line = sjis::trimRight(line);
    if (line.empty()) continue;
    out += line;
    out += "\r\n";
  }
  return out;
}

TPoorPascal::Range TPoorPascal::ofText(std::string text) {
  Range r;
  r.own = std::make_unique<TokenBuffer>(std::move(text));
  r.buf = r.own.get();
  r.e = r.buf->size();
  return r;
}

TPoorPascal::Range TPoorPascal::gather(const TokenBuffer& buf, std::uint32_t b, std::uint32_t e, Join join) {
  if (buf.clean()) {
    Range r;
    r.buf = &buf;
    r.b = b;
    r.e = e;
    return r;
  }
  std::string text;
  for (std::uint32_t i = b; i < e; ++i) {
    if (join == Join::Leading) text += ' ';
    text += buf.tokenText(i);
    if (join == Join::Trailing) text += ' ';
  }
  return ofText(std::move(text));
}

TPoorPascal::Range TPoorPascal::collectUntil(TPPAParser& p, unsigned mask) {
  const std::uint32_t from = p.index();
  do {
    p.NextToken();
  } while (p.Kind() != tkEnd && !isStopWord(p.word(), mask));
  return gather(*p.buffer(), from, p.index(), Join::Trailing);
}

TPoorPascal::Range TPoorPascal::collectBranch(TPPAParser& p) {
  const TokenBuffer& buf = *p.buffer();
  const std::uint32_t e = p.end();
  std::uint32_t from, to;
  const bool repeat = p.Is(wRepeat);
  if (repeat || p.Is(wBegin) || p.Is(wElse)) {
    p.NextToken();
    from = p.index();
    if (p.Is(wEnd) || p.Is(wUntil)) return gather(buf, from, from, Join::Trailing);
    // Up to the END (UNTIL) that closes the block.
    to = buf.nextAtDepth(repeat ? wUntil : wEnd, buf.depth(from), from, e);
  } else {
    // A simple statement: up to ";", or up to an ELSE unless an IF came first (an ELSE
    // after a nested IF belongs to that IF).
    from = p.index();
    const int d = buf.depth(from);
    const std::uint32_t firstIf = buf.nextIf(from, e);
    const std::uint32_t orElse = buf.nextAtDepth(wElse, d, from, firstIf);
    to = std::min(buf.nextAtDepth(wSemicolon, d, from, e), orElse < firstIf ? orElse : e);
  }
  p.replay(buf, to, e);
  return gather(buf, from, to, Join::Trailing);
}

bool TPoorPascal::MatchCaseLabel(std::string_view labels, std::int64_t selector) {
  return matchCaseLabel(ofText(std::string(labels)), selector);
}

bool TPoorPascal::matchCaseLabel(const Range& labels, std::int64_t selector) {
  const TokenBuffer& buf = *labels.buf;
  TPPAParser p(buf, labels.b, labels.e);
  while (p.Kind() != tkEnd) {
    const std::uint32_t from = p.index();
    int depth = 0;
    while (p.Kind() != tkEnd) {
      const Word w = p.word();
      if (depth == 0 && w == wComma) break;
      if (w == wLParen)
        ++depth;
      else if (w == wRParen)
        --depth;
      p.NextToken();
    }
    const std::uint32_t to = p.index();
    p.Accept(wComma);
    // The item is a range when its text holds "..": the operator, or (read as text)
    // inside a literal.
    std::uint32_t range = to;
    bool inLiteral = false;
    for (std::uint32_t i = from; i < to && range == to; ++i) {
      if (buf.tokenText(i).find("..") == std::string_view::npos) continue;
      range = i;
      inLiteral = buf[i].word != wRange;
    }
    std::int64_t lo, hi;
    if (inLiteral || !buf.clean()) {
      std::string item;
      for (std::uint32_t i = from; i < to; ++i) {
        item += buf.tokenText(i);
        item += ' ';
      }
      const std::size_t at = item.find("..");
      if (at != std::string::npos) {
        lo = EvalInt(std::string_view(item).substr(0, at));
        hi = EvalInt(std::string_view(item).substr(at + 2));
      } else {
        lo = hi = EvalInt(item);
      }
    } else if (range < to) {
      lo = evalInt(gather(buf, from, range, Join::Trailing));
      hi = evalInt(gather(buf, range + 1, to, Join::Trailing));
    } else {
      lo = hi = evalInt(gather(buf, from, to, Join::Trailing));
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
  const TokenBuffer program(PrepareSource(Source));
  const std::string& text = program.text();
  running_ = true;
  struct Ending {
    bool& running;
    ~Ending() { running = false; }
  } ending{running_};

  TPPAParser p(program, 0, program.size());
  const bool hasVar = p.Is(wVar);
  if (hasVar) {
    p.NextToken();
    std::vector<std::string> names;
    while (p.Kind() != tkEnd && !p.Is(wBegin)) {
      names.clear();
      for (;;) {
        if (p.Kind() != tkIdent) raise(kSyntax, p.TokenText());
        if (findVar(p.TokenText())) raise(kVarTwice, p.TokenText());
        names.emplace_back(p.TokenText());
        p.NextToken();
        if (!p.Accept(wComma)) break;
      }
      if (!p.Accept(wColon)) raise(kSyntax, p.TokenText());
      int type = p.Is(wInteger) ? ptInteger : p.Is(wReal) ? ptReal : p.Is(wString) ? ptString : -1;
      if (type < 0) raise(kSyntax, p.TokenText());
      p.NextToken();
      if (!p.Accept(wSemicolon)) raise(kSyntax, p.TokenText());
      for (const auto& n : names) {
        if (findVar(n)) continue;  // named twice in one group
        auto v = std::make_unique<TPPAVar>();
        v->Persistent = false;
        v->Type = static_cast<std::uint8_t>(type);
        addVar(n, std::move(v));
      }
    }
  }
  const std::uint32_t first = p.index();
  const std::size_t start = p.TokenPos();
  std::uint32_t last = program.size();
  for (std::uint32_t i = first; i < program.size(); ++i)
    if (program[i].word == wEnd) last = i;
  if (hasVar && last == program.size()) raise(kNoEnd, "Block");
  // Without VAR the block is the whole text: the program's own tokens.
  if (!hasVar) return execList(Range{&program, first, program.size(), nullptr});
  // The block runs from the byte before its first token (a blank or line break) up to
  // the byte before the last END.
  const std::size_t end = program[last].pos;
  if (program.clean()) {
    execList(Range{&program, first, std::max(first, last), nullptr});
  } else {
    const std::size_t from = start > 0 ? start - 1 : 0;
    execList(ofText(end > start ? text.substr(from, end - start) : std::string()));
  }
}

void TPoorPascal::ExecStatements(std::string_view text) { execList(ofText(std::string(text))); }

void TPoorPascal::execList(const Range& r) {
  BusyGuard g(busy_);
  NestGuard nest(nest_);
  desktop().processMessages();
  // A runaway loop can always be broken by the user.
  if (running_ && breakRequested()) Stop();
  // The statements are the texts between the ";" outside blocks; empty ones are none.
  const TokenBuffer& buf = *r.buf;
  const int d = buf.depth(r.b);
  for (std::uint32_t i = r.b; i < r.e;) {
    const std::uint32_t j = buf.nextAtDepth(wSemicolon, d, i, r.e);
    if (j > i) {
      if (terminated_ || break_ || continue_ || exit_) break;
      execStatement(gather(buf, i, j, Join::Trailing));
    }
    i = j + 1;
  }
}

void TPoorPascal::execStatement(const Range& r) {
  TPPAParser p(*r.buf, r.b, r.e);
  if (p.Kind() != tkIdent) raise(kSyntax, p.TokenText());
  const std::string_view name = p.TokenText();
  const Token& t = names(p);
  if (TPPARoutine* proc = t.proc) {
    p.NextToken();
    call(p, *proc, Member::Proc);
    return;
  }
  if (TPPARoutine* func = t.func) {
    p.NextToken();
    call(p, *func,
         func->ResultType == ptInteger ? Member::Int : func->ResultType == ptReal ? Member::Real : Member::Str);
    return;
  }
  if (TPPAVar* v = t.var) {
    if (v->ReadOnly) raise(kReadOnly, name);
    p.NextToken();
    if (!p.Is(wAssign)) raise(kSyntax, p.TokenText());
    p.NextToken();
    // The expression is the rest of the statement.
    assign(*v, Range{r.buf, p.index(), r.e, nullptr});
    return;
  }
  switch (p.word()) {
    case wBegin: {
      const Range body = collectBranch(p);
      execList(body);
      break;
    }
    case wBreak: break_ = true; break;
    case wContinue: continue_ = true; break;
    case wExit: exit_ = true; break;
    case wIf: execIf(p); break;
    case wFor: execFor(p); break;
    case wWhile: execWhile(p); break;
    case wRepeat: execRepeat(p); break;
    case wCase: execCase(p); break;
    default: raise(kSyntax, p.TokenText());
  }
}

void TPoorPascal::assign(TPPAVar& v, const Range& expr) {
  switch (v.Type) {
    case ptInteger: v.IntValue = evalInt(expr); break;
    case ptReal: v.RealValue = evalReal(expr); break;
    default: {
      // s := s + ... appends to the value where it is, instead of copying it each time.
      TPPAParser q(*expr.buf, expr.b, expr.e);
      if (!v.IsObject && !v.lentTo && q.Kind() == tkIdent && varAt(q) == &v) {
        q.NextToken();
        if (q.Is(wPlus) || q.Kind() == tkString) {
          appendInPlace(v, expr);
          return;
        }
      }
      std::string s = evalStr(expr);
      std::size_t nul = s.find('\0');
      if (nul != std::string::npos) s.resize(nul);
      v.StrValue = std::move(s);
      if (v.lentTo) v.storedWhileLent = true;
    }
  }
  tellHost(v);
}

void TPoorPascal::appendInPlace(TPPAVar& v, const Range& expr) {
  BusyGuard g(busy_);
  TPPAParser p(*expr.buf, expr.b, expr.e);
  std::string s = std::move(v.StrValue);
  const std::size_t old = s.size();
  v.lentTo = &s;
  v.lentLen = old;
  v.storedWhileLent = false;
  struct Return {
    TPPAVar& v;
    std::string& s;
    std::size_t old;
    bool done = false;
    ~Return() {
      // On an error the variable keeps its value (or the one stored meanwhile).
      if (!done && !v.storedWhileLent) {
        s.resize(old);
        v.StrValue = std::move(s);
      }
      v.lentTo = nullptr;
      v.storedWhileLent = false;
    }
  } back{v, s, old};
  {
    NestGuard nest(nest_);  // the variable, the first factor
  }
  p.NextToken();
  strConcatRest(p, s);
  strRelationRest(p, s);
  // The old value holds no NUL; the first one in what came after ends the value.
  const std::size_t nul = s.find('\0', std::min(old, s.size()));
  if (nul != std::string::npos) s.resize(nul);
  back.done = true;
  v.StrValue = std::move(s);
}

void TPoorPascal::execIf(TPPAParser& first) {
  // An ELSE IF chain runs arm after arm here rather than one statement list deeper per
  // arm, so a chain may be as long as a script likes.
  Range statement;  // the arm being run, when its text had to be read again
  TPPAParser p(*first.buffer(), first.index(), first.end());
  for (;;) {
    p.NextToken();
    const Range cond = collectUntil(p, cuThen);
    p.Accept(wThen);
    if (p.Kind() == tkEnd) raise(kSyntax, "if");
    const Range thenText = collectBranch(p);
    p.Accept(wEnd);
    const bool holds = evalInt(cond) != 0;
    if (holds) execList(thenText);
    if (!p.Accept(wElse)) return;
    Range elseText = collectBranch(p);
    if (holds) return;
    // Is the else branch, as a statement list, one IF statement?
    const TokenBuffer& buf = *elseText.buf;
    bool chained = !elseText.empty() && buf[elseText.b].word == wIf &&
                   buf.nextAtDepth(wSemicolon, buf.depth(elseText.b), elseText.b, elseText.e) == elseText.e;
    if (chained) {
      const TPPAParser head(buf, elseText.b, elseText.e);
      chained = !procAt(head) && !funcAt(head) && !varAt(head);
    }
    if (!chained) return execList(elseText);
    // What the statement list would do before its statement.
    desktop().processMessages();
    if (running_ && breakRequested()) Stop();
    if (terminated_ || break_ || continue_ || exit_) return;
    Range next = gather(buf, elseText.b, elseText.e, Join::Trailing);
    if (next.own) {
      statement = std::move(next);
    } else if (elseText.own) {
      statement = std::move(elseText);
      statement.b = next.b;
      statement.e = next.e;
    } else {  // a range of the buffer the arm came from, which stays
      statement.buf = next.buf;
      statement.b = next.b;
      statement.e = next.e;
    }
    p.replay(*statement.buf, statement.b, statement.e);
  }
}

void TPoorPascal::execFor(TPPAParser& p) {
  p.NextToken();
  TPPAVar* v = p.Kind() == tkIdent ? varAt(p) : nullptr;
  if (!v || v->Type != ptInteger || v->ReadOnly) raise(kSyntax, "for");
  const Range init = collectUntil(p, cuTo | cuDownto);
  bool assigns = false;
  for (std::uint32_t i = init.b; i < init.e; ++i)
    if (init.buf->tokenText(i).find(":=") != std::string_view::npos) assigns = true;
  if (!assigns || p.Kind() == tkEnd) raise(kSyntax, "for");
  const bool down = p.Is(wDownto);
  p.NextToken();
  execList(init);
  const std::int64_t start = v->IntValue;
  const Range limitText = collectUntil(p, cuDo);
  if (p.Kind() == tkEnd) raise(kSyntax, "for");
  p.NextToken();
  const std::int64_t limit = evalInt(limitText);
  const Range body = collectBranch(p);
  // The counter lives here: the body may change the variable, not the count. It steps
  // in 64 bits and stops on reaching the limit, so no step goes past either end.
  if (down ? limit <= start : limit >= start) {
    for (std::int64_t counter = start;; counter += down ? -1 : 1) {
      if (terminated_) break;
      v->IntValue = counter;
      continue_ = false;
      execList(body);
      if (exit_ || break_ || counter == limit) break;
    }
  }
  break_ = continue_ = false;
}

void TPoorPascal::execWhile(TPPAParser& p) {
  p.NextToken();
  const Range cond = collectUntil(p, cuDo);
  if (p.Kind() == tkEnd) raise(kSyntax, "while");
  p.NextToken();
  const Range body = collectBranch(p);
  while (!terminated_ && evalInt(cond) != 0) {
    continue_ = false;
    execList(body);
    if (exit_ || break_) break;
  }
  break_ = continue_ = false;
}

void TPoorPascal::execRepeat(TPPAParser& p) {
  const Range body = collectBranch(p);
  p.Accept(wUntil);
  const Range cond = collectUntil(p, cuSemicolon);
  std::int64_t last = 0;
  while (!terminated_ && last == 0) {
    continue_ = false;
    execList(body);
    if (exit_ || break_) break;
    last = evalInt(cond);
  }
  break_ = continue_ = false;
}

void TPoorPascal::execCase(TPPAParser& p) {
  p.NextToken();
  const Range sel = collectUntil(p, cuOf);
  if (p.Kind() == tkEnd) raise(kNoOf, "case");
  p.NextToken();
  const std::int64_t selector = evalInt(sel);
  bool ran = false;
  // Every arm whose labels match runs, in order.
  while (p.Kind() != tkEnd && !p.Is(wElse) && !p.Is(wEnd)) {
    const Range labels = collectUntil(p, cuColon);
    if (!p.Is(wColon)) raise(kBadExpr, "case");
    p.NextToken();
    const Range body = collectBranch(p);
    if (matchCaseLabel(labels, selector)) {
      execList(body);
      ran = true;
    }
    p.Accept(wEnd);
    p.Accept(wSemicolon);
  }
  if (p.Is(wElse)) {
    const Range elseText = collectBranch(p);
    if (!ran) execList(elseText);
  }
  if (!p.Accept(wEnd)) raise(kNoEnd, "case");
  p.Accept(wSemicolon);
}

}  // namespace wux
