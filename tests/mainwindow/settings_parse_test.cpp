// The settings file as text: keys, limits, what is ignored; the font steps and the
// start-up file's name. No window needed.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "mainwindow/Settings.h"

namespace wux {
namespace {

TEST(SettingsFile, ValuesAndTheirLimits) {
  const AppSettings s = ParseAppSettings(
      "FontSize=3\r\nFormWidth=100\r\nFormHeight= 700 \r\nFormTop=-20\r\nFormLeft=\"40\"\r\n"
      "AutoSaveTime=12abc\r\nBufferSize=99999999\r\nPeriodShowAbout=400\r\nFontName=\"IPAGothic\"\r\n"
      "TempDir= \"/tmp/x y/\" \r\nDefaultOpenFile=notes\r\nModeCommentHeight=Open\r\n");
  EXPECT_EQ(s.fontSize, 5);
  EXPECT_EQ(s.formWidth, 300);
  EXPECT_EQ(s.formHeight, 700);
  EXPECT_EQ(s.formTop, 0);
  EXPECT_EQ(s.formLeft, 40);
  EXPECT_EQ(s.autoSaveTime, 12);
  EXPECT_EQ(s.bufferSize, 2097152);
  EXPECT_EQ(s.periodShowAbout, 2000);
  EXPECT_EQ(s.fontName, "IPAGothic");
  EXPECT_EQ(s.tempDir, "/tmp/x y/");
  EXPECT_EQ(s.defaultOpenFile, "notes");
  EXPECT_TRUE(s.ignoredLines.empty());

  EXPECT_EQ(ParseAppSettings("AutoSaveTime=-5").autoSaveTime, 0);
  EXPECT_EQ(ParseAppSettings("FontSize=6").fontSize, 6);
  EXPECT_EQ(ParseAppSettings("FontSize=abc").fontSize, 5);
  EXPECT_EQ(ParseAppSettings("FormWidth=301").formWidth, 301);
  EXPECT_EQ(ParseAppSettings("FormTop=1").formTop, 1);
  EXPECT_EQ(ParseAppSettings("PeriodShowAbout=501").periodShowAbout, 501);
  // Numbers too large for an int stop at its limit; a font that large is of no use.
  EXPECT_EQ(ParseAppSettings("FormWidth=99999999999999999999").formWidth, 2147483647);
  EXPECT_EQ(ParseAppSettings("FormTop=-99999999999999999999").formTop, 0);
  EXPECT_EQ(ParseAppSettings("FontSize=100000").fontSize, kMaxFontSize);
}

TEST(SettingsFile, AbsentKeysChangeNothing) {
  const AppSettings s = ParseAppSettings("");
  EXPECT_FALSE(s.fontSize || s.formWidth || s.formHeight || s.formTop || s.formLeft || s.fontName);
  EXPECT_FALSE(s.tempDir || s.autoSaveTime || s.defaultOpenFile || s.bufferSize || s.aboutImage);
  EXPECT_FALSE(s.flagFileLock);
  EXPECT_TRUE(s.showAbout);
  EXPECT_EQ(s.periodShowAbout, 3000);
}

TEST(SettingsFile, FirstLineWinsAndAnEmptyValueIsNone) {
  AppSettings s = ParseAppSettings("fontsize=12\nFONTSIZE=20\nFormWidth=\nFormWidth=800\nFormHeight=  \n");
  EXPECT_EQ(s.fontSize, 12);
  // The first line with the key is the one read, even when it gives nothing.
  EXPECT_FALSE(s.formWidth);
  EXPECT_FALSE(s.formHeight);
  EXPECT_EQ(s.ignoredLines, (std::vector<int>{2, 4}));

  s = ParseAppSettings("[wux]\r\n\r\nColour=red\r\nno equals sign\r\nFontSize =9\r\nAutoSaveTime=90\r\n");
  EXPECT_EQ(s.autoSaveTime, 90);
  EXPECT_FALSE(s.fontSize);  // "FontSize " is not the key
  EXPECT_EQ(s.ignoredLines, (std::vector<int>{1, 3, 4, 5}));
}

TEST(SettingsFile, FlagsCompareWithTheirQuotes) {
  EXPECT_FALSE(ParseAppSettings("FlagFileLock=true").flagFileLock);
  EXPECT_TRUE(ParseAppSettings("FlagFileLock=\"true\"").flagFileLock);
  EXPECT_FALSE(ParseAppSettings("FlagFileLock= \"true\"").flagFileLock);  // read as written
  EXPECT_FALSE(ParseAppSettings("FlagFileLock=\"TRUE\"").flagFileLock);

  EXPECT_FALSE(ParseAppSettings("FlagShowAbout=true").showAbout);
  EXPECT_FALSE(ParseAppSettings("FlagShowAbout=\"false\"").showAbout);
  EXPECT_TRUE(ParseAppSettings("FlagShowAbout= \"true\" ").showAbout);
  EXPECT_TRUE(ParseAppSettings("FlagShowAbout=").showAbout);
}

TEST(SettingsFile, RandomBytesNeverBreakTheReader) {
  std::mt19937 gen(20240506);
  const std::string alphabet = "=\"\r\n -0123456789FontSizeFormWidthTopAutoSaveTimeFlag\x82\xa0\x81";
  for (int round = 0; round < 400; ++round) {
    std::string text(gen() % 400, '\0');
    for (char& c : text) c = round % 2 ? static_cast<char>(gen()) : alphabet[gen() % alphabet.size()];
    const AppSettings s = ParseAppSettings(text);
    EXPECT_TRUE(s.fontSize.value_or(kMinFontSize) >= kMinFontSize && s.fontSize.value_or(0) <= kMaxFontSize);
    EXPECT_GE(s.formWidth.value_or(300), 300);
    EXPECT_GE(s.formHeight.value_or(300), 300);
    EXPECT_GE(s.formTop.value_or(0), 0);
    EXPECT_GE(s.formLeft.value_or(0), 0);
    EXPECT_GE(s.autoSaveTime.value_or(0), 0);
    EXPECT_LE(s.bufferSize.value_or(0), 2097152);
    EXPECT_GE(s.periodShowAbout, 501);
  }
}

TEST(FontSteps, RoundHalvesToEvenAndStopAtFive) {
  EXPECT_EQ(FontSizeStep(25, true), 27);  // 2.5 rounds to 2
  EXPECT_EQ(FontSizeStep(15, true), 17);  // 1.5 rounds to 2
  EXPECT_EQ(FontSizeStep(9, true), 10);
  EXPECT_EQ(FontSizeStep(9, false), 8);
  EXPECT_EQ(FontSizeStep(5, false), 5);
  EXPECT_EQ(FontSizeStep(10, false), 9);
  EXPECT_EQ(FontSizeStep(35, false), 31);  // 3.5 rounds to 4
  EXPECT_EQ(FontSizeStep(kMaxFontSize, true), kMaxFontSize);
}

TEST(StartupFile, NamesTakenFromTheCurrentFolder) {
  std::set<std::string> files;
  auto exists = [&](const std::string& f) { return files.count(f) != 0; };
  EXPECT_EQ(DefaultFilename("", "/w/", exists), "/w/noname.mxa");
  EXPECT_EQ(DefaultFilename("  notes.MXA ", "/w/", exists), "/w/notes.MXA");
  EXPECT_EQ(DefaultFilename("/d/notes.maz", "/w/", exists), "/d/notes.maz");
  EXPECT_EQ(DefaultFilename("notes.txt", "/w/", exists), "/w/notes.mxa");
  files.insert("/w/notes.maz");
  EXPECT_EQ(DefaultFilename("notes.txt", "/w/", exists), "/w/notes.maz");
  EXPECT_EQ(DefaultFilename("notes", "/w/", exists), "/w/notes.maz");

  files = {"/w/x.maz"};
  EXPECT_EQ(StartupFilename(" x ", "/w/", exists), "/w/x.maz");
  files.insert("/w/x.mxa");
  EXPECT_EQ(StartupFilename("x", "/w/", exists), "/w/x.mxa");
  EXPECT_EQ(StartupFilename("y", "/w/", exists), "/w/y");
  EXPECT_EQ(StartupFilename("sub/y.txt", "/w/", exists), "sub/y.txt");
}

}  // namespace
}  // namespace wux
