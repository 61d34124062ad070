// The one notebook save: two notebooks whose names end in one file, and the relative
// links of a notebook that moves to another folder.
#include <gtest/gtest.h>

#include "model/records/HolderSave.h"
#include "model/records/MemoFile.h"
#include "model/records/RecordFiles.h"
#include "model/strutil.h"
#include "platform/files.h"
#include "records_support.h"

using namespace wux;
using namespace wux::testing;

TEST(HolderSave, TwoNotebooksWhoseNamesEndInOneFileAreRefusedNamingBoth) {
  FixedWorld world;
  TempDir dir;
  auto doc = newDoc(dir.dir() + "Doc.mxa");
  addNote(*addBook(*doc, "v1.0"), "n", "first\r\n");
  MemoHolder* second = addBook(*doc, "v1.1");
  addNote(*second, "n", "second\r\n");

  std::vector<HolderSave> saves = SaveHolders({second}, {});
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].state, HolderSave::State::Refused);
  EXPECT_EQ(saves[0].why, "The notebooks \"v1.0\" and \"v1.1\" would be saved to the same file " + dir.dir() +
                              "v1.mxh. Save one of them to another file with [Holder] > SaveAs");
  EXPECT_FALSE(platform::fileExists(dir.dir() + "v1.mxh"));

  // Once one of them lives in another file, each is saved in its own.
  std::string error;
  ASSERT_GT(second->saveAsFile_(dir.dir() + "v1.1.mxh", &error), 0) << error;
  saves = SaveHolders({doc->getHolder_(0)}, {});
  EXPECT_EQ(saves[0].state, HolderSave::State::Saved) << saves[0].why;
  EXPECT_NE(fileText(dir.dir() + "v1.mxh").find("first"), std::string::npos);
}

TEST(HolderSave, SaveAsIntoAnotherFolderKeepsRelativeLinksPointingAtTheirFiles) {
  FixedWorld world;
  TempDir dir;
  auto doc = newDoc(dir.dir() + "Doc.mxa");
  MemoHolder* book = addBook(*doc, "book");
  MemoNode* picture = addNote(*book, "picture");
  picture->putField_("Filename", "\"./real.jpg\"");
  picture->putField_("FilenameLocal", "\"./other/page.html\"");
  MemoNode* plain = addNote(*book, "plain");
  plain->putField_("Filename", "\"/abs/a.txt\"");
  ASSERT_TRUE(platform::makeDirs(dir.dir() + "other/"));

  // A write that fails puts every name back.
  std::string error;
  EXPECT_LT(book->saveAsFile_(dir.dir() + "other/book.txt", &error), 0);
  EXPECT_EQ(picture->getField_("Filename"), "\"./real.jpg\"");
  EXPECT_EQ(picture->getField_("FilenameLocal"), "\"./other/page.html\"");

  ASSERT_GT(book->saveAsFile_(dir.dir() + "other/book.mxh", &error), 0) << error;
  EXPECT_EQ(picture->getField_("Filename"), QuoteValue(dir.dir() + "real.jpg"));
  EXPECT_EQ(picture->getField_("FilenameLocal"), "\"./page.html\"");
  EXPECT_EQ(plain->getField_("Filename"), "\"/abs/a.txt\"");
  EXPECT_NE(fileText(dir.dir() + "other/book.mxh").find("./page.html"), std::string::npos);

  // The document's Save As carries the notebooks of its folder, links and all.
  auto moving = newDoc(dir.dir() + "Moving.mxa");
  MemoNode* linked = addNote(*addBook(*moving, "carried"), "linked");
  linked->putField_("Filename", "\"./real.jpg\"");
  SaveReport report;
  ASSERT_TRUE(SaveDocumentAndHolders(*moving, dir.dir() + "other/Moving.mxa", false, report));
  EXPECT_EQ(linked->getField_("Filename"), QuoteValue(dir.dir() + "real.jpg"));
}
