#pragma once
// The interpreter's error texts (UTF-8 here, Shift_JIS when raised) and the one way to
// raise them. Internal to the script library.
#include <string>
#include <string_view>

#include "platform/textconv.h"
#include "script/PoorPascal.h"

namespace wux::script_detail {

// Raises a script error: `utf8` is the message as written in the sources, its "%s" is
// replaced by `arg` (Shift_JIS bytes from the script).
[[noreturn]] inline void raise(std::string_view utf8, std::string_view arg = {}) {
  std::string m = sj(utf8);
  std::size_t p = m.find("%s");
  if (p != std::string::npos) m.replace(p, 2, arg);
  throw ScriptError(m);
}

inline constexpr const char* kSyntax = "文法エラーです[%s]";
inline constexpr const char* kVarType = "変数の型が違います[%s]";
inline constexpr const char* kFuncType = "関数の戻り値の型が違います[%s]";
inline constexpr const char* kUndefined = "変数または関数は定義されていません[%s]";
inline constexpr const char* kNoParen = "右括弧がありません";
inline constexpr const char* kDefinition = "定義エラーです";
inline constexpr const char* kRoutineTwice = "手続き/関数の重複宣言[%s]";
inline constexpr const char* kFormalTwice = "仮引数名の重複定義[%s]";
inline constexpr const char* kVarTwice = "変数/定数名の重複定義[%s]";
inline constexpr const char* kNoBuiltinFunc = "未宣言の組み込み関数です[%s]";
inline constexpr const char* kNoBuiltinProc = "未宣言の組み込み手続きです[%s]";
inline constexpr const char* kReadOnly = "読取専用オブジェクトには代入できません[%s]";
inline constexpr const char* kBadExpr = "式が不正です[%s]";
inline constexpr const char* kNoEnd = "endがありません[%s]";
inline constexpr const char* kNoOf = "ofがありません[%s]";
inline constexpr const char* kStopped = "実行を中断しました";

// Counts evaluations and statement lists in progress, so that Run can refuse to start
// under them.
struct BusyGuard {
  int& n;
  explicit BusyGuard(int& c) : n(c) { ++n; }
  ~BusyGuard() { --n; }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;
};

// Bounds the depth of parentheses, signs, calls and statement lists, so that a script
// nested beyond reason ends with an error instead of overflowing the stack (ELSE IF
// chains do not nest: they run arm after arm). A level costs well under 2 KB of stack
// even in a sanitizer build, far below the 8 MB of the GUI thread.
inline constexpr int kMaxNesting = 1000;
struct NestGuard {
  int& n;
  explicit NestGuard(int& c) : n(c) {
    if (n >= kMaxNesting) throw ScriptError("The script is nested too deeply.");
    ++n;
  }
  ~NestGuard() { --n; }
  NestGuard(const NestGuard&) = delete;
  NestGuard& operator=(const NestGuard&) = delete;
};

}  // namespace wux::script_detail
