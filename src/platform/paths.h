#pragma once
// Path helpers for names as the documents store them. Stored names may come from
// Windows (".\sub\a.txt", "C:\notes\a.mxh"), so both "\" and "/" separate path parts;
// a "\" that is the second byte of a Shift_JIS character is text, not a separator.
// Paths are program text (Shift_JIS); they meet the file system's UTF-8 only inside
// the platform layer. Nothing here changes the process's current directory.
#include <string>
#include <string_view>

namespace wux::platform {

// $TMPDIR, else "/tmp/"; always ends in "/".
std::string tempDir();
// The current directory, ending in "/".
std::string currentDir();
// The folder of the user's settings files: $XDG_CONFIG_HOME/wux/, else ~/.config/wux/;
// always ends in "/". It is not created here.
std::string settingsDir();
// The user's configuration folder ($XDG_CONFIG_HOME, else ~/.config/) and data folder
// ($XDG_DATA_HOME, else ~/.local/share/); both end in "/" and are not created here.
std::string configHomeDir();
std::string dataHomeDir();

// Every separator ("\" outside double-byte characters) written as "/".
std::string toSlashes(std::string_view path);
// Byte offset of the last separator ("/" or a single-byte "\"), or npos.
std::size_t lastSeparator(std::string_view path);
// The text after the last separator.
std::string fileNameOf(std::string_view path);
// The text up to and including the last separator; empty without one.
std::string dirOf(std::string_view path);
// The extension of the file-name part, from its last "." (empty when it has none).
std::string extOf(std::string_view path);
// The path with its extension replaced by `ext` (which carries its own ".").
std::string changeExt(std::string_view path, std::string_view ext);

bool isAbsolutePath(std::string_view path);
// Removes "." parts and folds "name/.." pairs; separators become "/".
std::string normalizePath(std::string_view path);
// A stored name as a full path on this system: relative names are taken from `baseDir`
// (the current directory when empty). The process's current directory is never changed.
std::string resolvePath(std::string_view name, std::string_view baseDir = {});
// `target` relative to `base` (a file name, or a directory ending in a separator):
// "./sub/a.txt", "../x/a.txt". Both are normalised first.
std::string relativePath(std::string_view target, std::string_view base);

// Makes the directory with every missing parent; true when it exists afterwards.
bool makeDirs(const std::string& dir);

}  // namespace wux::platform
