// The print settings file and its record come from disk, and note lines reach the page
// layout unchecked: arbitrary bytes must never crash them, and their round trips hold.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/text/StringList.h"
#include "model/text/sjis.h"
#include "printing/PageLayout.h"
#include "printing/PrintSettings.h"
#include "printing/SettingsStore.h"

using namespace wux;

namespace {

struct ByteMetrics : TextMetrics {
  int lineHeight() override { return 10; }
  int averageCharWidth() override { return 7; }
  bool italic() override { return false; }
  int charWidth(std::string_view ch) override { return static_cast<unsigned char>(ch[0]) % 13; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), size);

  IniFile ini;
  ini.parse(s);
  const std::string text = ini.text();
  IniFile again;
  again.parse(text);
  if (again.text() != text) std::abort();
  ini.write("StringsPrinter1", "Property_c", "2");
  if (ini.read("stringsprinter1", "PROPERTY_C") != "2") std::abort();

  StringList lines;
  lines.setText(s);
  (void)HexLinesToStream(lines);
  StringList hex;
  StreamToHexLines(s, hex);
  if (HexLinesToStream(hex) != s) std::abort();

  StringsPrinterProperties props;
  const std::string before = props.serialize();
  if (props.deserialize(s)) {
    const std::string saved = props.serialize();
    StringsPrinterProperties copy;
    if (!copy.deserialize(saved) || copy.serialize() != saved) std::abort();
  } else if (props.serialize() != before) {
    std::abort();
  }

  (void)FormatHeaderText(s, 7, s, DateTime{2025, 1, 2, 3, 4, 5, 6});
  ByteMetrics metrics;
  std::vector<std::string> pieces;
  const int width = size ? static_cast<int>(data[0]) - 40 : 0;
  WrapLine(metrics, s, width, size % 2 == 0, pieces);
  std::string joined;
  for (const auto& p : pieces) {
    if (p.empty() && !s.empty()) std::abort();
    joined += p;
  }
  if (joined != s) std::abort();
  return 0;
}
