// The picture readers of note content: JPEG (libjpeg) and PNG (libpng) must reject any
// bytes without crashing and without allocating beyond their size limits; a JPEG that
// reads also encodes again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "views/ImageCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  wux::Raster r;
  // Both pixel layouts, chosen by the input's length.
  if (wux::decodeJpeg(bytes, r, nullptr, size % 2 == 1) && static_cast<long long>(r.width) * r.height <= 1 << 20) {
    std::string out;
    wux::encodeJpeg(r, 50, r.components != 1, out);
  }
  wux::decodePng(bytes, r);
  return 0;
}
