#include "script/PoorPascal.h"

#include <cctype>
#include <cmath>
#include <vector>

#include "model/text/sjis.h"
#include "platform/textconv.h"
#include "script/messages.h"

namespace wux {

using namespace script_detail;

namespace {

// The runtime's own failures.
[[noreturn]] void divByZero() { throw ScriptError("Division by zero"); }
[[noreturn]] void floatDivByZero() { throw ScriptError("Floating point division by zero"); }
[[noreturn]] void invalidFloatOp() { throw ScriptError("Invalid floating point operation"); }

// Reals are computed in extended precision and kept as doubles; a value that leaves
// the double's range on the way is an overflow.
double toDouble(long double x) {
  const double d = static_cast<double>(x);
  if (std::isinf(d) && !std::isinf(x)) throw ScriptError("Floating point overflow");
  return d;
}

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
  if (p.Is("INTEGER")) return ptInteger;
  if (p.Is("REAL")) return ptReal;
  if (p.Is("STRING")) return ptString;
  return -1;
}

const char* const kBuiltins[] = {
    "procedure ProcessMessages;Index $0001;",
    "procedure Sleep(Milliseconds:Integer);Index $0002;",
    "procedure Pause;Index $0003;",
    "function Copy(S:String;Start,Length:Integer):String;Index $1001;",
    "function Delete(S:String;Index,Count:Integer):String;Index $1002;",
    "function InputBox(ACaption,APrompt,ADefault:String):String;Index $1003;",
    "function Insert(Source:String;S:String;Index:Integer):String;Index $1004;",
    "function IntToStr(Value:Integer):String;Index $1005;",
    "function LowerCase(S:String):String;Index $1006;",
    "function Trim(S:String):String;Index $1007;",
    "function TrimLeft(S:String):String;Index $1008;",
    "function TrimRight(S:String):String;Index $1009;",
    "function UpperCase(S:String):String;Index $100A;",
    "function FloatToStr(Value:Real):String;Index $100B;",
    "function CompareStr(S1,S2:String):Integer;Index $2001;",
    "function Exec(Path,CmdLine:String;Wait:Integer):Integer;Index $2002;",
    "function Length(S:String):Integer;Index $2003;",
    "function MessageBox(Text,Caption:String;Flags:Integer):Integer;Index $2004;",
    "function Pos(Substr:String;S:String): Integer;Index $2005;",
    "function Shell(Path,CmdLine:String):Integer;Index $2006;",
    "function StrToInt(S: String):Integer;Index $2007;",
    "function IsDefine(S:String):Integer;Index $2008;",
    "function Trunc(X:Real):Integer;Index $2009;",
    "function Round(X:Real):Integer;Index $200A;",
    "function Frac(X:Real):Real;Index $3001;",
    "function Int(X:Real):Real;Index $3002;",
    "function StrToFloat(S:String):Real;Index $3003;",
};

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
  procedures_.setSorted(true);
  functions_.setSorted(true);
  variables_.setSorted(true);
  variables_.setDuplicates(StringList::Duplicates::Ignore);
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
  for (const char* proto : kBuiltins) DeclareProc(proto, true);
}

TPoorPascal::~TPoorPascal() {
  for (StringList* l : {&procedures_, &functions_, &variables_}) FreeObjects(*l);
}

ScriptDesktop& TPoorPascal::desktop() const { return desktop_ ? *desktop_ : headless(); }

TPPAVar* TPoorPascal::findVar(std::string_view name) const {
  int i;
  return variables_.find(name, i) ? static_cast<TPPAVar*>(variables_.object(i)) : nullptr;
}
TPPARoutine* TPoorPascal::findProc(std::string_view name) const {
  int i;
  return procedures_.find(name, i) ? static_cast<TPPARoutine*>(procedures_.object(i)) : nullptr;
}
TPPARoutine* TPoorPascal::findFunc(std::string_view name) const {
  int i;
  return functions_.find(name, i) ? static_cast<TPPARoutine*>(functions_.object(i)) : nullptr;
}

void TPoorPascal::addVar(const std::string& name, std::unique_ptr<TPPAVar> v) {
  if (findVar(name)) raise(kVarTwice, name);
  v->Name = name;
  v->StrValue = cutAtNul(std::move(v->StrValue));
  variables_.add(name, v.release());
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

void TPoorPascal::DeclareProc(std::string_view text, bool System) {
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
  r->System = System;
  p.NextToken();
  if (p.Is("(")) {
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
        if (!p.AcceptToken(",")) break;
      }
      if (!p.AcceptToken(":")) raise(kSyntax, p.TokenText());
      int t = typeWord(p);
      if (t < 0) raise(kSyntax, p.TokenText());
      p.NextToken();
      for (int i = first; i < r->Formals.count(); ++i)
        static_cast<TPPAParam*>(r->Formals.object(i))->Type = static_cast<std::uint8_t>(t);
      if (p.AcceptToken(";")) continue;
      if (p.AcceptToken(")")) break;
      raise(kSyntax, p.TokenText());
    }
  }
  if (isFunc) {
    if (!p.AcceptToken(":")) raise(kDefinition);
    int t = typeWord(p);
    if (t < 0) raise(kDefinition);
    r->ResultType = static_cast<std::uint8_t>(t);
    p.NextToken();
  }
  if (p.AcceptToken(";") && p.AcceptToken("INDEX")) {
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
  (isFunc ? functions_ : procedures_).add(name, r.release());
}

void TPoorPascal::clearRunTables() {
  FreeObjectsWhere(variables_, [](TObject* v) { return !static_cast<TPPAVar*>(v)->Persistent; });
  for (StringList* l : {&procedures_, &functions_})
    FreeObjectsWhere(*l, [](TObject* r) { return !static_cast<TPPARoutine*>(r)->System; });
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
  std::string val = v.StrValue;
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
    case tkIdent:
      if (TPPAVar* v = findVar(p.TokenText())) return v->Type;
      if (TPPARoutine* r = findFunc(p.TokenText())) return r->ResultType;
      return -1;
    default: return -1;
  }
}

void TPoorPascal::ExpectToken(TPPAParser& p, std::string_view word) {
  if (!p.AcceptToken(word)) raise(kNoParen);
}

std::int64_t TPoorPascal::EvalInt(std::string_view text) {
  BusyGuard g(busy_);
  TPPAParser p(text);
  return evalIntBy(p);
}

double TPoorPascal::EvalReal(std::string_view text) {
  BusyGuard g(busy_);
  TPPAParser p(text);
  return toDouble(realRelation(p));
}

std::string TPoorPascal::EvalStr(std::string_view text) {
  BusyGuard g(busy_);
  TPPAParser p(text);
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
    if (p.AcceptToken("=")) {
      r = intSum(p);
      v = v == r ? -1 : 0;
    } else if (p.AcceptToken("<>")) {
      r = intSum(p);
      v = v != r ? -1 : 0;
    } else if (p.AcceptToken("<")) {
      r = intSum(p);
      v = v < r ? -1 : 0;
    } else if (p.AcceptToken("<=")) {
      r = intSum(p);
      v = v <= r ? -1 : 0;
    } else if (p.AcceptToken(">")) {
      r = intSum(p);
      v = v > r ? -1 : 0;
    } else if (p.AcceptToken(">=")) {
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
    if (p.AcceptToken("+"))
      v = wrapAdd(v, intTerm(p));
    else if (p.AcceptToken("-"))
      v = wrapSub(v, intTerm(p));
    else if (p.AcceptToken("OR"))
      v |= intTerm(p);
    else if (p.AcceptToken("XOR"))
      v ^= intTerm(p);
    else
      return v;
  }
}

std::int64_t TPoorPascal::intTerm(TPPAParser& p) {
  // A leading NOT complements the first factor only.
  std::int64_t v = p.AcceptToken("NOT") ? ~intFactor(p) : intFactor(p);
  for (;;) {
    if (p.AcceptToken("*")) {
      v = wrapMul(v, intFactor(p));
    } else if (p.AcceptToken("DIV")) {
      std::int64_t d = intFactor(p);
      if (d == 0) divByZero();
      v = (d == -1) ? wrapNeg(v) : v / d;
    } else if (p.AcceptToken("MOD")) {
      std::int64_t d = intFactor(p);
      if (d == 0) divByZero();
      v = (d == -1) ? 0 : v % d;
    } else if (p.AcceptToken("AND")) {
      v &= intFactor(p);
    } else if (p.AcceptToken("SHL")) {
      std::uint32_t n = static_cast<std::uint32_t>(intFactor(p));
      v = n >= 64 ? 0 : static_cast<std::int64_t>(static_cast<std::uint64_t>(v) << n);
    } else if (p.AcceptToken("SHR")) {
      std::uint32_t n = static_cast<std::uint32_t>(intFactor(p));
      v = n >= 64 ? 0 : static_cast<std::int64_t>(static_cast<std::uint64_t>(v) >> n);
    } else {
      return v;
    }
  }
}

std::int64_t TPoorPascal::intFactor(TPPAParser& p) {
  NestGuard nest(nest_);
  if (p.Is("(")) {
    p.NextToken();
    std::int64_t v = evalIntBy(p);
    ExpectToken(p, ")");
    return v;
  }
  if (p.Is(")")) {
    p.NextToken();
    raise(kSyntax, p.TokenText());
  }
  // A sign applies to the whole following term: -a*b is -(a*b).
  if (p.AcceptToken("+")) return intTerm(p);
  if (p.AcceptToken("-")) return wrapNeg(intTerm(p));
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
    if (TPPAVar* v = findVar(name)) {
      if (v->Type != ptInteger) raise(kVarType, name);
      std::int64_t val = readInt(*v);
      p.NextToken();
      return val;
    }
    if (TPPARoutine* r = findFunc(name)) {
      if (r->ResultType != ptInteger) raise(kFuncType, name);
      std::string up = sjis::upper(name);
      p.NextToken();
      return call(p, *r, up, Member::Int).i;
    }
    raise(kUndefined, name);
  }
  raise(kSyntax, p.TokenText());
}

long double TPoorPascal::realRelation(TPPAParser& p) {
  long double v = realSum(p);
  for (;;) {
    long double r;
    if (p.AcceptToken("=")) {
      r = realSum(p);
      v = v == r ? -1.0L : 0.0L;
    } else if (p.AcceptToken("<>")) {
      r = realSum(p);
      v = v != r ? -1.0L : 0.0L;
    } else if (p.AcceptToken("<")) {
      r = realSum(p);
      v = v < r ? -1.0L : 0.0L;
    } else if (p.AcceptToken("<=")) {
      r = realSum(p);
      v = v <= r ? -1.0L : 0.0L;
    } else if (p.AcceptToken(">")) {
      r = realSum(p);
      v = v > r ? -1.0L : 0.0L;
    } else if (p.AcceptToken(">=")) {
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
    if (p.AcceptToken("+"))
      v += realTerm(p);
    else if (p.AcceptToken("-"))
      v -= realTerm(p);
    else
      return v;
  }
}

long double TPoorPascal::realTerm(TPPAParser& p) {
  long double v = realFactor(p);
  for (;;) {
    if (p.AcceptToken("*")) {
      v *= realFactor(p);
    } else if (p.AcceptToken("/")) {
      long double d = realFactor(p);
      if (d == 0.0L) floatDivByZero();
      v /= d;
    } else {
      return v;
    }
  }
}

long double TPoorPascal::realFactor(TPPAParser& p) {
  NestGuard nest(nest_);
  if (p.Is("(")) {
    p.NextToken();
    long double v;
    switch (ExprType(p)) {
      case ptInteger: v = static_cast<long double>(intRelation(p)); break;
      case ptString: v = strToFloatDef(strRelation(p)); break;
      default: v = realRelation(p);
    }
    ExpectToken(p, ")");
    return v;
  }
  if (p.Is(")")) {
    p.NextToken();
    raise(kSyntax, p.TokenText());
  }
  if (p.AcceptToken("+")) return realTerm(p);
  if (p.AcceptToken("-")) return -realTerm(p);
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
    if (TPPAVar* v = findVar(name)) {
      if (v->Type == ptString) raise(kVarType, name);
      long double val = readReal(*v);
      p.NextToken();
      return val;
    }
    if (TPPARoutine* r = findFunc(name)) {
      if (r->ResultType == ptString) raise(kFuncType, name);
      std::string up = sjis::upper(name);
      Member m = r->ResultType == ptInteger ? Member::Int : Member::Real;
      p.NextToken();
      Result res = call(p, *r, up, m);
      return m == Member::Int ? static_cast<long double>(res.i) : res.r;
    }
    raise(kUndefined, name);
  }
  raise(kSyntax, p.TokenText());
}

std::string TPoorPascal::strRelation(TPPAParser& p) {
  std::string v = strConcat(p);
  for (;;) {
    int c;
    if (p.AcceptToken("=")) {
      c = v.compare(strConcat(p));
      v = c == 0 ? "-1" : "0";
    } else if (p.AcceptToken("<>")) {
      c = v.compare(strConcat(p));
      v = c != 0 ? "-1" : "0";
    } else if (p.AcceptToken("<")) {
      c = v.compare(strConcat(p));
      v = c < 0 ? "-1" : "0";
    } else if (p.AcceptToken("<=")) {
      c = v.compare(strConcat(p));
      v = c <= 0 ? "-1" : "0";
    } else if (p.AcceptToken(">")) {
      c = v.compare(strConcat(p));
      v = c > 0 ? "-1" : "0";
    } else if (p.AcceptToken(">=")) {
      c = v.compare(strConcat(p));
      v = c >= 0 ? "-1" : "0";
    } else {
      return v;
    }
  }
}

std::string TPoorPascal::strConcat(TPPAParser& p) {
  std::string v = strFactor(p);
  for (;;) {
    if (p.AcceptToken("+"))
      v += strFactor(p);
    else if (p.Kind() == tkString)  // 'abc'#13#10: literals written one after another
      v += strFactor(p);
    else
      return v;
  }
}

std::string TPoorPascal::strFactor(TPPAParser& p) {
  NestGuard nest(nest_);
  if (p.Is("(")) {
    p.NextToken();
    std::string v = strRelation(p);
    ExpectToken(p, ")");
    return v;
  }
  if (p.Is(")")) {
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
    if (TPPAVar* v = findVar(name)) {
      if (v->Type != ptString) raise(kVarType, name);
      std::string val = readStr(*v);
      p.NextToken();
      return val;
    }
    if (TPPARoutine* r = findFunc(name)) {
      if (r->ResultType != ptString) raise(kFuncType, name);
      std::string up = sjis::upper(name);
      p.NextToken();
      return std::move(call(p, *r, up, Member::Str).s);
    }
    raise(kUndefined, name);
  }
  raise(kSyntax, p.TokenText());
}

// ---------------------------------------------------------------------------------------
// Calls

void TPoorPascal::CallProcedure(std::string_view name, TPPAParser& p) {
  if (TPPARoutine* r = findProc(name)) call(p, *r, sjis::upper(name), Member::Proc);
}

std::int64_t TPoorPascal::CallIntFunction(std::string_view name, TPPAParser& p) {
  TPPARoutine* r = findFunc(name);
  return r ? call(p, *r, sjis::upper(name), Member::Int).i : 0;
}

double TPoorPascal::CallRealFunction(std::string_view name, TPPAParser& p) {
  TPPARoutine* r = findFunc(name);
  return r ? static_cast<double>(call(p, *r, sjis::upper(name), Member::Real).r) : 0.0;
}

std::string TPoorPascal::CallStrFunction(std::string_view name, TPPAParser& p) {
  TPPARoutine* r = findFunc(name);
  return r ? std::move(call(p, *r, sjis::upper(name), Member::Str).s) : std::string();
}

TPoorPascal::Result TPoorPascal::call(TPPAParser& p, TPPARoutine& r, std::string_view name, Member m) {
  BusyGuard g(busy_);
  NestGuard nest(nest_);
  const int n = r.Formals.count();
  if (n > 0) {
    if (p.TokenText() != "(") raise(kSyntax, p.TokenText());
    p.NextToken();
  }
  // Arguments live in this call only: a call of the same routine inside an argument
  // has its own.
  StringList args;
  std::vector<std::unique_ptr<TPPAParam>> store;
  store.reserve(static_cast<std::size_t>(n));
  std::string text;
  for (int i = 0; i < n; ++i) {
    text.clear();
    int depth = 0;
    while (p.Kind() != tkEnd) {
      std::string_view t = p.TokenText();
      if (depth == 0 && (t == "," || t == ")")) break;
      if (t == "(")
        ++depth;
      else if (t == ")")
        --depth;
      text += ' ';
      text += t;
      p.NextToken();
    }
    auto a = std::make_unique<TPPAParam>();
    a->Type = static_cast<const TPPAParam*>(r.Formals.object(i))->Type;
    switch (a->Type) {
      case ptInteger: a->IntValue = EvalInt(text); break;
      case ptReal: a->RealValue = EvalReal(text); break;
      default: a->StrValue = cutAtNul(EvalStr(text));
    }
    args.add(r.Formals[i], a.get());
    store.push_back(std::move(a));
    if (i < n - 1) p.NextToken();
  }

  Result res;
  if (r.System) {
    if (m == Member::Proc)
      builtinProc(p, r.Index, args);
    else
      builtinFunc(p, r.Index, args, m, res);
  } else {
    int err = 0;
    std::string nm(name);
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
    if (p.TokenText() != ")") raise(kSyntax, p.TokenText());
    p.NextToken();
  }
  return res;
}

void TPoorPascal::builtinProc(TPPAParser& p, int index, const StringList& args) {
  auto A = [&](int i) -> const TPPAParam& { return *static_cast<const TPPAParam*>(args.object(i)); };
  switch (index) {
    case 0x0001:
      desktop().processMessages();
      break;
    case 0x0002: {
      // A negative wait returns at once; one that does not fit 32 bits is refused
      // rather than cut (its low bits could mean "forever").
      std::int64_t ms = A(0).IntValue;
      if (ms > INT32_MAX) throwRange("Sleep", ms, std::int64_t{INT32_MAX} + 1);
      // A long wait is slept in slices with the events handled between them, so the
      // user can still break a script that sleeps for hours.
      constexpr std::int64_t kSlice = 100;
      while (ms > 0) {
        std::int64_t slice = ms < kSlice ? ms : kSlice;
        desktop().sleep(static_cast<std::uint32_t>(slice));
        ms -= slice;
        if (ms <= 0) break;
        desktop().processMessages();
        if (terminated_) break;
        if (running_ && breakRequested()) Stop();
      }
      break;
    }
    case 0x0003:
      pause();
      break;
    default:
      raise(kNoBuiltinProc, p.TokenText());
  }
}

void TPoorPascal::builtinFunc(TPPAParser& p, int index, const StringList& args, Member m, Result& out) {
  auto A = [&](int i) -> const TPPAParam& { return *static_cast<const TPPAParam*>(args.object(i)); };
  const int group = index & 0xF000;
  const bool known = (m == Member::Str && group == 0x1000 && index >= 0x1001 && index <= 0x100B) ||
                     (m == Member::Int && group == 0x2000 && index >= 0x2001 && index <= 0x200A) ||
                     (m == Member::Real && group == 0x3000 && index >= 0x3001 && index <= 0x3003);
  if (!known) raise(kNoBuiltinFunc, p.TokenText());
  switch (index) {
    case 0x1001: {  // Copy
      const std::string& s = A(0).StrValue;
      std::int64_t start = A(1).IntValue, len = A(2).IntValue;
      if (start < 1) start = 1;
      const auto size = static_cast<std::int64_t>(s.size());
      if (start <= size && len >= 1)
        out.s = s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(std::min(len, size - start + 1)));
      break;
    }
    case 0x1002: {  // Delete
      out.s = A(0).StrValue;
      std::int64_t idx = A(1).IntValue, cnt = A(2).IntValue;
      const auto size = static_cast<std::int64_t>(out.s.size());
      if (idx >= 1 && idx <= size && cnt >= 1)
        out.s.erase(static_cast<std::size_t>(idx - 1), static_cast<std::size_t>(std::min(cnt, size - idx + 1)));
      break;
    }
    case 0x1003: {  // InputBox
      std::string value = A(2).StrValue;
      out.s = desktop().inputBox(A(0).StrValue, A(1).StrValue, value) ? value : A(2).StrValue;
      break;
    }
    case 0x1004: {  // Insert
      out.s = A(1).StrValue;
      std::int64_t idx = A(2).IntValue;
      const auto size = static_cast<std::int64_t>(out.s.size());
      if (idx < 1) idx = 1;
      if (idx > size + 1) idx = size + 1;
      out.s.insert(static_cast<std::size_t>(idx - 1), A(0).StrValue);
      break;
    }
    case 0x1005: out.s = std::to_string(A(0).IntValue); break;
    case 0x1006: out.s = sjis::lower(A(0).StrValue); break;
    case 0x1007: out.s = sjis::trim(A(0).StrValue); break;
    case 0x1008: out.s = sjis::trimLeft(A(0).StrValue); break;
    case 0x1009: out.s = sjis::trimRight(A(0).StrValue); break;
    case 0x100A: out.s = sjis::upper(A(0).StrValue); break;
    case 0x100B: out.s = ScriptFloatToStr(A(0).RealValue); break;
    case 0x2001: {  // CompareStr
      const std::string &a = A(0).StrValue, &b = A(1).StrValue;
      std::size_t n = std::min(a.size(), b.size()), i = 0;
      while (i < n && a[i] == b[i]) ++i;
      out.i = i < n ? static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i])
                    : static_cast<std::int64_t>(a.size()) - static_cast<std::int64_t>(b.size());
      break;
    }
    case 0x2002: out.i = ExecProcess(A(0).StrValue, A(1).StrValue, A(2).IntValue == -1); break;
    case 0x2003: out.i = static_cast<std::int64_t>(A(0).StrValue.size()); break;
    case 0x2004:
      out.i = desktop().messageBox(A(0).StrValue, A(1).StrValue, static_cast<std::uint32_t>(A(2).IntValue));
      break;
    case 0x2005: {  // Pos
      std::size_t at = sjis::find(A(1).StrValue, A(0).StrValue);
      out.i = at == std::string::npos ? 0 : static_cast<std::int64_t>(at) + 1;
      break;
    }
    case 0x2006: out.i = desktop().shellOpen(A(0).StrValue, A(1).StrValue); break;
    case 0x2007: out.i = strToIntDef(A(0).StrValue, 0); break;
    case 0x2008: out.i = Define.indexOf(A(0).StrValue) >= 0 ? -1 : 0; break;
    case 0x2009: out.i = truncToInt(A(0).RealValue); break;
    case 0x200A: out.i = roundToInt(A(0).RealValue); break;
    case 0x3001: {
      long double x = A(0).RealValue;
      out.r = x - std::trunc(x);
      break;
    }
    case 0x3002: out.r = std::trunc(static_cast<long double>(A(0).RealValue)); break;
    case 0x3003: out.r = toDouble(strToFloatDef(A(0).StrValue)); break;
  }
}

void TPoorPascal::Stop() {
  if (!running_) return;
  paused_ = false;
  terminated_ = true;
  raise(kStopped);
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
