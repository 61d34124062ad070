// Print settings: clamping setters, the stored record, and the INI file of hex lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "model/text/StringList.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/textconv.h"
#include "printing/PrintSettings.h"
#include "printing/SettingsStore.h"
#include "support/file_text.h"

namespace wux {
namespace {

struct TempIni {
  std::filesystem::path dir;
  std::string path;
  TempIni() {
    char tmpl[] = "/tmp/wux_print_XXXXXX";
    dir = mkdtemp(tmpl);
    path = (dir / "sub" / "wuxprint.ini").string();
  }
  ~TempIni() { std::filesystem::remove_all(dir); }
  std::string text() const { return test::fileText(path); }
  void write(const std::string& s) const {
    platform::makeDirs(platform::dirOf(path));
    ASSERT_TRUE(platform::writeFileAtomic(path, s));
  }
};

StringList iniLines(const std::string& text) {
  StringList l;
  l.setText(text);
  return l;
}

TEST(PrintSettings, SettersClampAndNamesSet) {
  StringsPrinterProperties s;
  s.setColumnCount(7);
  s.setMarginLeft(150);
  s.setMarginTop(-3);
  s.setStartPage(0);
  s.setLastLine(1000000);
  EXPECT_EQ(s.ColumnCount(), 3);
  EXPECT_EQ(s.MarginLeft(), 100);
  EXPECT_EQ(s.MarginTop(), 0);
  EXPECT_EQ(s.StartPage(), 1);
  EXPECT_EQ(s.LastLine(), 999999);

  std::string error;
  EXPECT_TRUE(s.setByName("ColumnCount", "0"));
  EXPECT_EQ(s.ColumnCount(), 1);
  EXPECT_TRUE(s.setByName("HeaderAlign", "haRight"));
  EXPECT_EQ(s.HeaderAlign(), TStringsPrinterHeaderAlign::haRight);
  EXPECT_TRUE(s.setByName("LineNumber", "true"));
  EXPECT_TRUE(s.LineNumber());
  EXPECT_FALSE(s.setByName("Colour", "red", &error));
  EXPECT_NE(error.find("Colour"), std::string::npos);
  EXPECT_FALSE(s.setByName("MarginLeft", "12mm"));
  EXPECT_FALSE(s.setByName("MarginLeft", "99999999999"));
  EXPECT_FALSE(s.setByName("PageOption", "poAll"));
  EXPECT_EQ(s.MarginLeft(), 100);
}

TEST(PrintSettings, RecordRoundTripsEverySetting) {
  StringsPrinterProperties a;
  a.setColumnCount(2);
  a.setHeader("X%pY\\" + sj("表") + "\r\nz");
  a.setHeaderAlign(TStringsPrinterHeaderAlign::haLeft);
  a.setFooter("=%F=");
  a.setFooterAlign(TStringsPrinterHeaderAlign::haCenter);
  a.setFileName("C:\\a\\b.txt");
  a.setFont(PrintFont{"IPAGothic", 12, true, true});
  a.setLineRangeOption(TStringsPrinterRangeOption::roLimited);
  a.setStartLine(10);
  a.setPageOption(TStringsPrinterPageOption::poOdd);
  a.setMarginLine(3);
  StringsPrinterProperties b;
  ASSERT_TRUE(b.deserialize(a.serialize()));
  EXPECT_EQ(b.serialize(), a.serialize());
  EXPECT_EQ(b.Header(), a.Header());
  EXPECT_EQ(b.Font(), a.Font());
}

TEST(PrintSettings, ForeignOrDamagedRecordsChangeNothing) {
  StringsPrinterProperties s;
  s.setHeader("keep");
  const std::string before = s.serialize();
  std::string error;
  for (std::string bad : {std::string("garbage"), std::string("\x00\x01\x02", 3),
                          std::string("TStringsPrinter/1\nHeader=x\nbroken line\n"),
                          std::string("TStringsPrinter/1\nColumnCount=two\n"),
                          std::string("TStringsPrinter/1\nHeader=cut")}) {
    EXPECT_FALSE(s.deserialize(bad, &error)) << bad;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(s.serialize(), before);
  }
  // A later version's settings that this one does not know are passed over.
  EXPECT_TRUE(s.deserialize("TStringsPrinter/2\nPaperTray=3\nColumnCount=9\n"));
  EXPECT_EQ(s.ColumnCount(), 3);
}

TEST(HexLines, SixtyFourUpperCaseCharactersALine) {
  std::string bytes;
  for (int i = 0; i < 70; ++i) bytes += static_cast<char>(0xF0 + i % 16);
  StringList lines;
  StreamToHexLines(bytes, lines);
  ASSERT_EQ(lines.count(), 3);
  EXPECT_EQ(lines[0].size(), 64u);
  EXPECT_EQ(lines[1].size(), 64u);
  EXPECT_EQ(lines[2], "F0F1F2F3F4F5");
  EXPECT_EQ(lines[0].substr(0, 6), "F0F1F2");
  EXPECT_EQ(HexLinesToStream(lines), bytes);
  // Odd lengths and stray characters still read without fault.
  EXPECT_EQ(HexLinesToStream(StringList{"41zz4", "a"}), std::string("A\0\x04\x0A", 4));
}

TEST(SettingsFile, LayoutIsHexLinesUnderSectionAndPrefix) {
  TempIni ini;
  StringsPrinterProperties s;
  s.setHeader("X%pY");
  s.setHeaderAlign(TStringsPrinterHeaderAlign::haRight);
  ASSERT_TRUE(SaveComponentToIni(s, ini.path, "StringsPrinter1", "Property"));
  StringList lines = iniLines(ini.text());
  ASSERT_EQ(lines[0], "[StringsPrinter1]");
  const std::string payload = s.serialize();
  const int n = static_cast<int>((payload.size() * 2 + 63) / 64);
  EXPECT_EQ(lines[1], "Property_c=" + std::to_string(n));
  ASSERT_EQ(lines.count(), n + 2);
  for (int i = 0; i < n; ++i) {
    const std::string prefix = "Property_d" + std::to_string(i) + "=";
    ASSERT_EQ(lines[i + 2].substr(0, prefix.size()), prefix);
    const std::string hex = lines[i + 2].substr(prefix.size());
    EXPECT_EQ(hex.size(), i + 1 < n ? 64u : payload.size() * 2 - 64u * (n - 1));
    EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  }
  EXPECT_NE(ini.text().find("\r\n"), std::string::npos);

  StringsPrinterProperties loaded;
  EXPECT_EQ(LoadComponentFromIni(loaded, ini.path, "stringsprinter1", "Property"), IniLoad::Loaded);
  EXPECT_EQ(loaded.Header(), "X%pY");
  EXPECT_EQ(loaded.HeaderAlign(), TStringsPrinterHeaderAlign::haRight);
}

TEST(SettingsFile, ShorterRecordRemovesStrayLinesAndKeepsTheRest) {
  TempIni ini;
  ini.write("; mine\r\n[Other]\r\nKey=1\r\n\r\n[StringsPrinter1]\r\nProperty_c=5\r\nProperty_d0=00\r\n"
            "Property_d1=00\r\nProperty_d2=00\r\nProperty_d3=00\r\nProperty_d4=00\r\nMine=2\r\n");
  ASSERT_TRUE(SaveStreamToIni(std::string(70, 'A'), ini.path, "StringsPrinter1", "Property"));
  const std::string text = ini.text();
  EXPECT_NE(text.find("Property_c=3\r\n"), std::string::npos);
  EXPECT_NE(text.find("Property_d2=414141414141\r\n"), std::string::npos);
  EXPECT_EQ(text.find("Property_d3"), std::string::npos);
  EXPECT_EQ(text.find("Property_d4"), std::string::npos);
  EXPECT_NE(text.find("; mine\r\n[Other]\r\nKey=1\r\n"), std::string::npos);
  EXPECT_NE(text.find("Mine=2"), std::string::npos);
  EXPECT_EQ(LoadStreamFromIni(ini.path, "StringsPrinter1", "Property"), std::string(70, 'A'));

  // Nothing to store removes the count as well.
  ASSERT_TRUE(SaveStreamToIni("", ini.path, "StringsPrinter1", "Property"));
  EXPECT_EQ(ini.text().find("Property_"), std::string::npos);
}

TEST(SettingsFile, MissingOrDamagedEntriesLoadNothing) {
  TempIni ini;
  StringsPrinterProperties s;
  s.setColumnCount(2);
  EXPECT_EQ(LoadComponentFromIni(s, ini.path, "StringsPrinter1", "Property"), IniLoad::Absent);
  ini.write("[StringsPrinter1]\r\nProperty_c=0\r\n");
  EXPECT_EQ(LoadComponentFromIni(s, ini.path, "StringsPrinter1", "Property"), IniLoad::Absent);
  ini.write("[StringsPrinter1]\r\nProperty_c=2\r\nProperty_d0=DEADBEEF\r\nProperty_d1=0102\r\n");
  std::string error;
  EXPECT_EQ(LoadComponentFromIni(s, ini.path, "StringsPrinter1", "Property", &error), IniLoad::Damaged);
  EXPECT_FALSE(error.empty());
  // A count far beyond the lines present reads what there is, at once.
  ini.write("[StringsPrinter1]\r\nProperty_c=2147483647\r\nProperty_d0=41\r\n");
  EXPECT_EQ(LoadStreamFromIni(ini.path, "StringsPrinter1", "Property"), "A");
  EXPECT_EQ(s.ColumnCount(), 2);
}

}  // namespace
}  // namespace wux
