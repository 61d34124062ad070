#include "model/jcode.h"

#include "model/text/sjis.h"

namespace wux {

namespace {

constexpr char kEsc = '\x1B';

bool isJisByte(unsigned char c) { return c >= 0x21 && c <= 0x7E; }
bool isHalfKana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

// JIS X 0208 codes of the half-width katakana 0xA1..0xDF (the compatibility mapping).
constexpr unsigned short kWideKana[63] = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523,  // A1-A8
    0x2525, 0x2527, 0x2529, 0x2563, 0x2565, 0x2567, 0x2543, 0x213C,  // A9-B0
    0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B, 0x252D, 0x252F,  // B1-B8
    0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F,  // B9-C0
    0x2541, 0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D,  // C1-C8
    0x254E, 0x254F, 0x2552, 0x2555, 0x2558, 0x255B, 0x255E, 0x255F,  // C9-D0
    0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569, 0x256A,  // D1-D8
    0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C,          // D9-DF
};

constexpr char kB64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of every byte in the alphabet; anything else counts as 0.
struct B64Table {
  unsigned char v[256] = {};
  constexpr B64Table() {
    for (int i = 0; i < 64; ++i) v[static_cast<unsigned char>(kB64[i])] = static_cast<unsigned char>(i);
  }
};
constexpr B64Table kB64Values;

}  // namespace

void JisPairToSjis(unsigned char& b1, unsigned char& b2) {
  unsigned j1 = b1, j2 = b2;
  unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
  unsigned s2;
  if (j1 & 1) s2 = j2 + (j2 <= 0x5F ? 0x1F : 0x20);
  else s2 = j2 + 0x7E;
  b1 = static_cast<unsigned char>(s1);
  b2 = static_cast<unsigned char>(s2);
}

void SjisPairToJis(unsigned char& b1, unsigned char& b2) {
  unsigned s1 = b1, s2 = b2;
  unsigned row = (s1 - (s1 >= 0xE0 ? 0xB0 : 0x70)) * 2;
  unsigned j1, j2;
  if (s2 >= 0x9F) {
    j1 = row;
    j2 = s2 - 0x7E;
  } else {
    j1 = row - 1;
    j2 = s2 - (s2 >= 0x80 ? 0x20 : 0x1F);
  }
  b1 = static_cast<unsigned char>(j1);
  b2 = static_cast<unsigned char>(j2);
}

std::string JisToSjis(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool kanji = false;
  std::size_t i = 0, n = text.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == static_cast<unsigned char>(kEsc)) {
      if (i + 2 >= n) {  // a cut-off escape sequence stays as it is
        out.append(text.substr(i));
        break;
      }
      if (text[i + 1] == '$') kanji = true;
      else if (text[i + 1] == '(') kanji = false;
      i += 3;
      continue;
    }
    if (kanji && isJisByte(c) && i + 1 < n && isJisByte(static_cast<unsigned char>(text[i + 1]))) {
      unsigned char b1 = c, b2 = static_cast<unsigned char>(text[i + 1]);
      JisPairToSjis(b1, b2);
      out += static_cast<char>(b1);
      out += static_cast<char>(b2);
      i += 2;
      continue;
    }
    out += static_cast<char>(c);
    ++i;
  }
  return out;
}

std::string EucToSjis(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0, n = text.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x81 || c == 0xFF) {
      out += static_cast<char>(c);
      ++i;
    } else if (c == 0x8E) {
      if (i + 1 < n) out += text[i + 1];
      else out += static_cast<char>(c);
      i += 2;
    } else if (i + 1 < n && static_cast<unsigned char>(text[i + 1]) >= 0x80) {
      unsigned char b1 = c & 0x7F, b2 = static_cast<unsigned char>(text[i + 1]) & 0x7F;
      JisPairToSjis(b1, b2);
      out += static_cast<char>(b1);
      out += static_cast<char>(b2);
      i += 2;
    } else {
      // A lead byte without a second byte (end of text, or an ASCII byte after it).
      out += static_cast<char>(c);
      ++i;
    }
  }
  return out;
}

std::string SjisToJis(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  bool kanji = false;
  auto leave = [&] {
    if (kanji) {
      out += "\x1B(J";
      kanji = false;
    }
  };
  auto putJis = [&](unsigned code) {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
  };
  std::size_t i = 0, n = text.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c <= 0x7F) {
      leave();
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    if (!kanji) {
      out += "\x1B$B";
      kanji = true;
    }
    if (isHalfKana(c)) {
      unsigned code = kWideKana[c - 0xA1];
      unsigned char next = i + 1 < n ? static_cast<unsigned char>(text[i + 1]) : 0;
      std::size_t used = 1;
      if (next == 0xDE) {
        if ((c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE)) {
          code += 1;
          used = 2;
        } else if (c == 0xB3) {
          code = 0x2574;
          used = 2;
        }
      } else if (next == 0xDF && c >= 0xCA && c <= 0xCE) {
        code += 2;
        used = 2;
      }
      putJis(code);
      i += used;
      continue;
    }
    if (i + 1 < n && sjis::isLeadByte(c) && sjis::isTrailByte(static_cast<unsigned char>(text[i + 1]))) {
      unsigned char b1 = c, b2 = static_cast<unsigned char>(text[i + 1]);
      SjisPairToJis(b1, b2);
      out += static_cast<char>(b1);
      out += static_cast<char>(b2);
      i += 2;
      continue;
    }
    // Not a character (a lone lead byte, or a byte no encoding uses): copied.
    out += static_cast<char>(c);
    ++i;
  }
  leave();
  return out;
}

std::string Base64Encode(std::string_view data) {
  std::string out;
  out.reserve((data.size() + 2) / 3 * 4);
  std::size_t i = 0, n = data.size();
  for (; i + 3 <= n; i += 3) {
    unsigned v = (static_cast<unsigned char>(data[i]) << 16) | (static_cast<unsigned char>(data[i + 1]) << 8) |
                 static_cast<unsigned char>(data[i + 2]);
    out += kB64[(v >> 18) & 63];
    out += kB64[(v >> 12) & 63];
    out += kB64[(v >> 6) & 63];
    out += kB64[v & 63];
  }
  if (n - i == 1) {
    unsigned v = static_cast<unsigned char>(data[i]) << 16;
    out += kB64[(v >> 18) & 63];
    out += kB64[(v >> 12) & 63];
    out += "==";
  } else if (n - i == 2) {
    unsigned v = (static_cast<unsigned char>(data[i]) << 16) | (static_cast<unsigned char>(data[i + 1]) << 8);
    out += kB64[(v >> 18) & 63];
    out += kB64[(v >> 12) & 63];
    out += kB64[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

void Base64DecodeAppend(std::string_view text, std::string& out) {
  const unsigned char* v = kB64Values.v;
  const std::size_t groups = text.size() / 4;
  std::size_t at = out.size();
  out.resize(at + groups * 3);
  char* dst = out.data() + at;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t g = 0; g < groups; ++g, p += 4) {
    unsigned x = (v[p[0]] << 18) | (v[p[1]] << 12) | (v[p[2]] << 6) | v[p[3]];
    // All three bytes are written (there is room for them); padding keeps fewer.
    dst[0] = static_cast<char>((x >> 16) & 0xFF);
    dst[1] = static_cast<char>((x >> 8) & 0xFF);
    dst[2] = static_cast<char>(x & 0xFF);
    dst += p[2] == '=' ? 1 : p[3] == '=' ? 2 : 3;
  }
  out.resize(static_cast<std::size_t>(dst - out.data()));
}

std::string Base64Decode(std::string_view text) {
  std::string out;
  Base64DecodeAppend(text, out);
  return out;
}

void JisToSjisStrings(const StringList& source, StringList& target) {
  int n = source.count();  // the target may be the source
  for (int i = 0; i < n; ++i) target.add(JisToSjis(source[i]));
}
void EucToSjisStrings(const StringList& source, StringList& target) {
  int n = source.count();  // the target may be the source
  for (int i = 0; i < n; ++i) target.add(EucToSjis(source[i]));
}
void SjisToJisStrings(const StringList& source, StringList& target) {
  int n = source.count();  // the target may be the source
  for (int i = 0; i < n; ++i) target.add(SjisToJis(source[i]));
}

}  // namespace wux
