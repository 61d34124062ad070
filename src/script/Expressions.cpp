// The three expression evaluators (Integer, Real, String) and the rule that chooses
// between them: the first token of an expression decides its type.
#include <cmath>
#include <string>

#include "model/text/sjis.h"
#include "script/Arithmetic.h"
#include "script/PoorPascal.h"
#include "script/messages.h"

namespace wux {

using namespace script_detail;

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

}  // namespace wux
