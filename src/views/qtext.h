#pragma once
// Shift_JIS lives in the model; Qt speaks UTF-16. Every crossing goes through the two
// functions below, which convert only through the platform's code-page routines.
#include <QColor>
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

#include "model/strutil.h"

class QComboBox;

namespace wux {

class StringList;

QString toQ(std::string_view sjis);
std::string fromQ(const QString& text);

// A string list as the lines of an editor (CR LF / LF both read back as line breaks).
QString linesToQ(const StringList& lines);

// The model's colours (red in the low byte) and Qt's.
QColor toQColor(Color color);
Color fromQColor(const QColor& color);

// Makes a combo box editable so that what the user types is what it holds, or the item
// the user picked: completion from its items is a case-sensitive pop-up list (Qt's own
// inline completer fills in the rest of a longer item, and turns "pin" into an item
// "PIN" when the box is left).
void makeEditableKeepingCase(QComboBox* box);

}  // namespace wux
