// The built-in procedures and functions of the language, and the three that wait
// (Sleep, Exec, Pause) with the one wait that the user can always break.
#include <cmath>
#include <functional>
#include <string>

#include "model/text/sjis.h"
#include "platform/process.h"
#include "script/Arithmetic.h"
#include "script/PoorPascal.h"
#include "script/messages.h"

namespace wux {

using namespace script_detail;

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

bool TPoorPascal::breakableWait(const std::function<bool()>& step, bool blocking) {
  for (;;) {
    if (running_ && !terminated_ && breakRequested()) Stop();
    if (step()) return true;
    blocking ? desktop().waitForMessages() : desktop().processMessages();
    if (terminated_) return false;
  }
}

void TPoorPascal::sleep(std::uint32_t ms) {
  const bool forever = ms == 0xFFFFFFFFu;
  // Slept in slices, so the user can still break a script that sleeps for hours, or for
  // ever; outside a run nothing could end "for ever", so it is one slice there.
  constexpr std::uint32_t kSlice = 100;
  breakableWait([&] {
    if (!forever && ms == 0) return true;
    const std::uint32_t slice = forever || ms > kSlice ? kSlice : ms;
    desktop().sleep(slice);
    if (!forever) ms -= slice;
    return forever ? !running_ : ms == 0;
  });
}

std::int64_t TPoorPascal::exec(const std::string& path, const std::string& cmdLine, bool wait) {
  const int pid = StartProcess(path, cmdLine);
  if (pid == 0) return 0;
  // A child not waited for to its end (no wait, a Break, a stopped script) runs on and
  // is reaped whenever it ends.
  struct Reap {
    int pid;
    bool ended = false;
    ~Reap() {
      if (!ended) platform::reapWhenEnded(pid);
    }
  } reap{pid};
  if (!wait) return -1;
  constexpr int kSliceMs = 10;
  int code = -1;
  reap.ended = breakableWait([&] { return platform::childEnded(pid, code, kSliceMs); });
  return reap.ended ? code : -1;
}

void TPoorPascal::pause() {
  paused_ = true;
  if (PauseProc) PauseProc();
  // Only Stop clears the flag; outside a run nothing could, so there is no wait.
  breakableWait([this] { return !(paused_ && running_); }, true);
}
}  // namespace wux
