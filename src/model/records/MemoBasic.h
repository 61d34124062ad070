#pragma once
// The record shared by documents, notebooks and notes: body lines, an optional comment,
// name="value" fields and an optional content part. Field values are stored with their
// double quotes; names match without regard to letter case; an absent field and an
// empty one both read as "".
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/content.h"
#include "model/objects.h"
#include "model/strutil.h"
#include "model/text/StringList.h"
#include "platform/textconv.h"

namespace wux {

class TTAGNode;
namespace sjis {
class Finder;
}

class MemoBasic : public TObjectNamed {
 public:
  explicit MemoBasic(TObjectNamed* owner = nullptr);
  ~MemoBasic() override;

  int clear_() override;
  TObjectNamed* deepCopy() const override;
  void copyFrom_(const TObjectNamed& source) override;

  // ---- parts
  StringList& body() { return *body_; }
  const StringList& body() const { return *body_; }
  StringList* comment() const { return comment_.get(); }
  StringList& ensureComment();
  StringList* fieldList() const { return fields_.get(); }
  TContent* content() const { return content_.get(); }
  TContent& ensureContent();
  void freeContent();

  // ---- fields
  int getIndexField_(const std::string& name) const;
  std::string getField_(const std::string& name) const;
  int putField_(const std::string& name, const std::string& value);
  std::string removeField_(const std::string& name);
  virtual bool isReadOnly_();
  void putReadOnly_(bool flag);
  std::string newUID_();
  virtual Color getColor_();
  virtual std::string getTempDir_();

  // ---- content
  int buildContent_();
  long long putContentStream_(const std::string& data, const std::string& contentType,
                              const std::string& encoding);
  long long putContentFile_(const std::string& fileName, const std::string& contentType,
                            const std::string& encoding);
  void putContentHeader_(const std::string& fileName, const std::string& contentType,
                         const std::string& encoding);
  // Loads by the extension table; hands back the content type and encoding chosen. A
  // text file in UTF-8 becomes Shift_JIS text and the field Charset="UTF-8", so the text
  // goes back to its file as UTF-8.
  long long loadContentFile_(const std::string& fileName, std::string& contentType, std::string& encoding);
  // The characters Shift_JIS could not hold when the text was last read from its UTF-8
  // file (each became "?"), and that file. Writing the text over that file asks first.
  const std::vector<char32_t>& lostOnLoad() const { return lostOnLoad_; }
  const std::string& lostFrom() const { return lostFrom_; }
  // Whether the record changed since a file was last read into it: a text whose lines
  // differ from the lines read, content whose bytes differ. A record never read counts
  // as changed.
  bool changedSinceRead_() const;
  // The result of the extension table, -1 (no such file; a "file:" address, which
  // answers kNotImplementedSource as its reason) or -2 (failed download), with the
  // reason in `error`.
  virtual long long importContent_(const std::string& source, const std::string& name,
                                   std::string* error = nullptr);
  long long newBlankImage_();
  // Bytes or characters written, or a failure value (-1, -2) with the reason in `error`.
  virtual long long exportContent_(const std::string& fileName, std::string* error = nullptr);
  // The page a URL note exports: a link to its address.
  void writeLinkPage_(StringList& lines);

  // ---- search
  bool match_(const std::string& pattern, bool ignoreCase, bool inName, bool inBody, bool inComment,
              bool inFields);
  bool replace_(const std::string& find, const std::string& replacement, StringList& log, bool inName,
                bool inBody, bool inComment, bool inFields, bool ignoreCase);
  bool grep_(const std::string& pattern, bool ignoreCase, StringList& out, bool inName, bool inBody,
             bool inComment, bool inFields);
  // match_ without the name, the keyword prepared once for the many notes of a search.
  bool matchParts_(const sjis::Finder& finder, bool inBody, bool inComment, bool inFields) const;
  // The words before a line grep_ finds, written at `out` (the end is returned): `part`
  // ("Memo:", "Comment:", "Fields:"), the hit's number in six digits, ":", the line's
  // number seven wide, ": ".
  static char* putGrepWords(char* out, std::string_view part, int hit, int lineNo);
  // What replace_ logs for a changed line: `what` ("replace Memo ", "replace Comment ",
  // "replace Field ") and the line's number in six digits.
  static char* putReplaceWords(char* out, std::string_view what, int lineNo);
  // Room putGrepWords and putReplaceWords take beyond their part, at most.
  static constexpr std::size_t kWordsRoom = 24;
  // Replaces every match in each line of `list` (none when null); `changed` hears the
  // index of each line that came out different.
  static void replaceInLines(StringList* list, const sjis::Finder& finder, const std::string& replacement,
                             const std::function<void(int)>& changed);

  // ---- XML-like pieces of every file
  virtual int _writeTSL_deep_(StringList& lines, const std::string& indent);
  virtual int _readTAG_(TTAGNode* element);
  int _writeTSLComment_(StringList& lines, const std::string& indent);
  static int _writeTSLFieldList_(const StringList* fields, StringList& lines, const std::string& indent);
  int _writeTSLFields_(StringList& lines, const std::string& indent);
  int _writeTSLBody_(StringList& lines);
  void _readTAGFields_(TTAGNode* element);
  void _readTAGComment_(TTAGNode* element);

  // The same pieces appended to one text (every line ended by CR LF): the file writers
  // build whole files this way. In the field element the line at `skipIndex` is left
  // out and the value of the line at `overrideIndex` replaced (-1: none).
  static int writeFieldElement_(const StringList* fields, std::string& out, std::string_view indent,
                                int skipIndex = -1, int overrideIndex = -1, std::string_view overrideValue = {});
  int writeCommentText_(std::string& out, std::string_view indent);
  int writeBodyText_(std::string& out);
  // Appends `s` with "&", "<", ">" and the double quote escaped.
  static void appendEscaped(std::string& out, std::string_view s);
  // Appends every CR LF ended line of `text` to `lines`.
  static void appendTextLines(StringList& lines, std::string_view text);
  // Whether the element's tag name, trimmed, is `name`.
  static bool tagIs(const TTAGNode* element, std::string_view name);
  // Walks an element's lines: text pieces gather into a running line that each "BR"
  // element (or break mark) adds to `lines`; every other child element goes to
  // `onElement`. With `take` the texts are moved out of the tree, which the caller
  // frees next.
  static void readElementLines(TTAGNode* element, StringList& lines,
                               const std::function<void(TTAGNode*)>& onElement, bool take = false);
  // _readTAGFields_ and _readTAGComment_; with `take` they may move out of the element.
  void readFields(TTAGNode* element, bool take);
  void readComment(TTAGNode* element, bool take);

  // A field name as it may stand in a file: blanks, control characters, quotes, "<" and
  // ">" become "_".
  static std::string safeFieldName(const std::string& name);
  // A field name a person typed, trimmed of blanks. `error` tells why it cannot name a
  // field ("" when it can): it is empty, or holds "=" or a byte a file cannot keep in a
  // name (a blank, a control character, a quote, "<", ">").
  static std::string typedFieldName(const std::string& typed, std::string& error);

 protected:
  std::unique_ptr<StringList> body_;
  std::unique_ptr<StringList> comment_;
  std::unique_ptr<StringList> fields_;
  std::unique_ptr<TContent> content_;
  std::vector<char32_t> lostOnLoad_;
  std::string lostFrom_;

 private:
  // What the last read of a file gave, and the form of that file, so that the record
  // goes back into it as it was: its line breaks and its encoding.
  struct FileRead {
    std::string file;
    platform::TextForm form;
    bool text = false;
    std::string lines;            // the body as read (text)
    std::size_t bytesHash = 0;    // the content as read (binary)
    std::size_t bytesSize = 0;
  };
  void rememberRead_(const std::string& file, const platform::TextForm* form);
  FileRead read_;
};

// Linked and imported files larger than this are not read: a file larger than memory
// would end the program. 512 MB, above the largest picture the image frame takes.
std::uint64_t LargestFileToRead();
// For tests: another limit (0 restores the default).
void SetLargestFileToReadForTests(std::uint64_t bytes);

// The reason importContent_ gives for a "file:" address; the caller shows it.
inline constexpr const char* kNotImplementedSource = "Still Not Implimented. ";
// Shows `why` in a plain box when it is that reason (the user asked for something that
// cannot be done yet); other reasons are the caller's to report. True when shown.
bool ShowNotImplementedSource(const std::string& why);

// Texts every file writer shares.
std::string QuoteValue(const std::string& bare);       // "bare" (no escaping)
std::string QuoteEscaped(const std::string& stored);   // "EscapeHTML(Dequote(stored))"

}  // namespace wux
