#pragma once
// Pictures of note content without the toolkit: JPEG through libjpeg (decode, and
// encode with a quality and as one gray component), PNG through libpng, Windows
// metafiles through libwmf. Malformed data never crashes and never allocates without
// bound: each reader gives false and a reason.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wux {

struct Raster {
  int width = 0;
  int height = 0;
  int components = 0;  // 1 gray, 3 RGB, 4 RGBA (or B, G, R, 0xFF: see bgrx); rows are packed
  bool bgrx = false;
  std::vector<std::uint8_t> pixels;
};

// The largest picture a reader accepts, in pixels per side and in all.
inline constexpr int kMaxPictureSide = 30000;
inline constexpr long long kMaxPicturePixels = 100LL * 1000 * 1000;

// `bgrx` asks colour pictures as B, G, R, 0xFF: the layout screens draw from directly.
bool decodeJpeg(std::string_view data, Raster& out, std::string* error = nullptr, bool bgrx = false);
// Encodes 1, 3 or 4 component pixels (alpha dropped); `grayscale` writes one
// component. Quality 1 to 100.
bool encodeJpeg(const Raster& in, int quality, bool grayscale, std::string& out, std::string* error = nullptr);
// Decodes any PNG to 8-bit RGBA.
bool decodePng(std::string_view data, Raster& out, std::string* error = nullptr);

// Renders a Windows metafile (placeable or not) to RGBA. False with a reason for what
// the renderer cannot read, an enhanced metafile among them, or when the program was
// built without libwmf.
bool renderWmf(std::string_view data, Raster& out, std::string* error = nullptr);

}  // namespace wux
