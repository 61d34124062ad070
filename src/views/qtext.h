#pragma once
// Shift_JIS lives in the model; Qt speaks UTF-16. Every crossing goes through the two
// functions below, which convert only through the platform's code-page routines.
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

class QComboBox;

namespace wux {

class StringList;

QString toQ(std::string_view sjis);
std::string fromQ(const QString& text);

// A string list as the lines of an editor (CR LF / LF both read back as line breaks).
QString linesToQ(const StringList& lines);

// Makes a combo box editable so that what the user types is what it holds: completion
// from its items keeps the typed case (Qt's own completer would turn "pin" into an item
// "PIN" when the box is left).
void makeEditableKeepingCase(QComboBox* box);

}  // namespace wux
