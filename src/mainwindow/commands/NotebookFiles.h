#pragma once
// Reading notebook files into the open document. The notebook commands use these, and so
// does whatever opens a ".mxh" or ".mhz" by name (the open dispatcher, dropped files).
#include <string>

#include "views/MainWindowApi.h"

namespace wux {

class MemoHolderUI;

// Opens a notebook file as a notebook of the document and makes it current; nullptr when
// busy, cancelled or the file could not be read (the log and the status say why).
MemoHolderUI* openHolder(MainWindowApi& w, const std::string& name);
// The reading part of openHolder: a new notebook named after the file, or, when the
// document already has a notebook of that name, the user chooses between reloading it,
// opening the file under another name, and cancelling.
MemoHolderUI* openHolderFile(MainWindowApi& w, const std::string& name);
// Reads `name` into `holder` (already emptied) and records where the notebook lives: a
// file outside the document's folder makes the notebook read-only. nullptr when the file
// is missing or could not be read.
MemoHolderUI* loadHolderAs(MainWindowApi& w, MemoHolderUI* holder, const std::string& name);

// The save status of a notebook's size: "1024Bytes", "1KBytes" from 1025 on.
std::string holderSizeText(long long size);

}  // namespace wux
