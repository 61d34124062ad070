#pragma once
// The word operations of the note-name editor, on Shift_JIS names. A name is words
// separated by blanks; the operations answer the new name and never fail: a missing
// word counts as empty.
#include <string>

#include "model/clock.h"

namespace wux::namedit {

// `mark` as the first, second or third word.
std::string insertWord1(const std::string& name, const std::string& mark);
std::string insertWord2(const std::string& name, const std::string& mark);
std::string insertWord3(const std::string& name, const std::string& mark);
// Without its first, second or third word.
std::string cutWord1(const std::string& name);
std::string cutWord2(const std::string& name);
std::string cutWord3(const std::string& name);
// The number in the first word, or the all-digit second word, one up or down.
std::string stepWord1(const std::string& name, bool up);
std::string stepWord2(const std::string& name, bool up);
// The last number of the base name (folder and extension kept) one up or down.
std::string stepLastNumber(const std::string& name, bool up);
// Head and tail cut to the next blank, separator, colon, full stop or tab.
std::string cutHead(const std::string& name);
std::string cutTail(const std::string& name);
std::string extractFileName(const std::string& name);
std::string removeExtension(const std::string& name);

// The digits of the name's first word completed from `today` into a date text
// ("YYYYMMDD..."), as the calendar takes it.
std::string calendarDateText(const std::string& name, const DateTime& today);
// `date` in place of the first word holding a digit among the first two words, else
// in place of the first word.
std::string putDate(const std::string& name, const std::string& date);

}  // namespace wux::namedit
