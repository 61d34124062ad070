#pragma once
// The MIME part of a record: a note's binary or text payload (an image, a linked file's
// bytes, an attachment) with its content type and transfer encoding, and the sub-parts
// of a multipart message. It codes the payload as Base64 lines for the note and archive
// writers and parses whole MIME messages (the archive reader saves every part it finds).
#include <memory>
#include <string>
#include <string_view>

#include "model/objects.h"
#include "model/text/StringList.h"

namespace wux {

class TContent : public TObjectNamed {
 public:
  using TObjectNamed::TObjectNamed;
  ~TContent() override;

  // The file the payload came from, or the name a part's Content-Disposition gave
  // (only its last path component: see parseMIME_).
  std::string fileName;
  std::string contentType;
  std::string transferEncoding;  // lower case: "base64", "8bit", "binary", ...
  std::string disposition;
  std::string attachmentFileName;
  std::string boundary;

  // The payload; none until first needed.
  std::string* data() { return data_.get(); }
  const std::string* data() const { return data_.get(); }
  std::string& ensureData();
  void dropData() { data_.reset(); }
  // Sub-parts of a parsed multipart message (none unless one was parsed). Each child
  // is a TContent named by its file name, else its content type, else "text/plain".
  TObjectParent* parts() const { return parts_.get(); }
  int partCount() const { return parts_ ? parts_->childCount() : 0; }
  TContent* part(int i) const;

  // Clears the sub-parts; the texts and the payload stay.
  int clear_() override;
  void copyFrom_(const TObjectNamed& source) override;
  TObjectNamed* deepCopy() const override;

  // The payload becomes the file's bytes: their count, -1 when the file does not exist,
  // -2 when it cannot be read (the file name is taken over either way but -1).
  long long loadFromFile_(const std::string& path);
  long long loadFromStream_(std::string_view source);

  // One Base64 line per 57-byte block (76 characters; the last line shorter, padded
  // with "="), appended to `lines`. -1 without a stream.
  static int encodeBase64_(const std::string* stream, StringList& lines);
  // Decodes every full group of four characters of each line into `stream`, which then
  // holds exactly the decoded bytes. Left-over characters of a line are ignored and a
  // character outside the alphabet counts as 0. -1 without a stream.
  static int decodeBase64_(std::string* stream, const StringList& lines);

  // Parses a MIME entity: headers (folded lines joined), then either the sub-parts of
  // a multipart body (recursively) or the payload (Base64 decoded, else the lines with
  // CR LF). Malformed input never stops it. Returns 0.
  int parseMIME_(const StringList& lines);

  // The last path component of a Content-Disposition file name, "" when nothing safe
  // is left ("", "." and ".."), so a part can never name a file outside its folder.
  static std::string safePartFileName(std::string_view value);

 private:
  int parseMIME(const StringList& lines, int depth);

  std::unique_ptr<std::string> data_;
  std::unique_ptr<TObjectParent> parts_;
};

}  // namespace wux
