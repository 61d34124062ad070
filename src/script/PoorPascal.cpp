#include "script/PoorPascal.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "model/text/sjis.h"
#include "platform/textconv.h"
#include "script/Arithmetic.h"
#include "script/messages.h"

namespace wux {

using namespace script_detail;

namespace {

int typeWord(const TPPAParser& p) {
  switch (p.word()) {
    case wInteger: return ptInteger;
    case wReal: return ptReal;
    case wString: return ptString;
    default: return -1;
  }
}

HeadlessDesktop& headless() {
  static HeadlessDesktop d;
  return d;
}

}  // namespace

int TPPAParam::int32Value() const {
  if (IntValue < INT32_MIN || IntValue > INT32_MAX)
    throw RangeError("Integer argument out of range: " + std::to_string(IntValue));
  return static_cast<int>(IntValue);
}

TPPARoutine::~TPPARoutine() { FreeObjects(Formals); }

// ---------------------------------------------------------------------------------------
// Component and tables

TPoorPascal::TPoorPascal() {
  auto mk = [this](const char* name, std::uint8_t type, std::int64_t i) {
    auto v = std::make_unique<TPPAVar>();
    v->ReadOnly = true;
    v->Type = type;
    v->IntValue = i;
    addVar(name, std::move(v));
  };
  mk("True", ptInteger, -1);
  mk("False", ptInteger, 0);
  mk("Nil", ptString, 0);
  // The built-ins: each row's prototype declares it, and gives the Index and the kind
  // of routine by which a call finds the row.
  for (const TPPARoutineEntry& row : builtinTable()) {
    TPPARoutine& r = declare(row.prototype, true);
    const Member m = findProc(r.Name) == &r ? Member::Proc
                     : r.ResultType == ptInteger ? Member::Int
                     : r.ResultType == ptReal ? Member::Real
                                              : Member::Str;
    builtins_[r.Index] = {m, row.handler};
  }
}

TPoorPascal::~TPoorPascal() = default;

ScriptDesktop& TPoorPascal::desktop() const { return desktop_ ? *desktop_ : headless(); }

namespace {
template <class Map>
auto* lookup(const Map& m, std::string_view name) {
  auto it = m.find(sjis::upper(name));
  return it == m.end() ? nullptr : it->second.get();
}
}  // namespace

TPPAVar* TPoorPascal::findVar(std::string_view name) const { return lookup(variables_, name); }
TPPARoutine* TPoorPascal::findProc(std::string_view name) const { return lookup(procedures_, name); }
TPPARoutine* TPoorPascal::findFunc(std::string_view name) const { return lookup(functions_, name); }

namespace {
template <class Map>
std::vector<std::string> sortedNames(const Map& m) {
  std::vector<std::string> out;
  out.reserve(m.size());
  for (const auto& kv : m) out.push_back(kv.second->Name);
  std::sort(out.begin(), out.end());
  return out;
}
}  // namespace

std::vector<std::string> TPoorPascal::procedureNames() const { return sortedNames(procedures_); }
std::vector<std::string> TPoorPascal::functionNames() const { return sortedNames(functions_); }

const Token& TPoorPascal::names(const TPPAParser& p) const {
  static thread_local Token scratch;
  const Token* t = p.token();
  if (!t) t = &scratch;
  if (t == &scratch || t->version != version_) {
    const std::string key = sjis::upper(p.TokenText());
    auto find = [&key](const auto& m) {
      auto it = m.find(key);
      return it == m.end() ? nullptr : it->second.get();
    };
    t->var = find(variables_);
    t->proc = find(procedures_);
    t->func = find(functions_);
    t->version = version_;
  }
  return *t;
}

void TPoorPascal::addVar(const std::string& name, std::unique_ptr<TPPAVar> v) {
  std::string key = sjis::upper(name);
  if (variables_.count(key)) raise(kVarTwice, name);
  v->Name = name;
  v->StrValue = cutAtNul(std::move(v->StrValue));
  variables_.emplace(std::move(key), std::move(v));
  ++version_;
}

void TPoorPascal::AddIntConst(const std::string& name, bool readOnly, std::int64_t value) {
  auto v = std::make_unique<TPPAVar>();
  v->ReadOnly = readOnly;
  v->IntValue = value;
  addVar(name, std::move(v));
}

void TPoorPascal::AddStrConst(const std::string& name, const std::string& value, bool readOnly) {
  auto v = std::make_unique<TPPAVar>();
  v->ReadOnly = readOnly;
  v->Type = ptString;
  v->StrValue = value;
  addVar(name, std::move(v));
}

void TPoorPascal::AddStrObject(const std::string& name, const std::string& value, int index, bool readOnly) {
  auto v = std::make_unique<TPPAVar>();
  v->ReadOnly = readOnly;
  v->IsObject = true;
  v->Type = ptString;
  v->StrValue = value;
  v->Index = index;
  addVar(name, std::move(v));
}

void TPoorPascal::DeclareProc(std::string_view text, bool System) { declare(text, System); }

TPPARoutine& TPoorPascal::declare(std::string_view text, bool System) {
  std::string s = sjis::upper(sjis::trim(text));
  bool isFunc;
  if (s.rfind("PROCEDURE ", 0) == 0) {
    isFunc = false;
    s.erase(0, 10);
  } else if (s.rfind("FUNCTION ", 0) == 0) {
    isFunc = true;
    s.erase(0, 9);
  } else {
    raise(kDefinition);
  }
  s = sjis::trimLeft(s);
  if (s.empty() || s.back() != ';') raise(kDefinition);
  s.pop_back();
  s = sjis::trimRight(s);

  TPPAParser p(s);
  if (p.Kind() != tkIdent) raise(kDefinition);
  std::string name(p.TokenText());
  if (findProc(name) || findFunc(name)) raise(kRoutineTwice, name);
  auto r = std::make_unique<TPPARoutine>();
  r->Name = name;
  r->System = System;
  p.NextToken();
  if (p.Is(wLParen)) {
    if (s.find(')') == std::string::npos) raise(kDefinition);
    p.NextToken();
    for (;;) {
      int first = r->Formals.count();
      for (;;) {
        if (p.Kind() != tkIdent) raise(kSyntax, p.TokenText());
        std::string f(p.TokenText());
        if (r->Formals.indexOf(f) >= 0) raise(kFormalTwice, f);
        r->Formals.add(f, new TPPAParam);
        p.NextToken();
        if (!p.Accept(wComma)) break;
      }
      if (!p.Accept(wColon)) raise(kSyntax, p.TokenText());
      int t = typeWord(p);
      if (t < 0) raise(kSyntax, p.TokenText());
      p.NextToken();
      for (int i = first; i < r->Formals.count(); ++i)
        static_cast<TPPAParam*>(r->Formals.object(i))->Type = static_cast<std::uint8_t>(t);
      if (p.Accept(wSemicolon)) continue;
      if (p.Accept(wRParen)) break;
      raise(kSyntax, p.TokenText());
    }
  }
  if (isFunc) {
    if (!p.Accept(wColon)) raise(kDefinition);
    int t = typeWord(p);
    if (t < 0) raise(kDefinition);
    r->ResultType = static_cast<std::uint8_t>(t);
    p.NextToken();
  }
  if (p.Accept(wSemicolon) && p.Accept(wIndex)) {
    std::string_view num = p.TokenText();
    std::int64_t v = 0;
    if (ScriptStrToInt(num, v)) {
      // Hexadecimal fills the 32 bits ($FFFFFFFF is -1); decimal must fit them.
      if (!num.empty() && num[0] == '$' && v >= 0 && v <= 0xFFFFFFFFll)
        r->Index = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
      else if (v >= INT32_MIN && v <= INT32_MAX)
        r->Index = static_cast<int>(v);
    }
  }
  TPPARoutine& made = *r;
  (isFunc ? functions_ : procedures_).emplace(name, std::move(r));
  ++version_;
  return made;
}

void TPoorPascal::clearRunTables() {
  std::erase_if(variables_, [](const auto& kv) { return !kv.second->Persistent; });
  std::erase_if(procedures_, [](const auto& kv) { return !kv.second->System; });
  std::erase_if(functions_, [](const auto& kv) { return !kv.second->System; });
  ++version_;
}

// ---------------------------------------------------------------------------------------
// Host objects

void TPoorPascal::hostError(int code) {
  std::string msg;
  if (ErrorProc)
    ErrorProc(code, msg);
  else
    msg = "Error code " + std::to_string(code);
  throw ScriptError(msg);
}

std::int64_t TPoorPascal::readInt(TPPAVar& v) {
  std::int64_t val = v.IntValue;
  if (v.IsObject && IntObjParam) {
    int err = 0;
    IntObjParam(v.Name, v.Index, 0, err, val);
    if (err != 0) hostError(err);
  }
  return val;
}

long double TPoorPascal::readReal(TPPAVar& v) {
  if (v.Type == ptInteger) return static_cast<long double>(readInt(v));
  double val = v.RealValue;
  if (v.IsObject && RealObjParam) {
    int err = 0;
    RealObjParam(v.Name, v.Index, 0, err, val);
    if (err != 0) hostError(err);
  }
  return val;
}

std::string TPoorPascal::readStr(TPPAVar& v) {
  std::string val = v.lentTo && !v.storedWhileLent ? v.lentTo->substr(0, v.lentLen) : v.StrValue;
  if (v.IsObject && StrObjParam) {
    int err = 0;
    StrObjParam(v.Name, v.Index, 0, err, val);
    if (err != 0) hostError(err);
  }
  return val;
}

void TPoorPascal::tellHost(TPPAVar& v) {
  if (!v.IsObject) return;
  int err = 0;
  switch (v.Type) {
    case ptInteger:
      if (IntObjParam) {
        std::int64_t val = v.IntValue;
        IntObjParam(v.Name, v.Index, 1, err, val);
      }
      break;
    case ptReal:
      if (RealObjParam) {
        double val = v.RealValue;
        RealObjParam(v.Name, v.Index, 1, err, val);
      }
      break;
    default:
      if (StrObjParam) {
        std::string val = v.StrValue;
        StrObjParam(v.Name, v.Index, 1, err, val);
      }
  }
  if (err != 0) hostError(err);
}

// ---------------------------------------------------------------------------------------
// Calls

void TPoorPascal::CallProcedure(std::string_view name, TPPAParser& p) {
  if (TPPARoutine* r = findProc(name)) call(p, *r, Member::Proc);
}

std::int64_t TPoorPascal::CallIntFunction(std::string_view name, TPPAParser& p) {
  TPPARoutine* r = findFunc(name);
  return r ? call(p, *r, Member::Int).i : 0;
}

double TPoorPascal::CallRealFunction(std::string_view name, TPPAParser& p) {
  TPPARoutine* r = findFunc(name);
  return r ? static_cast<double>(call(p, *r, Member::Real).r) : 0.0;
}

std::string TPoorPascal::CallStrFunction(std::string_view name, TPPAParser& p) {
  TPPARoutine* r = findFunc(name);
  return r ? std::move(call(p, *r, Member::Str).s) : std::string();
}

TPoorPascal::Result TPoorPascal::call(TPPAParser& p, TPPARoutine& r, Member m) {
  BusyGuard g(busy_);
  NestGuard nest(nest_);
  const int n = r.Formals.count();
  if (n > 0) {
    if (!p.Is(wLParen)) raise(kSyntax, p.TokenText());
    p.NextToken();
  }
  // Arguments live in this call only: a call of the same routine inside an argument
  // has its own.
  StringList args;
  std::vector<std::unique_ptr<TPPAParam>> store;
  store.reserve(static_cast<std::size_t>(n));
  // An argument is its tokens up to a "," or ")" outside parentheses, each after a
  // blank, evaluated as a text of its own.
  const bool scanning = p.buffer() == nullptr;
  std::string text;
  for (int i = 0; i < n; ++i) {
    const std::uint32_t from = p.index();
    text.clear();
    int depth = 0;
    while (p.Kind() != tkEnd) {
      const Word w = p.word();
      if (depth == 0 && (w == wComma || w == wRParen)) break;
      if (w == wLParen)
        ++depth;
      else if (w == wRParen)
        --depth;
      if (scanning) {
        text += ' ';
        text += p.TokenText();
      }
      p.NextToken();
    }
    const Range arg = scanning ? ofText(text) : gather(*p.buffer(), from, p.index(), Join::Leading);
    auto a = std::make_unique<TPPAParam>();
    a->Type = static_cast<const TPPAParam*>(r.Formals.object(i))->Type;
    switch (a->Type) {
      case ptInteger: a->IntValue = evalInt(arg); break;
      case ptReal: a->RealValue = evalReal(arg); break;
      default: a->StrValue = cutAtNul(evalStr(arg));
    }
    args.add(r.Formals[i], a.get());
    store.push_back(std::move(a));
    if (i < n - 1) p.NextToken();
  }

  Result res;
  if (r.System) {
    auto row = builtins_.find(r.Index);
    if (row == builtins_.end() || row->second.member != m)
      raise(m == Member::Proc ? kNoBuiltinProc : kNoBuiltinFunc, p.TokenText());
    TPPACall c{*this, args, 0, 0, {}};
    row->second.handler(c);
    res.i = c.IntResult;
    res.r = c.RealResult;
    res.s = std::move(c.StrResult);
  } else {
    int err = 0;
    const std::string& nm = r.Name;
    switch (m) {
      case Member::Proc:
        if (ProcParam) ProcParam(nm, r.Index, args, err);
        break;
      case Member::Int: {
        std::int64_t v = 0;
        if (IntFuncParam) IntFuncParam(nm, r.Index, args, err, v);
        res.i = v;
        break;
      }
      case Member::Real: {
        double v = 0.0;
        if (RealFuncParam) RealFuncParam(nm, r.Index, args, err, v);
        res.r = v;
        break;
      }
      case Member::Str: {
        std::string v;
        if (StrFuncParam) StrFuncParam(nm, r.Index, args, err, v);
        res.s = std::move(v);
        break;
      }
    }
    if (err != 0) hostError(err);
  }
  if (n > 0) {
    if (!p.Is(wRParen)) raise(kSyntax, p.TokenText());
    p.NextToken();
  }
  return res;
}

void TPoorPascal::checkLength(const std::string& s) const {
  if (s.size() > maxStrLen_) throw ScriptError("The text is too long.");
}

void TPoorPascal::Stop() {
  if (!running_) return;
  paused_ = false;
  terminated_ = true;
  raise(kStopped);
}

}  // namespace wux
