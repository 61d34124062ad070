#include "script/PoorPascal.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "model/text/sjis.h"
#include "platform/process.h"
#include "platform/textconv.h"
#include "script/messages.h"

namespace wux {

using namespace script_detail;

namespace {

// The runtime's own failures.
[[noreturn]] void divByZero() { throw ScriptError("Division by zero"); }
[[noreturn]] void floatDivByZero() { throw ScriptError("Floating point division by zero"); }
[[noreturn]] void invalidFloatOp() { throw ScriptError("Invalid floating point operation"); }

// Reals are computed in extended precision and kept as doubles. No infinity or NaN is
// ever a value: a result beyond the extended range, or a value stored beyond the
// double's, is an overflow.
long double checked(long double x) {
  if (std::isnan(x)) invalidFloatOp();
  if (std::isinf(x)) throw ScriptError("Floating point overflow");
  return x;
}
double toDouble(long double x) { return static_cast<double>(checked(static_cast<double>(checked(x)))); }

std::int64_t wrapAdd(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}
std::int64_t wrapSub(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}
std::int64_t wrapMul(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) * static_cast<std::uint64_t>(b));
}
std::int64_t wrapNeg(std::int64_t a) { return static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(a)); }

std::int64_t truncToInt(long double x) {
  if (!(x > -0x1p63L - 1.0L && x < 0x1p63L)) invalidFloatOp();
  return static_cast<std::int64_t>(x);
}
std::int64_t roundToInt(long double x) {
  if (!(x > -0x1p63L - 1.0L && x < 0x1p63L)) invalidFloatOp();
  return truncToInt(std::nearbyint(x));  // ties to even in the default rounding mode
}

std::int64_t strToIntDef(std::string_view s, std::int64_t def) {
  std::int64_t v;
  return ScriptStrToInt(s, v) ? v : def;
}
long double strToFloatDef(std::string_view s) {
  long double v;
  return ScriptStrToFloat(s, v) ? v : 0.0L;
}

// A stored text ends at its first NUL.
std::string cutAtNul(std::string s) {
  std::size_t p = s.find('\0');
  if (p != std::string::npos) s.resize(p);
  return s;
}

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
// Expressions

std::string TPoorPascal::DecodeStringLiteral(std::string_view s) {
  if (s.empty()) return {};
  if (s.front() == '\'' && s.back() == '\'') {
    std::string_view inner = s.size() >= 2 ? s.substr(1, s.size() - 2) : std::string_view();
    return sjis::replaceAll(inner, "''", "'");
  }
  std::size_t h = s.find('#');
  if (h != std::string_view::npos) {
    std::string num;
    std::size_t hx = s.find("#$");
    if (hx != std::string_view::npos)
      num = "0x" + std::string(s.substr(hx + 2, 3));
    else
      num = std::string(s.substr(h + 1, 3));
    std::int64_t v;
    bool ok = ScriptStrToInt(num, v);
    // ScriptStrToInt takes a sign and blanks that a character literal never has.
    if (!ok || num.empty() || !(std::isxdigit(static_cast<unsigned char>(num.back()))))
      throw ScriptError("'" + num + "' is not a valid integer value");
    if (v >= 0 && v < 256) return std::string(1, static_cast<char>(v));
    return {};
  }
  return std::string(s);
}

int TPoorPascal::ExprType(const TPPAParser& p) const {
  switch (p.Kind()) {
    case tkString: return ptString;
    case tkInteger: return ptInteger;
    case tkReal: return ptReal;
    case tkIdent: {
      const Token& t = names(p);
      if (t.var) return t.var->Type;
      if (t.func) return t.func->ResultType;
      return -1;
    }
    default: return -1;
  }
}

void TPoorPascal::ExpectToken(TPPAParser& p, std::string_view word) {
  if (!p.AcceptToken(word)) raise(kNoParen);
}

std::int64_t TPoorPascal::EvalInt(std::string_view text) { return evalInt(ofText(std::string(text))); }
double TPoorPascal::EvalReal(std::string_view text) { return evalReal(ofText(std::string(text))); }
std::string TPoorPascal::EvalStr(std::string_view text) { return evalStr(ofText(std::string(text))); }

std::int64_t TPoorPascal::evalInt(const Range& r) {
  BusyGuard g(busy_);
  TPPAParser p(*r.buf, r.b, r.e);
  return evalIntBy(p);
}

double TPoorPascal::evalReal(const Range& r) {
  BusyGuard g(busy_);
  TPPAParser p(*r.buf, r.b, r.e);
  return toDouble(realRelation(p));
}

std::string TPoorPascal::evalStr(const Range& r) {
  BusyGuard g(busy_);
  TPPAParser p(*r.buf, r.b, r.e);
  return strRelation(p);
}

std::int64_t TPoorPascal::evalIntBy(TPPAParser& p) {
  switch (ExprType(p)) {
    case ptReal: return truncToInt(realRelation(p));
    case ptString: return strToIntDef(strRelation(p), -1);
    default: return intRelation(p);
  }
}

std::int64_t TPoorPascal::intRelation(TPPAParser& p) {
  std::int64_t v = intSum(p);
  for (;;) {
    std::int64_t r;
    if (p.Accept(wEq)) {
      r = intSum(p);
      v = v == r ? -1 : 0;
    } else if (p.Accept(wNe)) {
      r = intSum(p);
      v = v != r ? -1 : 0;
    } else if (p.Accept(wLt)) {
      r = intSum(p);
      v = v < r ? -1 : 0;
    } else if (p.Accept(wLe)) {
      r = intSum(p);
      v = v <= r ? -1 : 0;
    } else if (p.Accept(wGt)) {
      r = intSum(p);
      v = v > r ? -1 : 0;
    } else if (p.Accept(wGe)) {
      r = intSum(p);
      v = v >= r ? -1 : 0;
    } else {
      return v;
    }
  }
}

std::int64_t TPoorPascal::intSum(TPPAParser& p) {
  std::int64_t v = intTerm(p);
  for (;;) {
    if (p.Accept(wPlus))
      v = wrapAdd(v, intTerm(p));
    else if (p.Accept(wMinus))
      v = wrapSub(v, intTerm(p));
    else if (p.Accept(wOr))
      v |= intTerm(p);
    else if (p.Accept(wXor))
      v ^= intTerm(p);
    else
      return v;
  }
}

std::int64_t TPoorPascal::intTerm(TPPAParser& p) {
  // A leading NOT complements the first factor only.
  std::int64_t v = p.Accept(wNot) ? ~intFactor(p) : intFactor(p);
  for (;;) {
    if (p.Accept(wStar)) {
      v = wrapMul(v, intFactor(p));
    } else if (p.Accept(wDiv)) {
      std::int64_t d = intFactor(p);
      if (d == 0) divByZero();
      v = (d == -1) ? wrapNeg(v) : v / d;
    } else if (p.Accept(wMod)) {
      std::int64_t d = intFactor(p);
      if (d == 0) divByZero();
      v = (d == -1) ? 0 : v % d;
    } else if (p.Accept(wAnd)) {
      v &= intFactor(p);
    } else if (p.Accept(wShl)) {
      std::uint32_t n = static_cast<std::uint32_t>(intFactor(p));
      v = n >= 64 ? 0 : static_cast<std::int64_t>(static_cast<std::uint64_t>(v) << n);
    } else if (p.Accept(wShr)) {
      std::uint32_t n = static_cast<std::uint32_t>(intFactor(p));
      v = n >= 64 ? 0 : static_cast<std::int64_t>(static_cast<std::uint64_t>(v) >> n);
    } else {
      return v;
    }
  }
}

std::int64_t TPoorPascal::intFactor(TPPAParser& p) {
  NestGuard nest(nest_);
  if (p.Is(wLParen)) {
    p.NextToken();
    std::int64_t v = evalIntBy(p);
    if (!p.Accept(wRParen)) raise(kNoParen);
    return v;
  }
  if (p.Is(wRParen)) {
    p.NextToken();
    raise(kSyntax, p.TokenText());
  }
  // A sign applies to the whole following term: -a*b is -(a*b).
  if (p.Accept(wPlus)) return intTerm(p);
  if (p.Accept(wMinus)) return wrapNeg(intTerm(p));
  return intPrimary(p);
}

std::int64_t TPoorPascal::intPrimary(TPPAParser& p) {
  if (p.Kind() == tkInteger) {
    std::int64_t v = strToIntDef(p.TokenText(), 0);
    p.NextToken();
    return v;
  }
  if (p.Kind() == tkIdent) {
    std::string_view name = p.TokenText();
    const Token& t = names(p);
    if (TPPAVar* v = t.var) {
      if (v->Type != ptInteger) raise(kVarType, name);
      std::int64_t val = readInt(*v);
      p.NextToken();
      return val;
    }
    if (TPPARoutine* r = t.func) {
      if (r->ResultType != ptInteger) raise(kFuncType, name);
      p.NextToken();
      return call(p, *r, Member::Int).i;
    }
    raise(kUndefined, name);
  }
  raise(kSyntax, p.TokenText());
}

long double TPoorPascal::realRelation(TPPAParser& p) {
  long double v = realSum(p);
  for (;;) {
    long double r;
    if (p.Accept(wEq)) {
      r = realSum(p);
      v = v == r ? -1.0L : 0.0L;
    } else if (p.Accept(wNe)) {
      r = realSum(p);
      v = v != r ? -1.0L : 0.0L;
    } else if (p.Accept(wLt)) {
      r = realSum(p);
      v = v < r ? -1.0L : 0.0L;
    } else if (p.Accept(wLe)) {
      r = realSum(p);
      v = v <= r ? -1.0L : 0.0L;
    } else if (p.Accept(wGt)) {
      r = realSum(p);
      v = v > r ? -1.0L : 0.0L;
    } else if (p.Accept(wGe)) {
      r = realSum(p);
      v = v >= r ? -1.0L : 0.0L;
    } else {
      return v;
    }
  }
}

long double TPoorPascal::realSum(TPPAParser& p) {
  long double v = realTerm(p);
  for (;;) {
    if (p.Accept(wPlus))
      v = checked(v + realTerm(p));
    else if (p.Accept(wMinus))
      v = checked(v - realTerm(p));
    else
      return v;
  }
}

long double TPoorPascal::realTerm(TPPAParser& p) {
  long double v = realFactor(p);
  for (;;) {
    if (p.Accept(wStar)) {
      v = checked(v * realFactor(p));
    } else if (p.Accept(wSlash)) {
      long double d = realFactor(p);
      if (d == 0.0L) floatDivByZero();
      v = checked(v / d);
    } else {
      return v;
    }
  }
}

long double TPoorPascal::realFactor(TPPAParser& p) {
  NestGuard nest(nest_);
  if (p.Is(wLParen)) {
    p.NextToken();
    long double v;
    switch (ExprType(p)) {
      case ptInteger: v = static_cast<long double>(intRelation(p)); break;
      case ptString: v = strToFloatDef(strRelation(p)); break;
      default: v = realRelation(p);
    }
    if (!p.Accept(wRParen)) raise(kNoParen);
    return v;
  }
  if (p.Is(wRParen)) {
    p.NextToken();
    raise(kSyntax, p.TokenText());
  }
  if (p.Accept(wPlus)) return realTerm(p);
  if (p.Accept(wMinus)) return -realTerm(p);
  return realPrimary(p);
}

long double TPoorPascal::realPrimary(TPPAParser& p) {
  if (p.Kind() == tkInteger || p.Kind() == tkReal) {
    long double v = strToFloatDef(p.TokenText());
    p.NextToken();
    return v;
  }
  if (p.Kind() == tkIdent) {
    std::string_view name = p.TokenText();
    const Token& t = names(p);
    if (TPPAVar* v = t.var) {
      if (v->Type == ptString) raise(kVarType, name);
      long double val = readReal(*v);
      p.NextToken();
      return val;
    }
    if (TPPARoutine* r = t.func) {
      if (r->ResultType == ptString) raise(kFuncType, name);
      Member m = r->ResultType == ptInteger ? Member::Int : Member::Real;
      p.NextToken();
      Result res = call(p, *r, m);
      return m == Member::Int ? static_cast<long double>(res.i) : res.r;
    }
    raise(kUndefined, name);
  }
  raise(kSyntax, p.TokenText());
}

std::string TPoorPascal::strRelation(TPPAParser& p) {
  std::string v = strConcat(p);
  strRelationRest(p, v);
  return v;
}

void TPoorPascal::strRelationRest(TPPAParser& p, std::string& v) {
  for (;;) {
    int c;
    if (p.Accept(wEq)) {
      c = v.compare(strConcat(p));
      v = c == 0 ? "-1" : "0";
    } else if (p.Accept(wNe)) {
      c = v.compare(strConcat(p));
      v = c != 0 ? "-1" : "0";
    } else if (p.Accept(wLt)) {
      c = v.compare(strConcat(p));
      v = c < 0 ? "-1" : "0";
    } else if (p.Accept(wLe)) {
      c = v.compare(strConcat(p));
      v = c <= 0 ? "-1" : "0";
    } else if (p.Accept(wGt)) {
      c = v.compare(strConcat(p));
      v = c > 0 ? "-1" : "0";
    } else if (p.Accept(wGe)) {
      c = v.compare(strConcat(p));
      v = c >= 0 ? "-1" : "0";
    } else {
      return;
    }
  }
}

std::string TPoorPascal::strConcat(TPPAParser& p) {
  std::string v = strFactor(p);
  strConcatRest(p, v);
  return v;
}

void TPoorPascal::strConcatRest(TPPAParser& p, std::string& v) {
  for (;;) {
    if (p.Accept(wPlus))
      v += strFactor(p);
    else if (p.Kind() == tkString)  // 'abc'#13#10: literals written one after another
      v += strFactor(p);
    else
      return;
    checkLength(v);
  }
}

std::string TPoorPascal::strFactor(TPPAParser& p) {
  NestGuard nest(nest_);
  if (p.Is(wLParen)) {
    p.NextToken();
    std::string v = strRelation(p);
    if (!p.Accept(wRParen)) raise(kNoParen);
    return v;
  }
  if (p.Is(wRParen)) {
    p.NextToken();
    raise(kSyntax, p.TokenText());
  }
  return strPrimary(p);
}

std::string TPoorPascal::strPrimary(TPPAParser& p) {
  if (p.Kind() == tkString) {
    std::string v = DecodeStringLiteral(p.TokenText());
    p.NextToken();
    return v;
  }
  if (p.Kind() == tkIdent) {
    std::string_view name = p.TokenText();
    const Token& t = names(p);
    if (TPPAVar* v = t.var) {
      if (v->Type != ptString) raise(kVarType, name);
      std::string val = readStr(*v);
      p.NextToken();
      return val;
    }
    if (TPPARoutine* r = t.func) {
      if (r->ResultType != ptString) raise(kFuncType, name);
      p.NextToken();
      return std::move(call(p, *r, Member::Str).s);
    }
    raise(kUndefined, name);
  }
  raise(kSyntax, p.TokenText());
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

const std::vector<TPPARoutineEntry>& TPoorPascal::builtinTable() {
  using C = TPPACall;
  static const std::vector<TPPARoutineEntry> table = {
      {"procedure ProcessMessages;Index $0001;", [](C& c) { c.pp.desktop().processMessages(); }},
      // The platform's sleep takes the low 32 bits; all ones means "until stopped".
      {"procedure Sleep(Milliseconds:Integer);Index $0002;",
       [](C& c) { c.pp.sleep(static_cast<std::uint32_t>(c.arg(0).IntValue)); }},
      {"procedure Pause;Index $0003;", [](C& c) { c.pp.pause(); }},
      {"function Copy(S:String;Start,Length:Integer):String;Index $1001;",
       [](C& c) {
         const std::string& s = c.arg(0).StrValue;
         std::int64_t start = c.arg(1).IntValue, len = c.arg(2).IntValue;
         if (start < 1) start = 1;
         const auto size = static_cast<std::int64_t>(s.size());
         if (start <= size && len >= 1)
           c.StrResult = s.substr(static_cast<std::size_t>(start - 1),
                                  static_cast<std::size_t>(std::min(len, size - start + 1)));
       }},
      {"function Delete(S:String;Index,Count:Integer):String;Index $1002;",
       [](C& c) {
         c.StrResult = c.arg(0).StrValue;
         std::int64_t idx = c.arg(1).IntValue, cnt = c.arg(2).IntValue;
         const auto size = static_cast<std::int64_t>(c.StrResult.size());
         if (idx >= 1 && idx <= size && cnt >= 1)
           c.StrResult.erase(static_cast<std::size_t>(idx - 1), static_cast<std::size_t>(std::min(cnt, size - idx + 1)));
       }},
      {"function InputBox(ACaption,APrompt,ADefault:String):String;Index $1003;",
       [](C& c) {
         std::string value = c.arg(2).StrValue;
         c.StrResult = c.pp.desktop().inputBox(c.arg(0).StrValue, c.arg(1).StrValue, value) ? value : c.arg(2).StrValue;
       }},
      {"function Insert(Source:String;S:String;Index:Integer):String;Index $1004;",
       [](C& c) {
         c.StrResult = c.arg(1).StrValue;
         std::int64_t idx = c.arg(2).IntValue;
         const auto size = static_cast<std::int64_t>(c.StrResult.size());
         if (idx < 1) idx = 1;
         if (idx > size + 1) idx = size + 1;
         c.StrResult.insert(static_cast<std::size_t>(idx - 1), c.arg(0).StrValue);
         c.pp.checkLength(c.StrResult);
       }},
      {"function IntToStr(Value:Integer):String;Index $1005;", [](C& c) { c.StrResult = std::to_string(c.arg(0).IntValue); }},
      {"function LowerCase(S:String):String;Index $1006;", [](C& c) { c.StrResult = sjis::lower(c.arg(0).StrValue); }},
      {"function Trim(S:String):String;Index $1007;", [](C& c) { c.StrResult = sjis::trim(c.arg(0).StrValue); }},
      {"function TrimLeft(S:String):String;Index $1008;", [](C& c) { c.StrResult = sjis::trimLeft(c.arg(0).StrValue); }},
      {"function TrimRight(S:String):String;Index $1009;", [](C& c) { c.StrResult = sjis::trimRight(c.arg(0).StrValue); }},
      {"function UpperCase(S:String):String;Index $100A;", [](C& c) { c.StrResult = sjis::upper(c.arg(0).StrValue); }},
      {"function FloatToStr(Value:Real):String;Index $100B;", [](C& c) { c.StrResult = ScriptFloatToStr(c.arg(0).RealValue); }},
      {"function CompareStr(S1,S2:String):Integer;Index $2001;",
       [](C& c) {
         const std::string &a = c.arg(0).StrValue, &b = c.arg(1).StrValue;
         std::size_t n = std::min(a.size(), b.size()), i = 0;
         while (i < n && a[i] == b[i]) ++i;
         c.IntResult = i < n ? static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i])
                             : static_cast<std::int64_t>(a.size()) - static_cast<std::int64_t>(b.size());
       }},
      {"function Exec(Path,CmdLine:String;Wait:Integer):Integer;Index $2002;",
       [](C& c) { c.IntResult = c.pp.exec(c.arg(0).StrValue, c.arg(1).StrValue, c.arg(2).IntValue == -1); }},
      {"function Length(S:String):Integer;Index $2003;",
       [](C& c) { c.IntResult = static_cast<std::int64_t>(c.arg(0).StrValue.size()); }},
      {"function MessageBox(Text,Caption:String;Flags:Integer):Integer;Index $2004;",
       [](C& c) {
         c.IntResult = c.pp.desktop().messageBox(c.arg(0).StrValue, c.arg(1).StrValue,
                                                 static_cast<std::uint32_t>(c.arg(2).IntValue));
       }},
      {"function Pos(Substr:String;S:String): Integer;Index $2005;",
       [](C& c) {
         std::size_t at = sjis::find(c.arg(1).StrValue, c.arg(0).StrValue);
         c.IntResult = at == std::string::npos ? 0 : static_cast<std::int64_t>(at) + 1;
       }},
      {"function Shell(Path,CmdLine:String):Integer;Index $2006;",
       [](C& c) { c.IntResult = c.pp.desktop().shellOpen(c.arg(0).StrValue, c.arg(1).StrValue); }},
      {"function StrToInt(S: String):Integer;Index $2007;", [](C& c) { c.IntResult = strToIntDef(c.arg(0).StrValue, 0); }},
      {"function IsDefine(S:String):Integer;Index $2008;",
       [](C& c) { c.IntResult = c.pp.Define.indexOf(c.arg(0).StrValue) >= 0 ? -1 : 0; }},
      {"function Trunc(X:Real):Integer;Index $2009;", [](C& c) { c.IntResult = truncToInt(c.arg(0).RealValue); }},
      {"function Round(X:Real):Integer;Index $200A;", [](C& c) { c.IntResult = roundToInt(c.arg(0).RealValue); }},
      {"function Frac(X:Real):Real;Index $3001;",
       [](C& c) {
         long double x = c.arg(0).RealValue;
         c.RealResult = x - std::trunc(x);
       }},
      {"function Int(X:Real):Real;Index $3002;",
       [](C& c) { c.RealResult = std::trunc(static_cast<long double>(c.arg(0).RealValue)); }},
      {"function StrToFloat(S:String):Real;Index $3003;",
       [](C& c) { c.RealResult = toDouble(strToFloatDef(c.arg(0).StrValue)); }},
  };
  return table;
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

void TPoorPascal::sleep(std::uint32_t ms) {
  const bool forever = ms == 0xFFFFFFFFu;
  // Slept in slices with the events handled between them, so the user can still
  // break a script that sleeps for hours, or for ever.
  constexpr std::uint32_t kSlice = 100;
  for (;;) {
    const std::uint32_t slice = forever || ms > kSlice ? kSlice : ms;
    if (slice == 0) break;
    desktop().sleep(slice);
    if (!forever) ms -= slice;
    if (!forever && ms == 0) break;
    desktop().processMessages();
    if (terminated_) break;
    if (running_ && breakRequested()) Stop();
    if (forever && !running_) break;  // outside a run nothing could end it
  }
}

std::int64_t TPoorPascal::exec(const std::string& path, const std::string& cmdLine, bool wait) {
  const int pid = StartProcess(path, cmdLine);
  if (pid == 0) return 0;
  if (!wait) {
    platform::reapWhenEnded(pid);
    return -1;
  }
  // The wait has no limit, but the window keeps handling its events meanwhile and Break
  // stops the script; the child is then left running and reaped whenever it ends.
  constexpr int kSliceMs = 10;
  int code = -1;
  while (!platform::childEnded(pid, code, kSliceMs)) {
    desktop().processMessages();
    if (running_ && !terminated_ && breakRequested()) {
      platform::reapWhenEnded(pid);
      Stop();
    }
    if (terminated_) {
      platform::reapWhenEnded(pid);
      return -1;
    }
  }
  return code;
}

void TPoorPascal::pause() {
  paused_ = true;
  if (PauseProc) PauseProc();
  // Only Stop clears the flag; outside a run nothing could, so there is no wait.
  while (paused_ && running_) {
    if (breakRequested()) Stop();
    desktop().waitForMessages();
  }
}

}  // namespace wux
