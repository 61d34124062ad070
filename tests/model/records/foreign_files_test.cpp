// A notebook file under a notebook's name that the notebook never read nor wrote belongs,
// as far as it knows, to another document ("new" is every new notebook's name): it is
// written over only when the caller's question agrees.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/records/MemoFile.h"
#include "model/records/RecordFiles.h"
#include "platform/files.h"
#include "records_support.h"

using namespace wux;
using namespace wux::testing;

TEST(ForeignNotebookFiles, ANotebookAsksBeforeWritingOverAFileItDidNotComeFrom) {
  FixedWorld world;
  TempDir dir;
  const std::string theirs = dir.dir() + "new.mxh";
  ASSERT_TRUE(platform::writeFileAtomic(theirs, "their notebook"));
  auto doc = newDoc(dir.dir() + "Doc.mxa");
  MemoHolder* mine = addBook(*doc, "new");
  addNote(*mine, "n", "mine\r\n");
  ASSERT_EQ(mine->getFileName_(), theirs);

  // Nobody to ask: not written, and the reason names the file.
  std::string error;
  EXPECT_EQ(mine->saveToFile_(theirs, &error), -1);
  EXPECT_EQ(error, "A file named " + theirs + " already exists, and this document did not write it. Not saved over it.");
  EXPECT_EQ(slurp(theirs), "their notebook");
  std::vector<std::string> asked;
  auto answer = [&asked](bool yes) {
    return [&asked, yes](const std::string& path) {
      asked.push_back(path);
      return yes;
    };
  };
  EXPECT_EQ(mine->saveToFile_(theirs, &error, {}, answer(false)), -1);
  EXPECT_EQ(slurp(theirs), "their notebook");
  // Another name chosen in a dialog is not this question's business.
  EXPECT_GT(mine->saveToFile_(dir.dir() + "copy.mxh", &error), 0);

  // Yes writes it; from then on the file is the notebook's own and nobody is asked.
  EXPECT_GT(mine->saveToFile_(theirs, &error, {}, answer(true)), 0);
  EXPECT_NE(slurp(theirs).find("mine"), std::string::npos);
  EXPECT_GT(mine->saveToFile_(theirs, &error, {}, answer(false)), 0);
  EXPECT_EQ(asked, (std::vector<std::string>{theirs, theirs}));

  // Renamed onto another existing file: asked again.
  ASSERT_TRUE(platform::writeFileAtomic(dir.dir() + "Diary.mxh", "another notebook"));
  std::string actual;
  mine->putName_("Diary", actual);
  EXPECT_EQ(mine->saveToFile_(mine->getFileName_(), &error), -1);
  EXPECT_EQ(slurp(dir.dir() + "Diary.mxh"), "another notebook");
}

TEST(ForeignNotebookFiles, NotebooksReadFromTheirFilesSaveWithoutAQuestion) {
  FixedWorld world;
  TempDir dir;
  const std::string path = dir.dir() + "Doc.mxa";
  {
    auto doc = newDoc(path);
    addNote(*addBook(*doc, "Book"), "n", "first\r\n");
    SaveReport report;
    ASSERT_TRUE(SaveDocumentAndHolders(*doc, path, false, report)) << report.messages.text();
  }
  // Read on demand, then saved by the save of every modified notebook.
  auto doc = newDoc(path);
  StringList messages;
  ASSERT_EQ(ReadDocumentFile(*doc, path, messages), 0);
  MemoHolder* book = doc->getHolder_(0);
  ASSERT_EQ(LoadHolder(*book, messages), 0);
  book->modified = true;
  std::string error;
  EXPECT_GT(book->saveToFile_(book->getFileName_(), &error), 0) << error;

  // A fresh document that never read Book.mxh does not write over it: neither the
  // whole-document save nor a save into that folder.
  auto other = newDoc(dir.dir() + "Other.mxa");
  addNote(*addBook(*other, "Book"), "n", "other\r\n");
  const std::string before = slurp(dir.dir() + "Book.mxh");
  SaveReport report;
  EXPECT_FALSE(SaveDocumentAndHolders(*other, dir.dir() + "Other.mxa", false, report));
  EXPECT_EQ(slurp(dir.dir() + "Book.mxh"), before);
  EXPECT_FALSE(platform::fileExists(dir.dir() + "Other.mxa"));
  SaveReport agreed;
  EXPECT_TRUE(SaveDocumentAndHolders(*other, dir.dir() + "Other.mxa", false, agreed,
                                     [](const std::string&) { return true; }));
  EXPECT_NE(slurp(dir.dir() + "Book.mxh").find("other"), std::string::npos);
}
