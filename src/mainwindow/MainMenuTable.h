#pragma once
// The menu bar, the tool bar, the status bar's pop-up and the notebook tabs' pop-up as
// data: each entry names the command it runs through the command table, so the menu
// layer only builds widgets from these lists and binds them to `commands_.run`.
//
// Captions are UTF-8 (the menus hold a few symbols such as the head marks); they become
// Qt strings when the widgets are made. "&" marks the access key, "&&" a literal "&",
// "-" a separator.
#include <span>

namespace wux {

namespace menu {

enum Flag : unsigned {
  kNone = 0,
  // Runs even while an operation is busy (the command guards itself or must not wait).
  kUnguarded = 1u << 0,
  // A top menu whose items are never disabled when it drops.
  kNeverDisabled = 1u << 1,
  // The command answers with the not-implemented notice and nothing else, by design.
  kLeftOpen = 1u << 2,
  // Disabled while the interface is read-only (the read-only switch is on).
  kWritableOnly = 1u << 3,
  // The caption itself is the command's first argument.
  kCaptionArg = 1u << 4,
};

// What a checkable item shows when its menu drops.
enum class Check {
  None,
  ViewCheckListBox,  // the current notebook's view kind is "CheckListBox"
  ViewTreeView,
  ViewListView,
  NoteReadOnly,  // the current note is read-only (hidden for a read-only notebook)
  CommentShown,  // the note editor's comment box is shown
  FieldShown,
};

// The desktop's standard key of an item.
enum class Key { None, Open, Save, Quit };

struct MenuEntry {
  int depth;            // 0 a top menu, 1 its item, 2 an item of that item's submenu
  const char* caption;  // "-" a separator
  const char* command;  // empty: no action (a submenu, a separator, "SDI")
  const char* arg;      // the command's argument; nullptr none
  unsigned flags;
  Check check;
  Key key;
};

enum class ToolKind { Button, ReadOnlySwitch, InternetSwitch };

struct ToolEntry {
  ToolKind kind;
  const char* objectName;
  const char* caption;
  const char* hint;
  const char* command;  // a switch's action is the menu layer's own
  unsigned flags;
};

struct PopupEntry {
  const char* objectName;
  const char* caption;
  const char* command;
  unsigned flags;
};

// The fifteen top menus with their items, in order, depth-first.
std::span<const MenuEntry> mainMenu();
// The tool bar, left to right, with its two switches.
std::span<const ToolEntry> toolBar();
// The status bar's pop-up menu, and the command a click on the status bar runs.
std::span<const PopupEntry> statusPopup();
const char* statusClickCommand();
// The notebook tabs' pop-up menu.
std::span<const PopupEntry> tabPopup();

inline bool isSeparator(const char* caption) { return caption[0] == '-' && caption[1] == 0; }

}  // namespace menu

}  // namespace wux
