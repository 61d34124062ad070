// A notebook file is read by the notebook reader, which marks each plain "<BR/>" instead
// of making an element of it and frees every note's part of the tree once read; the tag
// viewer reads the same text as a whole tree. A notebook read from that whole tree must
// come out the same, whatever form its line breaks take.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/records/MemoHolder.h"
#include "model/records/RecordFiles.h"
#include "model/tagtree.h"
#include "platform/files.h"
#include "platform/textconv.h"
#include "records_support.h"

using namespace wux;
using namespace wux::testing;

namespace {

// Reads `text` both ways; the notes of the notebook reader, or "failed" when it could
// not read the file, which the whole tree must then fail to parse as well.
std::string readBothWays(const std::string& text) {
  TempDir dir;
  const std::string path = dir.str("b.mxh");
  EXPECT_TRUE(platform::writeFileAtomic(path, text));
  std::unique_ptr<MemoHolder> streamed(Create<MemoHolder>(nullptr));
  StringList messages;
  const int r = ReadHolderFile(*streamed, path, messages);

  TTAGNode root;
  StringList errors;
  const int parsed = TTAGNode::ParseXmlText(&root, std::string_view(text), errors);
  std::unique_ptr<MemoHolder> whole(Create<MemoHolder>(nullptr));
  if (parsed == 0) {
    TTAGNode* holder = TTAGNode::FindChildTag(&root, "Holder");
    EXPECT_NE(holder, nullptr);
    if (holder) whole->_readTAG_(holder);
  } else {
    EXPECT_EQ(r, -1) << text;
    EXPECT_EQ(streamed->getNodeCount_(), 0) << text;
    return "failed";
  }
  EXPECT_EQ(describeNotes(*streamed), describeNotes(*whole)) << text;
  return describeNotes(*streamed);
}

std::string notebook(const std::string& brk) {
  return "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n<Holder name=\"h\">\r\n"
         "  <Record name=\"a\">\r\n    <Field x=\"1\" />\r\n"
         "one" + brk + "two &amp; " + sj("本") + brk + "three<BR/>\r\n"
         "    <Comment>\r\nc1" + brk + "c2<BR/>\r\n    </Comment>\r\n"
         "  </Record>\r\n"
         "tail" + brk + "\r\n"
         "  <Record name=\"b\">\r\n<BR/>\r\nx" + brk + "\r\n  </Record>\r\n"
         "</Holder>\r\n";
}

}  // namespace

TEST(NotebookReaders, EveryFormOfLineBreakReadsTheSameBothWays) {
  const std::string forms[] = {
      "<BR/>",        "<BR/>\r\n",      "<BR/>\n",      "<BR/>\r",        "\r\n<BR/>\r\n", "<BR />",
      " <BR /> ",     "<BR\r\n/>",      "<BR\t/>",      "< BR/>",         "<br/>",         "<Br/>",
      "<BR a=\"1\"/>", "<BR/><BR/>",    "<BR></BR>",    "&lt;BR/&gt;",    "<X><BR/></X>",  "<!-- <BR/> -->",
      "<BR/ >",       "<BR>",           "<BR/",         "<BR//>",         "<BR/>>",        "<<BR/>",
  };
  for (const auto& brk : forms) readBothWays(notebook(brk));

  // The common forms break the line; the same letters in lower case or escaped do not.
  const std::string expected = platform::sjisToUtf8(
      "note a\n  field x=\"1\"\n  text  one\n  text  two & " + sj("本") +
      "\n  text  three\n  text  tail\n  note  c1\n  note  c2\nnote b\n  text  \n  text  x\n");
  EXPECT_EQ(readBothWays(notebook("<BR/>")), expected);
  EXPECT_EQ(readBothWays(notebook("<BR />\r\n")), expected);
  EXPECT_NE(readBothWays(notebook("<br/>")).find("text  onetwo & "), std::string::npos);
  EXPECT_NE(readBothWays(notebook("&lt;BR/&gt;")).find("text  one<BR/>two"), std::string::npos);
  EXPECT_EQ(readBothWays(notebook("<BR>")), "failed");
}
