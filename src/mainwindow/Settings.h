#pragma once
// What the settings file and the application properties set for the running program.
// The window's second layer holds one; nothing here is ever written back to a file.
#include <string>

#include "views/CommandTable.h"
#include "views/MainWindowApi.h"

namespace wux {

struct Settings {
  // Seconds between auto-saves; 60 or less: no auto-save.
  int autoSaveTime = 0;
  // Where downloads and temporary files go; empty: the system's temporary folder.
  std::string tempDir;
};

// The commands of fonts and the application's own properties, from Settings.cpp.
void registerSettingsCommands(CommandTable& table, MainWindowApi& w, Settings& settings);

}  // namespace wux
