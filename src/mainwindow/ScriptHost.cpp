#include "mainwindow/ScriptHost.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QThread>
#include <algorithm>
#include <cmath>

#include "mainwindow/commands/Commands.h"
#include "mainwindow/commands/NoteFileCommands.h"
#include "mainwindow/commands/NoteMaker.h"
#include "model/Prompter.h"
#include "model/lists.h"
#include "model/search.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "platform/textconv.h"
#include "views/ChangeGuard.h"
#include "views/CommandTable.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/qtext.h"

namespace wux {

namespace {

constexpr std::size_t kCacheSize = 10;
constexpr int kRunnerIdIndex = 5000;

// The window's event loop as the scripts' desktop. Statement lists ask for the events
// very often; they are handled at most every few milliseconds, which keeps the window
// and the Break button alive without costing a long script its speed.
class WindowDesktop : public HeadlessDesktop {
 public:
  WindowDesktop(std::function<void()> beforeWait, std::function<void(const std::string&)> say)
      : beforeWait_(std::move(beforeWait)), say_(std::move(say)) {
    clock_.start();
  }
  void processMessages() override {
    if (clock_.isValid() && clock_.elapsed() < 5) return;
    clock_.restart();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  void waitForMessages() override {
    if (beforeWait_) beforeWait_();
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  void sleep(std::uint32_t milliseconds) override { QThread::msleep(milliseconds); }

 protected:
  void sayUnopened(const std::string& why) override { say_(why); }

 private:
  std::function<void()> beforeWait_;
  std::function<void(const std::string&)> say_;
  QElapsedTimer clock_;
};

TFrameMemoNode* editorOf(MainWindowApi& w) {
  TFrameMemoHolder* frame = w.getHolderFrame();
  return frame ? frame->FrameMemoNode1() : nullptr;
}

bool hasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// The field's name as it is written (trimmed), or "" for a field line that the file
// forms could not read back: the rule of the windows where a person types a name.
std::string validField(const std::string& name, const std::string& value) {
  std::string error;
  std::string f = MemoBasic::typedFieldName(name, error);
  return error.empty() && !hasLineBreak(value) ? f : std::string();
}

bool validName(const std::string& name) { return !sjis::trim(name).empty() && !hasLineBreak(name); }

// The text as one word of a /bin/sh command line.
std::string shellQuoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

// A command note without a command line runs the file it was saved to, by its full
// name: a program by itself, a shell script through the shell, anything else through
// the desktop's opener (which gives no output). -1 when the file could not be started.
int runSavedFile(StringList& output, const std::string& dir, const std::string& file) {
  const std::string path = platform::resolvePath(file);
  if (platform::isExecutableFile(path)) {
    int status = 0;
    // With exec the shell's own "cannot run" (126) and "not found" (127) are the file's.
    if (RunCommandToStrings(output, dir, "exec " + shellQuoted(path), "", &status) < 0) return -1;
    return status == 126 || status == 127 ? -1 : 0;
  }
  if (sjis::lower(platform::extOf(path)) == ".sh")
    return RunCommandToStrings(output, dir, "/bin/sh " + shellQuoted(path), "");
  const std::string unopened = platform::openWithDesktop(path);
  if (unopened.empty()) return 0;
  output.add("Failure: " + unopened);
  return -1;
}

}  // namespace

// ---- the routines ---------------------------------------------------------------------

struct ScriptHost::Call {
  explicit Call(const StringList& a) : args(a) {}
  const StringList& args;
  std::int64_t i = 0;
  double r = 0.0;
  std::string s;
  const TPPAParam& arg(int k) const { return *static_cast<const TPPAParam*>(args.object(k)); }
  const std::string& str(int k) const { return arg(k).StrValue; }
  int int32(int k) const { return arg(k).int32Value(); }
};

const std::vector<ScriptHost::Routine>& ScriptHost::routines() {
  using H = ScriptHost;
  using C = Call;
  static const std::vector<Routine> table = {
      {1, "procedure Print(S:String);Index 1;", false, [](H& h, C& c) { h.w_.addLog_(c.str(0)); }},
      {2, "procedure PrintBuf(S:String);Index 2;", false, [](H& h, C& c) { h.printBuf("", c.str(0)); }},
      {3, "procedure PrintBuf2(sName:String; s:String);Index 3;", false,
       [](H& h, C& c) { h.printBuf(c.str(0), c.str(1)); }},
      {4, "procedure PrintLog(S:String);Index 4;", true, [](H& h, C& c) { h.w_.addLog_(c.str(0)); }},

      {1012, "function UIHardcopy: Integer; Index 1012;", false, [](H& h, C& c) { c.i = h.command("UIHardCopy"); }},
      {1013, "function UIOpenCurrentDir: Integer; Index 1013;", false,
       [](H& h, C& c) { c.i = h.command("UIExplorerCurrentDir"); }},
      {1014, "function UIOpenExeFileDir: Integer; Index 1014;", false,
       [](H& h, C& c) { c.i = h.command("UIExplorerExeDir"); }},
      {1015, "function UIShellExecute_( S:String): Integer; Index 1015;", false,
       [](H& h, C& c) { c.i = h.command("UIShellExecute_", {c.str(0)}); }},
      {1016, "function UIWidth_Height_( w, h:integer): Integer; Index 1016;", false,
       [](H& h, C& c) {
         const int width = c.int32(0), height = c.int32(1);
         if (h.window_.resize) h.window_.resize(width, height);
       }},
      {1017, "function UILeft_Top_( L, T:integer): Integer; Index 1017;", false,
       [](H& h, C& c) {
         const int left = c.int32(0), top = c.int32(1);
         if (h.window_.move) h.window_.move(left, top);
       }},
      {1018, "function UIFontSize_( SZ:Integer): Integer; Index 1018;", false,
       [](H& h, C& c) {
         const int size = c.int32(0);
         if (h.window_.setFontSize) h.window_.setFontSize(size);
         c.i = size;
       }},
      {1019, "function UIAddLog_( S:String): Integer; Index 1019;", false, [](H& h, C& c) { h.w_.addLog_(c.str(0)); }},
      {1020, "function UIAddLogDT_( S:String): Integer; Index 1020;", true, [](H& h, C& c) { h.w_.addLogTS(c.str(0)); }},

      {1101, "function UINewNode: Integer; Index 1101;", false, [](H& h, C& c) { c.i = h.command("newMemoNode_"); }},
      {1102, "function UINewNode_( S:String): Integer; Index 1102;", false,
       [](H& h, C& c) { c.i = h.newNamed("newMemoNode_", c.str(0)); }},
      {1103, "function UINewChild: Integer; Index 1103;", false, [](H& h, C& c) { c.i = h.command("UINewChild"); }},
      {1104, "function UINewChild_( S:String): Integer; Index 1104;", true,
       [](H& h, C& c) { c.i = h.newNamed("UINewChild", c.str(0)); }},

      {1111, "function UIAddMemo_( S:String): Integer; Index 1111;", false,
       [](H& h, C& c) {
         h.toModel();
         // Without a note there is nothing to add to, which is no error for a script.
         MemoNodeUI* note = h.w_.getCurrentNode();
         c.i = !note ? 0 : (h.addLine(note, false, c.str(0)) < 0 ? -1 : 0);
       }},
      {1112, "function UIAddComment_( S:String): Integer; Index 1112;", false,
       [](H& h, C& c) {
         h.toModel();
         // Without a note there is nothing to add to, which is no error for a script.
         MemoNodeUI* note = h.w_.getCurrentNode();
         c.i = !note ? 0 : (h.addLine(note, true, c.str(0)) < 0 ? -1 : 0);
       }},
      {1113, "function UI2Model: Integer; Index 1113;", false,
       [](H& h, C& c) {
         // While the editor is let go of, the model already holds everything.
         c.i = h.detached_ ? (h.w_.getCurrentNode() ? 0 : -1) : h.w_.UI2Model();
       }},
      {1114, "function UIChangeCurrentNodeFirst: integer; Index 1114;", false,
       [](H& h, C& c) {
         h.toModel();
         MemoHolderUI* holder = h.w_.getCurrentHolder();
         c.i = h.moveTo(holder ? holder->getFirstNode_() : nullptr);
       }},
      {1115, "function UIChangeCurrentNodeNext: Integer; Index 1115;", false,
       [](H& h, C& c) {
         h.toModel();
         c.i = h.command("UIChangeCurrentNodeNext", {}, true);
       }},
      {1116, "function UIChangeCurrentNodePre: Integer; Index 1116;", false,
       [](H& h, C& c) {
         h.toModel();
         c.i = h.command("UIChangeCurrentNodePre", {}, true);
       }},
      {1117, "function UIChangeCurrentNodeLast: integer; Index 1117;", false,
       [](H& h, C& c) {
         h.toModel();
         MemoHolderUI* holder = h.w_.getCurrentHolder();
         c.i = h.moveTo(holder ? holder->getLastNode_() : nullptr);
       }},
      {1118, "function UIChangeCurrentNodeName_( S:String): Integer; Index 1118;", true,
       [](H& h, C& c) {
         h.toModel();
         MemoHolderUI* holder = h.w_.getCurrentHolder();
         c.i = h.moveTo(holder ? holder->findNodeByName_(c.str(0)) : nullptr);
       }},

      {1130, "function UIPPADefine2SEL: Integer; Index 1130;", false,
       [](H& h, C& c) { c.i = h.command("UIFunctionList2Sel"); }},
      {1131, "function UIVersion2SEL: Integer; Index 1131;", false, [](H& h, C& c) { c.i = h.command("UIVersion2SEL"); }},
      {1132, "function UIFileMXA2SEL: Integer; Index 1132;", false, [](H& h, C& c) { c.i = h.command("UIFileMXA2Sel"); }},
      {1133, "function UIFieldsList2SEL: Integer; Index 1133;", false,
       [](H& h, C& c) { c.i = h.command("UIFieldsList2Sel"); }},
      {1134, "function UIHolderList2SEL: Integer; Index 1134;", false,
       [](H& h, C& c) { c.i = h.command("UIHolderList2Sel"); }},
      {1135, "function UIMarkList2SEL: Integer; Index 1135;", false, [](H& h, C& c) { c.i = h.command("UIMarkList2Sel"); }},
      {1136, "function UINodesList2SEL: Integer; Index 1136;", true,
       [](H& h, C& c) { c.i = h.command("UINodesList2SEL"); }},

      {1140, "function UIPutName_( S:String): Integer; Index 1140;", false,
       [](H& h, C& c) {
         h.toModel();
         MemoNodeUI* n = h.w_.getCurrentNode();
         if (!n || !validName(c.str(0)) || h.refusedChange(n)) return void(c.i = -1);
         std::string actual;
         n->putName_(c.str(0), actual);
         h.changed(n);
       }},
      {1141, "function UIPutField__( S, SV:String): Integer; Index 1141;", false,
       [](H& h, C& c) {
         h.toModel();
         MemoNodeUI* n = h.w_.getCurrentNode();
         const std::string f = validField(c.str(0), c.str(1));
         if (!n || f.empty() || h.refusedChange(n)) return void(c.i = -1);
         c.i = n->putField_(f, EncloseWith(c.str(1), '"'));
         h.changed(n);
       }},
      {1142, "function UIDeleteMemoNode: Integer; Index 1142;", true,
       [](H& h, C& c) { c.i = h.command("UIDeleteMemoNode"); }},

      {1150, "function UIChangeCheckListBox: integer; Index 1150;", false,
       [](H& h, C& c) { c.i = h.command("changeCheckListBox_"); }},
      {1151, "function UIChangeTreeView: integer; Index 1151;", false,
       [](H& h, C& c) { c.i = h.command("changeTreeView_"); }},
      {1152, "function UIChangeListView: integer; Index 1152;", true,
       [](H& h, C& c) { c.i = h.command("changeListView_"); }},

      {1200, "function UIMNMemoCount2( sHolder, sNode:string): integer; Index 1200;", false,
       [](H& h, C& c) {
         h.toModel();
         MemoNodeUI* n = h.findReadableNode(c.str(0), c.str(1));
         c.i = n ? n->body().count() : -1;
       }},
      {1201, "function UIMNCommentCount2( sHolder, sNode:string): integer; Index 1201;", false,
       [](H& h, C& c) {
         h.toModel();
         MemoNodeUI* n = h.findMemoNodeByNames(c.str(0), c.str(1));
         c.i = !n ? -1 : n->comment() ? n->comment()->count() : 0;
       }},
      {1202, "function UIMNFieldsCount2( sHolder, sNode:string): integer; Index 1202;", false,
       [](H& h, C& c) {
         h.toModel();
         MemoNodeUI* n = h.findMemoNodeByNames(c.str(0), c.str(1));
         c.i = !n ? -1 : n->fieldList() ? n->fieldList()->count() : 0;
       }},
      {1203, "function UIMNAddMemo3( sHolder, sNode, s:string): integer; Index 1203;", false,
       [](H& h, C& c) {
         h.toModel();
         c.i = h.addLine(h.findReadableNode(c.str(0), c.str(1)), false, c.str(2));
       }},
      {1204, "function UIMNAddComment3( sHolder, sNode, s:string): integer; Index 1204;", false,
       [](H& h, C& c) {
         h.toModel();
         c.i = h.addLine(h.findMemoNodeByNames(c.str(0), c.str(1)), true, c.str(2));
       }},
      {1205, "function UIMNPutField4( sHolder, sNode, sKey, sValue:string): integer; Index 1205;", true,
       [](H& h, C& c) {
         h.toModel();
         MemoNodeUI* n = h.findMemoNodeByNames(c.str(0), c.str(1));
         const std::string f = validField(c.str(2), c.str(3));
         if (!n || f.empty() || h.refusedChange(n)) return void(c.i = -1);
         c.i = n->putField_(f, c.str(3));
         h.changed(n);
       }},

      {2001, "function Sqrt( Var:Real): Real; Index 2001;", true, [](H&, C& c) { c.r = std::sqrt(c.arg(0).RealValue); }},

      {3001, "function string_getS1( s:string): string; Index 3001;", false,
       [](H&, C& c) {
         std::string rest;
         c.s = SplitFirstWord(c.str(0), rest);
       }},
      {3002, "function string_getSX( s:string): string; Index 3002;", false,
       [](H&, C& c) {
         std::string rest;
         SplitFirstWord(c.str(0), rest);
         c.s = rest;
       }},
      {3003, "function string_unquate( s:string): string; Index 3003;", false,
       [](H&, C& c) { c.s = Dequote(c.str(0)); }},
      {3101, "function UIGetName: string; Index 3101;", false,
       [](H& h, C& c) {
         if (MemoNodeUI* n = h.w_.getCurrentNode()) c.s = n->name();
       }},
      {3102, "function UIGetField_( S:String): string; Index 3102;", false,
       [](H& h, C& c) {
         h.toModel();
         if (MemoNodeUI* n = h.w_.getCurrentNode()) c.s = Dequote(n->getField_(c.str(0)));
       }},
      {3103, "function UIRemoveField_( S:String): string; Index 3103;", false,
       [](H& h, C& c) {
         h.toModel();
         MemoNodeUI* n = h.w_.getCurrentNode();
         if (!n || n->getIndexField_(c.str(0)) < 0 || h.refusedChange(n)) return;
         c.s = n->removeField_(c.str(0));
         h.changed(n);
       }},
      {3104, "function UIGetNameHolder: string; Index 3104;", false,
       [](H& h, C& c) {
         if (MemoHolderUI* holder = h.w_.getCurrentHolder()) c.s = holder->name();
       }},
      {3201, "function UIMNMemoStrings3( sHolder, sNode:string; i:integer): string; Index 3201;", false,
       [](H& h, C& c) {
         h.toModel();
         MemoNodeUI* n = h.findReadableNode(c.str(0), c.str(1));
         const int i = c.int32(2);
         if (n && i >= 0 && i < n->body().count()) c.s = n->body()[i];
       }},
      {3202, "function UIMNCommentStrings3( sHolder, sNode:string; i:integer): string; Index 3202;", false,
       [](H& h, C& c) {
         h.toModel();
         MemoNodeUI* n = h.findMemoNodeByNames(c.str(0), c.str(1));
         const int i = c.int32(2);
         if (n && n->comment() && i >= 0 && i < n->comment()->count()) c.s = (*n->comment())[i];
       }},
      {3203, "function UIMNFieldsStrings3( sHolder, sNode:string; i:integer): string; Index 3203;", false,
       [](H& h, C& c) {
         h.toModel();
         MemoNodeUI* n = h.findMemoNodeByNames(c.str(0), c.str(1));
         const int i = c.int32(2);
         if (n && n->fieldList() && i >= 0 && i < n->fieldList()->count()) c.s = (*n->fieldList())[i];
       }},
      {3204, "function UIMNGetField3( sHolder, sNode, sKey:string): string; Index 3204;", false,
       [](H& h, C& c) {
         h.toModel();
         if (MemoNodeUI* n = h.findMemoNodeByNames(c.str(0), c.str(1))) c.s = n->getField_(c.str(2));
       }},
  };
  return table;
}

const ScriptHost::Routine* ScriptHost::routine(int index) const {
  // The table is in ascending Index order.
  const auto& t = routines();
  auto it = std::lower_bound(t.begin(), t.end(), index, [](const Routine& r, int i) { return r.index < i; });
  return it != t.end() && it->index == index ? &*it : nullptr;
}

// ---- set-up ---------------------------------------------------------------------------

ScriptHost::ScriptHost(MainWindowApi& w, ScriptWindow window)
    : w_(w), window_(std::move(window)), pp1_(std::make_unique<TPoorPascal>()) {
  desktop_ = std::make_unique<WindowDesktop>([this] { attachEditor(); },
                                             [this](const std::string& why) {
                                               w_.addLog_(why);
                                               w_.messageDoing_("Failure: " + why);
                                             });
  pp1_->Define.add("");
  for (const Routine& r : routines()) {
    pp1_->DeclarePrototype.add(r.prototype);
    if (r.groupEnd) pp1_->DeclarePrototype.add("");
  }
  setupInterpreter(*pp1_);
}

ScriptHost::~ScriptHost() {
  for (auto& [name, node] : cache_)
    if (node) node->removeWatcher(this);
}

void ScriptHost::setupInterpreter(TPoorPascal& pp) {
  pp.setDesktop(desktop_.get());
  pp.setAgent(w_.getAgent());
  // Every kind of routine is dispatched by its Index through the one table.
  auto run = [this](int index, const StringList&, int& err, Call& c) {
    err = 0;
    const Routine* r = routine(index);
    if (!r) return false;
    r->run(*this, c);
    return true;
  };
  pp.ProcParam = [run](const std::string&, int index, const StringList& args, int& err) {
    Call c{args};
    if (!run(index, args, err, c)) err = -1;
  };
  pp.IntFuncParam = [run](const std::string&, int index, const StringList& args, int& err, std::int64_t& result) {
    Call c{args};
    if (run(index, args, err, c)) result = c.i;
  };
  pp.RealFuncParam = [run](const std::string&, int index, const StringList& args, int& err, double& result) {
    Call c{args};
    if (run(index, args, err, c)) result = c.r;
  };
  pp.StrFuncParam = [run](const std::string&, int index, const StringList& args, int& err, std::string& result) {
    Call c{args};
    if (run(index, args, err, c)) result = c.s;
  };
  pp.ErrorProc = [](int code, std::string& message) {
    message = code == -1 ? sj("ユーザー定義手続き/関数の内部エラーです。") : std::string();
  };
  pp.IntObjParam = [this](const std::string&, int index, std::uint8_t mode, int& err, std::int64_t& value) {
    err = 0;
    if (index == 1) {
      if (mode == 0) {
        if (window_.fontColor) value = static_cast<std::int32_t>(window_.fontColor());
      } else if (window_.setFontColor) {
        window_.setFontColor(value);
      }
    } else if (index != 2) {
      err = -1;
    }
  };
  pp.StrObjParam = [](const std::string&, int, std::uint8_t, int& err, std::string&) { err = 0; };
}

PPACo& ScriptHost::setupPPARunner(std::unique_ptr<PPACo> runner) {
  const std::size_t n = pool_.size();
  const std::string name = std::string("PPA") + (n < 10 ? "0" : "") + std::to_string(n);
  TPoorPascal& pp = runner->interpreter();
  pp.DeclarePrototype = pp1_->DeclarePrototype;
  pp.Define = pp1_->Define;
  setupInterpreter(pp);
  pp.AddStrObject("PPAID", name, kRunnerIdIndex, true);
  pool_.emplace_back(name, std::move(runner));
  return *pool_.back().second;
}

PPACo& ScriptHost::getIdlePPARunner() {
  for (auto& [name, runner] : pool_)
    if (!runner->interpreter().IsRunning()) return *runner;
  return setupPPARunner(std::make_unique<PPACo>());
}

void ScriptHost::printBuf(const std::string& runnerName, const std::string& text) {
  if (pool_.empty()) {
    w_.addLog_(text);
    return;
  }
  PPACo* target = pool_.front().second.get();
  if (!runnerName.empty())
    for (auto& [name, runner] : pool_)
      if (name == runnerName) {
        target = runner.get();
        break;
      }
  target->output.add(text);
}

// ---- running --------------------------------------------------------------------------

struct ScriptHost::RunScope {
  ScriptHost& h;
  explicit RunScope(ScriptHost& host) : h(host) {
    // A Break asked for before this run belongs to no script.
    if (h.running_++ == 0 && h.window_.clearBreak) h.window_.clearBreak();
  }
  ~RunScope() {
    if (--h.running_ > 0) return;
    if (h.window_.clearBreak) h.window_.clearBreak();
    h.attachEditor();
    if (h.window_.scriptsEnded) h.window_.scriptsEnded();
  }
};

void ScriptHost::stopAll() {
  ending_ = true;
  auto stop = [](TPoorPascal& pp) {
    if (!pp.IsRunning()) return;
    // Stop reports to its caller that it stopped the script: nobody here to tell.
    try {
      pp.Stop();
    } catch (const std::exception&) {
    }
  };
  stop(*pp1_);
  for (auto& [name, runner] : pool_) stop(runner->interpreter());
}

void ScriptHost::runScript(TPoorPascal& pp, const StringList& source) {
  if (ending_) return;
  RunScope scope(*this);
  pp.Source = source;
  pp.Run();
}

int ScriptHost::runRunner(PPACo& runner, MemoNodeUI* note) {
  if (ending_) return -1;
  RunScope scope(*this);
  return runner.Run(note->body(), note);
}

void ScriptHost::toModel() {
  if (detached_ || running_ == 0) return;
  w_.UI2Model();
  detached_ = true;
  if (TFrameMemoNode* e = editorOf(w_)) e->setReadOnly_(true);
}

void ScriptHost::attachEditor() {
  if (!detached_) return;
  detached_ = false;
  w_.Model2UI();
  // Without a note to show, the editor still takes input again.
  if (!w_.getCurrentNode())
    if (TFrameMemoNode* e = editorOf(w_)) e->setReadOnly_(w_.isUIReadOnly());
  w_.refreshHolderView();
}

int ScriptHost::command(const std::string& name, const std::vector<std::string>& args, bool quiet) {
  const bool was = quiet_;
  quiet_ = quiet;
  struct Restore {
    bool& flag;
    bool value;
    ~Restore() { flag = value; }
  } restore{quiet_, was};
  return w_.commands().run(name, args);
}

bool ScriptHost::refusedChange(MemoNode* node) { return refusedToChange(w_, *node); }

void ScriptHost::changed(MemoNode* node) {
  if (MemoHolder* holder = node->getParentHolder_()) holder->modified = true;
  // The editor shows the current note again when the script is done with it.
  if (!detached_ && node == w_.getCurrentNode()) w_.Model2UI();
}

int ScriptHost::addLine(MemoNode* node, bool toComment, const std::string& line) {
  if (!node || refusedChange(node)) return -1;
  StringList& lines = toComment ? node->ensureComment() : node->body();
  lines.add(line);
  changed(node);
  return lines.count();
}

int ScriptHost::moveTo(MemoNode* node) {
  MemoHolderUI* holder = w_.getCurrentHolder();
  if (!node || !holder) return -1;
  w_.changeCurrentNode_(static_cast<MemoNodeUI*>(node));
  return holder->indexOfNode_(node);
}

int ScriptHost::newNamed(const std::string& name, const std::string& noteName) {
  if (!validName(noteName)) return -1;
  MemoNodeUI* before = w_.getCurrentNode();
  const int result = command(name);
  toModel();
  MemoNodeUI* made = w_.getCurrentNode();
  // Only a note the command made is renamed, never the one that was current.
  if (made && made != before) {
    std::string actual;
    made->putName_(noteName, actual);
    changed(made);
  }
  return result;
}

// ---- the node cache -------------------------------------------------------------------

MemoNodeUI* ScriptHost::findReadableNode(const std::string& holderName, const std::string& nodeName) {
  MemoNodeUI* node = findMemoNodeByNames(holderName, nodeName);
  if (!node) return nullptr;
  if (const std::string unread = unreadNote(w_, *node); !unread.empty()) {
    w_.messageDoing_(unread);
    return nullptr;
  }
  return node;
}

MemoNodeUI* ScriptHost::findMemoNodeByNames(const std::string& holderName, const std::string& nodeName) {
  for (std::size_t i = 0; i < cache_.size();) {
    MemoNodeUI* node = cache_[i].second;
    if (!node) {
      cache_.erase(cache_.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    MemoHolder* holder = node->getParentHolder_();
    if (node->name() == nodeName && holder && holder->name() == holderName) {
      if (i > 0) std::rotate(cache_.begin(), cache_.begin() + static_cast<std::ptrdiff_t>(i),
                             cache_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
      return node;
    }
    ++i;
  }
  MemoHolderUI* holder = nullptr;
  if (holderName.empty()) {
    holder = w_.getCurrentHolder();
  } else if (MemoFileUI* doc = w_.getMemoFile()) {
    holder = dynamic_cast<MemoHolderUI*>(doc->findHolderByName_(holderName));
    // A notebook not opened yet is read from its file first.
    if (holder && !holder->loaded) w_.loadHolder(holder);
  }
  auto* node = holder ? dynamic_cast<MemoNodeUI*>(holder->findNodeByName_(nodeName)) : nullptr;
  if (node) node->addWatcher(this);
  cache_.insert(cache_.begin(), {nodeName, node});
  while (cache_.size() > kCacheSize) {
    MemoNodeUI* old = cache_.back().second;
    cache_.pop_back();
    forget(old);
  }
  return node;
}

void ScriptHost::forget(MemoNodeUI* node) {
  if (!node) return;
  for (auto& entry : cache_)
    if (entry.second == node) return;
  node->removeWatcher(this);
}

void ScriptHost::noteGone_(MemoNodeUI* node) {
  for (auto& entry : cache_)
    if (entry.second == node) entry.second = nullptr;
}

// ---- the commands ---------------------------------------------------------------------

int ScriptHost::UIEval() {
  if (!w_.getCurrentHolder() || !w_.getHolderFrame()) return -1;
  w_.showFormLog();
  TFrameMemoNode* e = editorOf(w_);
  const std::string text = e ? sjis::trim(e->activeSelText_()) : std::string();
  if (text.empty()) return -1;
  evalInPP1(text, false);
  return -1;
}

// A script still running in the window's interpreter (pumping events or paused) keeps
// it: a second run would discard its variables and routines. Eval reports a failure on
// the status line; Eval Memo ends the busy state with it.
int ScriptHost::evalInPP1(const std::string& text, bool failureEndsDoing) {
  if (pp1_->IsRunning()) {
    w_.messageDoing_("ERROR: Eval");
    return -1;
  }
  StringList source;
  source.setText(text);
  try {
    runScript(*pp1_, source);
  } catch (const std::exception& e) {
    // The status stays short; the log keeps why, in the interpreter's own words.
    w_.addLog_(std::string("ERROR: Eval: ") + e.what());
    failureEndsDoing ? w_.endDoing_("ERROR: Eval") : w_.messageDoing_("ERROR: Eval");
    return -1;
  }
  w_.messageDoing_("Done: Eval");
  return 0;
}

int ScriptHost::UIEvalMemo() {
  if (!w_.getHolderFrame()) return -1;
  w_.showFormLog();
  TFrameMemoNode* e = editorOf(w_);
  const std::string text = e ? sjis::trim(fromQ(e->MemoNode0()->toPlainText())) : std::string();
  if (text.empty()) {
    w_.messageDoing_("No script ");
    return -1;
  }
  return evalInPP1(text, true);
}

int ScriptHost::UIFunctionList2Sel() {
  TFrameMemoNode* e = editorOf(w_);
  if (!e) return -1;
  BusyScope busy(w_, "UIFunctionList2Sel");
  StringList lines;
  for (const std::string& n : pp1_->procedureNames()) lines.add(n);
  for (const std::string& n : pp1_->functionNames()) lines.add(n);
  e->replaceActiveMemoSel_(lines.join("\r\n"));
  return lines.count();
}

int ScriptHost::UINewChildExecuted() {
  w_.UI2ModelAll();
  MemoNodeUI* node = w_.getCurrentNode();
  if (!node) return -106;
  if (node->getField_("Content-Transfer-Encoding") == "\"binary\"") {
    w_.messageDoing_("Stop: Current MemoNode is binary.");
    return -105;
  }
  const std::string file = Dequote(node->getField_("Filename"));
  const std::string ext = sjis::lower(platform::extOf(file));
  if (const std::string unread = ext == ".ppa" ? unreadNote(w_, *node) : std::string(); !unread.empty()) {
    w_.messageDoing_(unread);
    return -1;
  }
  // The script may delete its own note: the child then has no parent.
  const NoteRef executed(node);
  StringList output;
  std::string final;
  int result = -1;
  if (ext == ".ppa") {
    w_.messageDoing_("New Child Executed PPA");
    final = "Failure: New Child Executed PPA";
    if (sjis::trim(node->body().text()).empty()) {
      w_.messageDoing_("Abort: No script ");
      return -104;
    }
    if (pp1_->IsRunning()) {
      try {
        pp1_->Stop();
      } catch (const std::exception& e) {
        ShowMessage(e.what());
        return -1;
      }
    }
    PPACo& runner = getIdlePPARunner();
    result = runRunner(runner, node);
    output = runner.output;
    if (result < 0) output.add("Trap ERROR UINewChildExecuted");
    runner.output.clear();
  } else {
    NamedFileSave report;
    const std::string saved = saveMemoNodeToNamedFile(w_, node, true, &report);
    if (saved.empty()) {
      const std::string text = report.failure.empty() ? "Cancel: could not save. " : report.failure;
      w_.messageDoing_(text);
      w_.endDoing_(text);
      return kResultNoDocument;
    }
    // Read before the events are handled: they may free the note (a new document, a
    // deleted notebook).
    std::string dir, cmd;
    const bool named = commandLineOf(node, saved, dir, cmd);
    QCoreApplication::processEvents();
    w_.beginDoing_("New Child Executed");
    final = "Failure: New Child Executed";
    result = named ? RunCommandToStrings(output, dir, cmd, "") : runSavedFile(output, dir, saved);
    if (result < 0) output.add("Failure: New Child Executed");
  }
  MemoFileUI* doc = w_.getMemoFile();
  MemoNode* parent = doc ? executed.resolve(*doc) : nullptr;
  if (MemoNodeUI* child = newMemoNodeKind(w_, "", NoteKind::Text)) {
    if (parent && parent->getParentHolder_() == child->getParentHolder_()) child->putParentNode_(parent);
    child->body() = output;
    if (MemoHolder* holder = child->getParentHolder_()) holder->modified = true;
    w_.Model2UI();
    w_.refreshHolderView();
    final = "Done: New Child Executed : " + child->name();
  }
  w_.endDoing_(final);
  return result;
}

bool ScriptHost::commandLineOf(MemoNodeUI* note, const std::string& file, std::string& dir, std::string& cmd) {
  dir = Dequote(note->getField_("CurrentDir"));
  if (dir.empty()) dir = platform::dirOf(file);
  const std::string field = Dequote(note->getFieldInherited_("CommandLine"));
  cmd = field;
  if (field.empty()) return false;
  if (field.find('%') != std::string::npos) {
    StringList words;
    SplitToStringsQuoted(cmd, words, " \t");
    cmd.clear();
    for (int i = 0; i < words.count(); ++i) {
      std::string word = words[i];
      if (!word.empty() && word[0] == '%') {
        word.erase(0, 1);
        if (!word.empty() && word.back() == '%') word.pop_back();
        word = Dequote(note->getFieldInherited_(word));
      }
      cmd += " " + word;
    }
  }
  return true;
}

void ScriptHost::registerCommands(CommandTable& table) {
  table.add("UIEval", Needs::notBusy(), [this] { return UIEval(); });
  table.add("UIEvalMemo", Needs::notBusy(), [this] { return UIEvalMemo(); });
  table.add("UINewChildExecuted", Needs::notBusy().uiWritable(-108).holderWritable(-107), [this] { return UINewChildExecuted(); });
  table.add("UIFunctionList2Sel", Needs::changesNote(), [this] { return UIFunctionList2Sel(); });
  table.setBeforeRun([this] {
    if (!quiet_) attachEditor();
  });
}

}  // namespace wux
