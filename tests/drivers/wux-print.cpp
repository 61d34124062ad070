// wux-print [--Name=Value ...] IN OUT.pdf
// Reads IN as Shift_JIS lines, sets each named print setting (--ColumnCount=3,
// --LineNumber=true, --Header=X%pY, --Font.Name=IPAGothic, ...), prints to OUT as a PDF
// on the offscreen platform and writes the number of pages printed to standard output.
// Exit 0 on success, 1 with a one-line message on standard error on failure.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/text/StringList.h"
#include "platform/files.h"
#include "platform/textconv.h"
#include "printing/StringsPrinter.h"

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "wux-print: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  wux::TStringsPrinter printer;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) {
      files.push_back(arg);
      continue;
    }
    std::size_t eq = arg.find('=');
    if (eq == std::string::npos) return fail("expected --Name=Value: " + arg);
    std::string error;
    if (!printer.setByName(arg.substr(2, eq - 2), wux::platform::utf8ToSjis(arg.substr(eq + 1)), &error))
      return fail(error);
  }
  if (files.size() != 2) return fail("usage: wux-print [--Name=Value ...] IN OUT.pdf");
  std::string text;
  if (!wux::platform::readFile(files[0], text)) return fail("cannot read " + files[0]);
  wux::StringList lines;
  lines.setText(text);
  printer.setShowProgress(false);
  printer.setPdfOutput(files[1]);
  if (!printer.Print(lines)) return fail(printer.lastError());
  std::printf("%d\n", printer.printedPageCount());
  return 0;
}
