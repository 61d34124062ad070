// A file under a notebook's name that the notebook never read nor wrote belongs, as far
// as it knows, to another document ("new" is every new notebook's name): it is written
// over only when the caller's question agrees.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "model/records/MemoFile.h"
#include "model/records/RecordFiles.h"
#include "platform/files.h"
#include "records_support.h"

using namespace wux;
using namespace wux::testing;

TEST(ForeignNotebookFiles, WrittenOverOnlyWhenTheQuestionAgrees) {
  FixedWorld world;
  TempDir dir;
  const std::string theirs = dir.dir() + "new.mxh";
  ASSERT_TRUE(platform::writeFileAtomic(theirs, "their notebook"));
  auto doc = newDoc(dir.dir() + "Doc.mxa");
  MemoHolder* mine = addBook(*doc, "new");
  addNote(*mine, "n", "mine\r\n");

  // Nobody to ask, or No: not written, and the reason names the file. The document
  // that would name it is not written either.
  std::string error;
  EXPECT_EQ(mine->saveToFile_(theirs, &error), -1);
  EXPECT_EQ(error, "A file named " + theirs + " already exists, and this document did not write it. Not saved over it.");
  SaveReport report;
  HolderSavePolicy cancel;
  cancel.foreign = [](MemoHolder&, const std::string&, std::string&) { return ForeignAnswer::Cancel; };
  EXPECT_FALSE(SaveDocumentAndHolders(*doc, dir.dir() + "Doc.mxa", false, report, cancel));
  EXPECT_EQ(fileText(theirs), "their notebook");
  EXPECT_FALSE(platform::fileExists(dir.dir() + "Doc.mxa"));

  // Yes writes it; from then on it is the notebook's own file and nobody is asked.
  int asked = 0;
  const auto yes = [&asked](const std::string&) { return ++asked > 0; };
  EXPECT_GT(mine->saveToFile_(theirs, &error, {}, yes), 0);
  EXPECT_GT(mine->saveToFile_(theirs, &error, {}, yes), 0);
  EXPECT_EQ(asked, 1);

  // A notebook read from its file is its owner as well.
  auto again = newDoc(dir.dir() + "Again.mxa");
  MemoHolder* read = addBook(*again, "new");
  StringList messages;
  ASSERT_EQ(ReadHolderFile(*read, theirs, messages), 0);
  EXPECT_GT(read->saveToFile_(theirs, &error), 0) << error;
}

// A notebook file that is a FIFO could not be read, yet nobody is asked whether to save
// over it: it is never replaced by a plain file, and the refusal says why.
TEST(ForeignNotebookFiles, AFifoIsRefusedWithoutAQuestion) {
  FixedWorld world;
  TempDir dir;
  auto doc = newDoc(dir.dir() + "Doc.mxa");
  MemoHolder* nb = addBook(*doc, "nb");
  const std::string fifo = nb->getFileName_();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
  nb->loadFailed = true;
  int asked = 0;
  const auto yes = [&asked](const std::string&) { return ++asked > 0; };
  std::string error;
  EXPECT_EQ(nb->saveToFile_(fifo, &error, yes, yes), -1);
  EXPECT_EQ(error, fifo + " is not a regular file");
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(platform::fileState(fifo), platform::FileState::Unreadable);
}
