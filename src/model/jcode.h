#pragma once
// Conversions between the program's Shift_JIS text and the encodings of mail and foreign
// text: JIS (ISO-2022-JP) and EUC-JP, and Base64. These are hand-written on purpose:
// iconv's ISO-2022-JP drops half-width katakana and leaves lines with ESC ( B, where
// the mail this program writes widens the kana and returns with ESC ( J.
// Every converter walks its input by index and never reads past its end: a truncated
// sequence at the end is copied as it is.
#include <string>
#include <string_view>

#include "model/text/StringList.h"

namespace wux {

std::string JisToSjis(std::string_view text);
std::string EucToSjis(std::string_view text);
std::string SjisToJis(std::string_view text);

// Standard Base64 (RFC 4648, "=" padding) on one line.
std::string Base64Encode(std::string_view data);
// Decodes groups of four characters; "=" ends a group early, any character outside the
// alphabet counts as 0 (so stray bytes never stop a decode), a trailing partial group
// is ignored.
std::string Base64Decode(std::string_view text);
// The same, appended to `out`.
void Base64DecodeAppend(std::string_view text, std::string& out);

// Convert every source line and append it to the target (not emptied first).
void JisToSjisStrings(const StringList& source, StringList& target);
void EucToSjisStrings(const StringList& source, StringList& target);
void SjisToJisStrings(const StringList& source, StringList& target);

// A JIS X 0208 code pair (each byte 0x21..0x7E) to its Shift_JIS pair and back.
void JisPairToSjis(unsigned char& b1, unsigned char& b2);
void SjisPairToJis(unsigned char& b1, unsigned char& b2);

}  // namespace wux
