#pragma once
// Opening any of the four file forms and writing it as any other: the code path of the
// wux-roundtrip driver and of the golden-file tests.
#include <memory>
#include <string>

#include "model/records/MemoFile.h"

namespace wux {

// What an opened file became: always a document; `lone` is the notebook when the file
// was a lone notebook (".mxh" or ".mhz"), which the document then holds as its only one.
struct OpenedRecords {
  std::unique_ptr<MemoFile> doc;
  MemoHolder* lone = nullptr;
  std::string unpackDir;  // the temporary folder of an unpacked archive
  StringList messages;    // every message of the reading and the writing, in order
  ~OpenedRecords();
};

// Opens by extension: ".mxa" with its notebooks from its folder; ".mxh"/".mhz" as a lone
// notebook named after its file; ".maz" unpacked into a new temporary folder and opened.
// A notebook left without notes gets one new note, as when the program opens it. False
// with a one-line reason on failure; every message goes to `out.messages`.
bool OpenRecords(const std::string& in, OpenedRecords& out, std::string& error);
// Writes by extension: ".mxa" every notebook beside `path`, each in its own file form
// (a notebook stored elsewhere moves there too), then the document; ".mxh"/".mhz" the
// lone notebook; ".maz" the archive. False with a one-line reason when anything was
// not written; the report of each file goes to `opened.messages`.
bool WriteRecords(OpenedRecords& opened, const std::string& path, std::string& error);

}  // namespace wux
