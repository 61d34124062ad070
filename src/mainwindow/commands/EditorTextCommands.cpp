// Commands of text operations on the editor's selection and listings into it, and the
// date and number sets that ask for a range and make one note per day or number.
#include <QCoreApplication>
#include <algorithm>

#include "mainwindow/commands/Commands.h"
#include "mainwindow/commands/NoteMaker.h"
#include "model/Prompter.h"
#include "model/lineops.h"
#include "model/records/MemoFile.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"

namespace wux {

namespace {

// Series larger than this are made only after the user agrees.
constexpr long long kAskAboveNotes = 10000;

TFrameMemoNode* editor(MainWindowApi& w) {
  TFrameMemoHolder* frame = w.getHolderFrame();
  return frame ? frame->FrameMemoNode1() : nullptr;
}

// What the commands that change the editor's text need: the interface, the notebook and
// the note writable (the editor's text is the note's next commit), and, where marked,
// no operation running.
constexpr Needs kEdits = Needs{}.uiWritable().holderWritable().noteWritable();
constexpr Needs kEditsWhenIdle = Needs::changesNote();
// The date and number sets make notes: the interface and the notebook writable.
constexpr Needs kSets = Needs{}.uiWritable().holderWritable();

// A forwarding command: -8 without the editor, else the operation on it.
template <class Op>
CommandFn forward(MainWindowApi& w, Op op) {
  return [&w, op](const CommandArgs&) {
    TFrameMemoNode* e = editor(w);
    if (!e) return static_cast<int>(kResultUIReadOnly);
    op(*e);
    return 0;
  };
}

int toResult(long long n) {
  return n > 2147483647LL ? 2147483647 : static_cast<int>(n);
}

// Lines made by a listing replace the editor's selection, joined by CR LF.
void putLines(TFrameMemoNode& e, const StringList& lines) { e.replaceActiveMemoSel_(lines.join("\r\n")); }

int addHead(MainWindowApi& w, const std::string& head) {
  TFrameMemoNode* e = editor(w);
  if (!e) return kResultUIReadOnly;
  e->addHeadEachLine_(head);
  return 0;
}

int addTail(MainWindowApi& w, const std::string& tail) {
  TFrameMemoNode* e = editor(w);
  if (!e) return kResultUIReadOnly;
  e->addTailEachLine_(tail);
  return 0;
}

// Head or tail with a typed text.
int addAny(MainWindowApi& w, bool head) {
  TFrameMemoNode* e = editor(w);
  if (!e) return kResultOpenRefused;
  std::string word;
  const bool answered = prompter().inputBox(head ? "Add Head Each Line" : "Add Tail Each Line", "Word", word);
  if (!answered || word.empty()) {
    w.messageDoing_(head ? "Cancel: Add Head Any" : "Cancel: Add Tail Any");
    return kResultFailed;
  }
  const int n = head ? e->addHeadEachLine_(word) : e->addTailEachLine_(word);
  w.messageDoing_((head ? "UIAddHeadAny " : "UIAddTailAny ") + word);
  return n;
}

int setNumberSel(MainWindowApi& w, const std::string& format) {
  TFrameMemoNode* e = editor(w);
  if (!e) return kResultUIReadOnly;
  const int n = e->setNumberSel_(format);
  if (n < 0) {
    w.messageDoing_("Stop: UISetNumberSEL_ Format=" + format + " is not a number format");
    return kResultFailed;
  }
  w.messageDoing_("Done: UISetNumberSEL_ Format=" + format + " Count Of Line=" + std::to_string(n));
  return n;
}

int setNumberSelAuto(MainWindowApi& w) {
  TFrameMemoNode* e = editor(w);
  if (!e) return kResultUIReadOnly;
  StringList lines;
  lines.setText(e->activeSelText_());
  return setNumberSel(w, AutoNumberFormat(lines.count()));
}

int countWord(MainWindowApi& w) {
  TFrameMemoNode* e = editor(w);
  if (!e) return kResultUIReadOnly;
  std::string answer = e->activeSelText_();
  if (!prompter().inputBox("", "", answer)) return kResultFailed;
  const std::string word = sjis::trim(answer);
  if (word.empty()) return kResultFailed;
  BusyScope busy(w, "Count Words");
  const long long n = e->countWord_(word);
  busy.finish(CountWordReport(n, word));
  return toResult(n);
}

int markList(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  if (!holder) return kResultUIReadOnly;
  TFrameMemoNode* e = editor(w);
  if (!e) return kResultHolderReadOnly;
  BusyScope busy(w, "UIMarkList2Sel " + holder->name());
  StringList names;
  holder->getMarkedList_(names);
  putLines(*e, names);
  return 0;
}

int holderList(MainWindowApi& w) {
  MemoFileUI* doc = w.getMemoFile();
  TFrameMemoNode* e = editor(w);
  if (!doc || !e) return kResultNoDocument;
  BusyScope busy(w, "UIHolderList2Sel");
  StringList names;
  doc->getHolderList_(names);
  putLines(*e, names);
  return 0;
}

int fieldsList(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  TFrameMemoNode* e = editor(w);
  if (!holder || !e) return kResultFailed;
  BusyScope busy(w, "UIFieldsList2Sel");
  w.UI2Model();
  StringList names;
  holder->getFieldNames_(names);
  putLines(*e, names);
  return names.count();
}

int fileMXA(MainWindowApi& w) {
  MemoFileUI* doc = w.getMemoFile();
  TFrameMemoNode* e = editor(w);
  if (!doc || !w.getCurrentHolder() || !e) return kResultFailed;
  BusyScope busy(w, "UIFileMXA2Sel");
  w.UI2Model();
  StringList lines;
  doc->saveToTSL_(lines);
  putLines(*e, lines);
  return 0;
}

int csvText(MainWindowApi& w) {
  MemoHolderUI* holder = w.getCurrentHolder();
  TFrameMemoNode* e = editor(w);
  if (!holder || !e) return kResultFailed;
  BusyScope busy(w, "CSV");
  w.UI2Model();
  StringList lines;
  holder->makeCSVText_(lines);
  putLines(*e, lines);
  return lines.count();
}

int nameValueList(MainWindowApi& w, bool valueFirst) {
  MemoHolderUI* holder = w.getCurrentHolder();
  TFrameMemoNode* e = editor(w);
  if (!holder || !e) return kResultFailed;
  w.UI2Model();
  std::string answer;
  if (!prompter().inputBox("Input the name of Field.", "Field's Name", answer)) return kResultFailed;
  const std::string field = sjis::trim(answer);
  if (field.empty()) return kResultFailed;
  BusyScope busy(w, "Make List Name, Field Value");
  StringList lines;
  NameValueListing(*holder, field, valueFirst, w.getDateFormat(), lines);
  putLines(*e, lines);
  return 0;
}

int checkHolderFiles(MainWindowApi& w) {
  MemoFileUI* doc = w.getMemoFile();
  TFrameMemoNode* e = editor(w);
  if (!doc || !e) return kResultFailed;
  BusyScope busy(w, "checkHolderFiles");
  StringList lines;
  bool abort = false;
  // The Break button is read between folders; the listing keeps the window alive.
  const MessagePump pump = [&w, &abort] {
    QCoreApplication::processEvents();
    abort = w.isBreak();
  };
  CheckHolderFilesListing(*doc, lines, abort, pump);
  putLines(*e, lines);
  return 0;
}

// ---- date and number sets ----

// The decimal number at the start of a trimmed answer; 0 without leading digits.
long long leadingNumber(std::string_view text) {
  long long n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    if (n > 99999999999999999LL) return -1;  // far beyond any year or note count
    n = n * 10 + (c - '0');
  }
  return n;
}

// Asks one value; false when cancelled or empty.
bool ask(const std::string& caption, const std::string& prompt, const std::string& initial, std::string& out) {
  std::string answer = initial;
  if (!prompter().inputBox(caption, prompt, answer)) return false;
  out = sjis::trim(answer);
  return !out.empty();
}

int listYear(MainWindowApi& w) {
  std::string answer;
  if (!ask("Year", "Year", FormatDateTime("YYYY", Now()), answer)) return kResultFailed;
  const long long year = leadingNumber(answer);
  if (year < 1 || year > 9999) {
    w.messageDoing_("Stop: Year " + answer + " is not a year from 1 to 9999");
    return kResultFailed;
  }
  return newNodesYear(w, year);
}

int listMonth(MainWindowApi& w) {
  std::string answer;
  if (!ask("Month", "Month", FormatDateTime("YYYYMM", Now()), answer)) return kResultFailed;
  const long long year = leadingNumber(answer.substr(0, 4));
  const long long month = answer.size() > 4 ? leadingNumber(answer.substr(4, 2)) : 0;
  if (year < 1 || year > 9999 || month < 1 || month > 12) {
    w.messageDoing_("Stop: Month " + answer + " is not a month YYYYMM");
    return kResultFailed;
  }
  return newNodesMonth(w, year, month);
}

int listMonthNext(MainWindowApi& w) {
  const DateTime now = Now();
  return now.month == 12 ? newNodesMonth(w, now.year + 1, 1) : newNodesMonth(w, now.year, now.month + 1);
}

int listNumbers(MainWindowApi& w, long long from, long long to) {
  if (from > to) std::swap(from, to);
  const long long count = to - from + 1;
  if (count > kAskAboveNotes &&
      prompter().messageBox("Make " + std::to_string(count) + " notes?", "Numbers", Buttons::YesNo) != Answer::Yes)
    return kResultFailed;
  return newNodesNumber(w, from, to);
}

int listNumbersAsked(MainWindowApi& w) {
  std::string begin, end;
  if (!ask("Begin Number", "Begin Number", "1", begin)) return kResultFailed;
  if (!ask("End Number", "End Number", "200", end)) return kResultFailed;
  const long long from = leadingNumber(begin), to = leadingNumber(end);
  if (from < 0 || to < 0) {
    w.messageDoing_("Stop: Numbers " + begin + " " + end + " are too large");
    return kResultFailed;
  }
  return listNumbers(w, from, to);
}

}  // namespace

void registerEditorTextCommands(CommandTable& table, MainWindowApi& w) {
  // Forwarding to the editor's operations.
  table.add("UIAddHeadSEL", kEditsWhenIdle, [&w](const CommandArgs& a) { return addHead(w, commandArg(a, 0)); });
  table.add("UIAddHeadQuote", kEditsWhenIdle, [&w] { return addHead(w, ">"); });
  table.add("UIAddHeadSpace", kEditsWhenIdle, [&w] { return addHead(w, " "); });
  table.add("UIAddTailSEL", kEditsWhenIdle, [&w](const CommandArgs& a) { return addTail(w, commandArg(a, 0)); });
  table.add("UIAddHeadAny", Needs::changesNote(kResultOpenRefused), [&w] { return addAny(w, true); });
  table.add("UIAddTailAny", Needs::changesNote(kResultOpenRefused), [&w] { return addAny(w, false); });
  table.add("UIDelHeadSEL", kEditsWhenIdle, forward(w, [](TFrameMemoNode& e) { e.cutHeadCharSel_(); }));
  table.add("UIRemoveEmptyLineSEL", kEditsWhenIdle, forward(w, [](TFrameMemoNode& e) { e.deleteEmptyLinesSel_(); }));
  table.add("UISortSEL", kEditsWhenIdle, forward(w, [](TFrameMemoNode& e) { e.sortSel_(); }));
  table.add("UIReverseSEL", kEditsWhenIdle, forward(w, [](TFrameMemoNode& e) { e.reverseSel_(); }));
  // The count is in the status line; scripts are told done (0) or refused.
  table.add("UISetNumberSEL_", kEditsWhenIdle, [&w](const CommandArgs& a) { return std::min(setNumberSel(w, commandArg(a, 0)), 0); });
  table.add("UISetNumberSELAuto", kEditsWhenIdle, [&w] { return setNumberSelAuto(w); });
  table.add("UIOneLine", kEdits, forward(w, [](TFrameMemoNode& e) { e.joinLinesSel_(); }));
  table.add("UISortLines", kEdits, forward(w, [](TFrameMemoNode& e) { e.sortLines_(); }));
  table.add("UINumberLines", kEdits, forward(w, [](TFrameMemoNode& e) { e.numberLines_(); }));
  table.add("UINoDup", kEdits, forward(w, [](TFrameMemoNode& e) { e.sortUniqueLines_(); }));
  table.add("UIMarkDup", kEdits, forward(w, [](TFrameMemoNode& e) { e.markDuplicateLines_(); }));
  table.add("UICommaLF", kEdits, forward(w, [](TFrameMemoNode& e) { e.splitCommaSel_(); }));
  table.add("UIAddName", kEdits, forward(w, [](TFrameMemoNode& e) { e.addNameSel_(); }));
  table.add("UIReplaceName", kEdits, forward(w, [](TFrameMemoNode& e) { e.replaceNameSel_(); }));
  table.add("UIAddNamePlus", kEditsWhenIdle, [&w](const CommandArgs&) {
    TFrameMemoNode* e = editor(w);
    if (!e) return static_cast<int>(kResultUIReadOnly);
    e->addNamePlusSel_();
    return 0;
  });
  table.add("trimLinesSel", kEdits, [&w] {
    TFrameMemoNode* e = editor(w);
    if (!e) return static_cast<int>(kResultFailed);
    e->trimLinesSel_();
    return 0;
  });
  table.add("clearMemo", kEdits, forward(w, [](TFrameMemoNode& e) { e.clearMemo_(); }));
  table.add("convertCRTagSel", kEdits, forward(w, [](TFrameMemoNode& e) { e.convertCRTagSel_(); }));
  table.add("UINodesList2SEL", kEdits, [&w] {
    TFrameMemoHolder* frame = w.getHolderFrame();
    if (!frame) return static_cast<int>(kResultNoDocument);
    frame->pasteNodeList_();
    return 0;
  });
  table.add("UICountWord", [&w] { return countWord(w); });

  // Listings into the editor.
  table.add("UIMarkList2Sel", kEdits, [&w] { return markList(w); });
  table.add("UIHolderList2Sel", kEditsWhenIdle, [&w] { return holderList(w); });
  table.add("UIFieldsList2Sel", kEditsWhenIdle, [&w] { return fieldsList(w); });
  table.add("UIFileMXA2Sel", kEditsWhenIdle, [&w] { return fileMXA(w); });
  table.add("UICSV2Sel", kEditsWhenIdle, [&w] { return csvText(w); });
  // "Name,Value" passes nothing (or "false"); "Value,Name" passes "true".
  table.add("UIMakeListNameValue", kEditsWhenIdle, [&w](const CommandArgs& a) {
    const std::string flag = sjis::lower(commandArg(a, 0));
    return nameValueList(w, flag == "true" || flag == "1");
  });
  table.add("checkHolderFiles", kEditsWhenIdle, [&w] { return checkHolderFiles(w); });

  // Date and number sets.
  table.add("UIListYear", kSets, [&w] { return listYear(w); });
  table.add("UIListYearNext", kSets, [&w] { return newNodesYear(w, Now().year + 1); });
  table.add("UIListMonth", kSets, [&w] { return listMonth(w); });
  table.add("UIListMonthThis", kSets, [&w] { return newNodesMonth(w, Now().year, Now().month); });
  table.add("UIListMonthNext", kSets, [&w] { return listMonthNext(w); });
  table.add("UIListWeekThis", kSets, [&w] { return newNodesWeek(w, Now()); });
  table.add("UIListWeekNext", kSets, [&w] { return newNodesWeek(w, AddDays(Now(), 7)); });
  table.add("UIListWeekPrev", kSets, [&w] { return newNodesWeek(w, AddDays(Now(), -7)); });
  table.add("UIListNumbers", kSets, [&w] { return listNumbersAsked(w); });
  table.add("UIListNumbers1To10", kSets, [&w] { return listNumbers(w, 1, 10); });
  table.add("UIListNumbers1To100", kSets, [&w] { return listNumbers(w, 1, 100); });
  table.add("UIListNumbersPlus10", kSets, [&w] {
    MemoHolderUI* holder = w.getCurrentHolder();
    if (!holder) return static_cast<int>(kResultNoDocument);
    const long long n = holder->getNodeCount_();
    return listNumbers(w, n, n + 10);
  });
}

}  // namespace wux
