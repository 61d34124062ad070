#pragma once
// TPoorPascal: the interpreter of the note scripts. A small Pascal-like language that runs
// straight from its source text (statements and expressions are read again every time
// they run). It has no routines of its own beyond the built-ins: everything else is a
// host routine declared from a prototype and carried out by the host through the events.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/errors.h"
#include "model/objects.h"
#include "model/text/StringList.h"
#include "script/PPAParser.h"
#include "script/ScriptDesktop.h"

namespace wux {

// Every error a script raises; the message is the Shift_JIS text the user sees.
class ScriptError : public Error {
 public:
  using Error::Error;
};

// Raised by Run when the interpreter is already running a program.
class ScriptBusyError : public ScriptError {
 public:
  using ScriptError::ScriptError;
};

enum : std::uint8_t { ptInteger = 0, ptReal = 1, ptString = 2 };

struct TPPAVar : TObject {
  std::string Name;        // as declared; given to the *ObjParam events
  bool Persistent = true;  // survives the start of a run (constants, host objects)
  bool ReadOnly = false;
  bool IsObject = false;   // reads and writes go through the *ObjParam events
  std::uint8_t Type = ptInteger;
  std::int64_t IntValue = 0;
  double RealValue = 0.0;
  std::string StrValue;    // never holds a NUL: a NUL ends a stored text
  int Index = 0;
  // While an assignment appends to this variable in place, its value lives in the
  // assignment's text (`lentTo`, of which the first `lentLen` bytes are the value) until
  // the expression ends; a store meanwhile makes StrValue the value again.
  const std::string* lentTo = nullptr;
  std::size_t lentLen = 0;
  bool storedWhileLent = false;
};

// One argument of a call, as the host sees it in the Argument list.
struct TPPAParam : TObject {
  std::uint8_t Type = ptInteger;
  std::int64_t IntValue = 0;
  double RealValue = 0.0;
  std::string StrValue;
  // The Integer value where the host needs a 32-bit number (sizes, positions, indexes):
  // throws RangeError instead of cutting the value.
  int int32Value() const;
};

struct TPPARoutine : TObject {
  std::string Name;     // upper case, as the host events get it
  bool System = false;  // built-in
  int Index = 0;
  StringList Formals;   // formal name -> TPPAParam (type only; owned)
  std::uint8_t ResultType = ptInteger;
  ~TPPARoutine() override;
};

class TPoorPascal;

// What a routine of a table gets when it is called: its arguments, in the order of its
// formals, and where its result goes.
struct TPPACall {
  TPoorPascal& pp;
  const StringList& Argument;  // formal name -> TPPAParam
  const TPPAParam& arg(int i) const { return *static_cast<const TPPAParam*>(Argument.object(i)); }
  std::int64_t IntResult = 0;
  long double RealResult = 0;
  std::string StrResult;
};

// A routine as a row of a table: its prototype (name, formals, result type and Index)
// and what carries it out. The built-ins are one such table; a host keeps its own.
struct TPPARoutineEntry {
  const char* prototype;
  void (*handler)(TPPACall& call);
};

class TPoorPascal {
 public:
  using TProcParam = std::function<void(const std::string& ProcName, int Index, const StringList& Argument,
                                        int& Err_CD)>;
  using TIntFuncParam = std::function<void(const std::string& FuncName, int Index, const StringList& Argument,
                                           int& Err_CD, std::int64_t& ResultValue)>;
  using TRealFuncParam = std::function<void(const std::string& FuncName, int Index, const StringList& Argument,
                                            int& Err_CD, double& ResultValue)>;
  using TStrFuncParam = std::function<void(const std::string& FuncName, int Index, const StringList& Argument,
                                           int& Err_CD, std::string& ResultValue)>;
  using TErrorProc = std::function<void(int Error_CD, std::string& Err_Message)>;
  using TIntObjParam = std::function<void(const std::string& ObjName, int Index, std::uint8_t GS_Mode,
                                          int& Err_CD, std::int64_t& Value)>;
  using TRealObjParam = std::function<void(const std::string& ObjName, int Index, std::uint8_t GS_Mode,
                                           int& Err_CD, double& Value)>;
  using TStrObjParam = std::function<void(const std::string& ObjName, int Index, std::uint8_t GS_Mode,
                                          int& Err_CD, std::string& Value)>;
  using TPauseProc = std::function<void()>;

  TPoorPascal();
  ~TPoorPascal();
  TPoorPascal(const TPoorPascal&) = delete;
  TPoorPascal& operator=(const TPoorPascal&) = delete;

  // Published lists.
  StringList Define;            // lines tested by IsDefine
  StringList Source;            // the program text
  StringList DeclarePrototype;  // host prototypes, one a line
  void SetDefine(const StringList& l) { Define = l; }
  void SetSource(const StringList& l) { Source = l; }
  void SetDeclarePrototype(const StringList& l) { DeclarePrototype = l; }

  // Host events.
  TProcParam ProcParam;
  TIntFuncParam IntFuncParam;
  TRealFuncParam RealFuncParam;
  TStrFuncParam StrFuncParam;
  TErrorProc ErrorProc;
  TIntObjParam IntObjParam;
  TRealObjParam RealObjParam;
  TStrObjParam StrObjParam;
  TPauseProc PauseProc;

  // The desktop the built-ins and the pump use (not owned; nullptr: headless).
  void setDesktop(ScriptDesktop* d) { desktop_ = d; }
  ScriptDesktop& desktop() const;
  // The agent whose break flag stops a running script (not owned; nullptr: none).
  void setAgent(AgentAPLAbs* a) { agent_ = a; }
  // A bound on the length of a text a script builds; beyond it the script ends with an
  // error. By default 256 MB: a runaway loop stops long before the memory runs out.
  static constexpr std::size_t kDefaultMaxStringLength = std::size_t{256} << 20;
  void setMaxStringLength(std::size_t n) { maxStrLen_ = n; }

  // Declarations.
  void AddIntConst(const std::string& name, bool readOnly, std::int64_t value);
  void AddStrConst(const std::string& name, const std::string& value, bool readOnly);
  void AddStrObject(const std::string& name, const std::string& value, int index, bool readOnly);
  void DeclareProc(std::string_view text, bool System);

  // Expressions.
  int ExprType(const TPPAParser& p) const;
  std::int64_t EvalInt(std::string_view text);
  double EvalReal(std::string_view text);
  std::string EvalStr(std::string_view text);
  void ExpectToken(TPPAParser& p, std::string_view word);
  static std::string DecodeStringLiteral(std::string_view s);

  // Calls of the routine `name`, each with the parser just after the name. An unknown
  // name does nothing and gives 0, 0.0 or ''.
  void CallProcedure(std::string_view name, TPPAParser& p);
  std::int64_t CallIntFunction(std::string_view name, TPPAParser& p);
  double CallRealFunction(std::string_view name, TPPAParser& p);
  std::string CallStrFunction(std::string_view name, TPPAParser& p);

  // Programs.
  static std::string PrepareSource(const StringList& lines);
  void Run();
  void Stop();
  bool IsRunning() const { return running_; }
  void ExecStatements(std::string_view text);
  bool MatchCaseLabel(std::string_view labels, std::int64_t selector);

  // Run state.
  bool Terminated() const { return terminated_; }
  bool Paused() const { return paused_; }

  // The tables, looked up ignoring case.
  TPPAVar* findVar(std::string_view name) const;
  TPPARoutine* findProc(std::string_view name) const;
  TPPARoutine* findFunc(std::string_view name) const;
  // The declared names (upper case), sorted: built-ins and host routines alike.
  std::vector<std::string> procedureNames() const;
  std::vector<std::string> functionNames() const;

 private:
  struct Result {
    std::int64_t i = 0;
    long double r = 0;
    std::string s;
  };
  enum class Member { Proc, Int, Real, Str };

  // A text the engine gathered from a statement (a condition, a branch, a body, an
  // argument): a range of tokens. When the tokens joined with blanks would read back
  // differently, the joined text is tokenised again into a buffer the range owns.
  struct Range {
    const TokenBuffer* buf = nullptr;
    std::uint32_t b = 0, e = 0;
    std::unique_ptr<TokenBuffer> own;
    bool empty() const { return b >= e; }
  };
  enum class Join { Trailing, Leading };  // "tok " or " tok" for each token
  static Range gather(const TokenBuffer& buf, std::uint32_t b, std::uint32_t e, Join join);
  static Range ofText(std::string text);
  // Stop words of collectUntil.
  enum : unsigned {
    cuThen = 1, cuDo = 2, cuTo = 4, cuDownto = 8, cuOf = 16, cuSemicolon = 32, cuRange = 64, cuColon = 128
  };
  static Range collectUntil(TPPAParser& p, unsigned mask);
  static Range collectBranch(TPPAParser& p);

  using Table = std::unordered_map<std::string, std::unique_ptr<TPPAVar>>;
  using Routines = std::unordered_map<std::string, std::unique_ptr<TPPARoutine>>;
  void addVar(const std::string& name, std::unique_ptr<TPPAVar> v);
  // What the identifier under the parser names (cached on the token).
  const Token& names(const TPPAParser& p) const;
  TPPAVar* varAt(const TPPAParser& p) const { return names(p).var; }
  TPPARoutine* procAt(const TPPAParser& p) const { return names(p).proc; }
  TPPARoutine* funcAt(const TPPAParser& p) const { return names(p).func; }

  Result call(TPPAParser& p, TPPARoutine& r, Member m);
  static const std::vector<TPPARoutineEntry>& builtinTable();
  TPPARoutine& declare(std::string_view text, bool System);
  struct Builtin {
    Member member;
    void (*handler)(TPPACall& call);
  };
  std::unordered_map<int, Builtin> builtins_;  // Index -> the row of builtinTable
  void hostError(int code);

  std::int64_t readInt(TPPAVar& v);
  long double readReal(TPPAVar& v);
  std::string readStr(TPPAVar& v);
  void tellHost(TPPAVar& v);

  std::int64_t evalInt(const Range& r);
  double evalReal(const Range& r);
  std::string evalStr(const Range& r);
  std::int64_t evalIntBy(TPPAParser& p);
  std::int64_t intRelation(TPPAParser& p);
  std::int64_t intSum(TPPAParser& p);
  std::int64_t intTerm(TPPAParser& p);
  std::int64_t intFactor(TPPAParser& p);
  std::int64_t intPrimary(TPPAParser& p);
  long double realRelation(TPPAParser& p);
  long double realSum(TPPAParser& p);
  long double realTerm(TPPAParser& p);
  long double realFactor(TPPAParser& p);
  long double realPrimary(TPPAParser& p);
  std::string strRelation(TPPAParser& p);
  void strRelationRest(TPPAParser& p, std::string& v);
  std::string strConcat(TPPAParser& p);
  void strConcatRest(TPPAParser& p, std::string& v);
  std::string strFactor(TPPAParser& p);
  std::string strPrimary(TPPAParser& p);

  void execList(const Range& r);
  void execStatement(const Range& r);
  void assign(TPPAVar& v, const Range& expr);
  void appendInPlace(TPPAVar& v, const Range& expr);
  void execIf(TPPAParser& p);
  void execFor(TPPAParser& p);
  void execWhile(TPPAParser& p);
  void execRepeat(TPPAParser& p);
  void execCase(TPPAParser& p);
  bool matchCaseLabel(const Range& labels, std::int64_t selector);
  // The one wait of Sleep, Exec and Pause: runs `step` until it answers true, handling
  // the window's events after each (`blocking`: waiting for one), so the script stays
  // breakable. A Break asked for during a run stops the script (Stop raises here); a
  // script stopped meanwhile ends the wait, and the answer is false.
  bool breakableWait(const std::function<bool()>& step, bool blocking = false);
  void pause();
  void sleep(std::uint32_t milliseconds);
  // The built-in Exec: the child's exit code when waiting, else -1; 0 when it cannot start.
  std::int64_t exec(const std::string& path, const std::string& cmdLine, bool wait);
  void clearRunTables();

  bool terminated_ = false, break_ = false, continue_ = false, paused_ = false, exit_ = false,
       running_ = false;
  std::size_t maxStrLen_ = kDefaultMaxStringLength;
  void checkLength(const std::string& s) const;
  int busy_ = 0;  // evaluations and statement lists in progress
  int nest_ = 0;  // depth of nested parentheses, signs, calls and statement lists
  Routines procedures_, functions_;
  Table variables_;
  std::uint32_t version_ = 1;  // changes with every change of the tables
  ScriptDesktop* desktop_ = nullptr;
  AgentAPLAbs* agent_ = nullptr;
  bool breakRequested() const { return agent_ && agent_->isBreak(); }
};

// Conversions shared with the host: the language's own number rules.
// 64-bit integer from decimal or $/0x hexadecimal text; false when it is not one.
bool ScriptStrToInt(std::string_view s, std::int64_t& out);
// Floating number text; false when it is not one.
bool ScriptStrToFloat(std::string_view s, long double& out);
// General format with 15 significant digits ("0.1", "1E20", "1.5E-7").
std::string ScriptFloatToStr(double v);

}  // namespace wux
