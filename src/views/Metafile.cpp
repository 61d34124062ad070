// Windows metafiles drawn by libwmf's own raster device into memory.
#include <cstring>

#include "views/ImageCodec.h"

#ifdef WUX_HAVE_WMF
#include <libwmf/api.h>
#include <libwmf/gd.h>
#include <libwmf/gd/gd.h>

#include <cstdlib>
#endif

namespace wux {

#ifdef WUX_HAVE_WMF

namespace {

// The picture the raster device made is the caller's to free, but the library exports
// no function for it: freed here as its own image type frees itself.
void destroyImage(void* image) {
  auto* im = static_cast<gdImage*>(image);
  if (!im) return;
  if (im->pixels) {
    for (int y = 0; y < im->sy; ++y) std::free(im->pixels[y]);
    std::free(im->pixels);
  }
  if (im->_tpixels) {
    std::free(im->_tpixels);
  } else if (im->tpixels) {
    for (int y = 0; y < im->sy; ++y) std::free(im->tpixels[y]);
  }
  std::free(im->tpixels);
  std::free(im->polyInts);
  std::free(im->style);
  if (im->clip) {
    std::free(im->clip->list);
    std::free(im->clip);
  }
  std::free(im);
}

}  // namespace

bool renderWmf(std::string_view data, Raster& out, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    out = Raster{};
    return false;
  };
  out = Raster{};
  // An enhanced metafile starts with its header record (type 1) and " EMF" at 40.
  if (data.size() >= 44 && std::memcmp(data.data() + 40, " EMF", 4) == 0)
    return fail("an enhanced metafile (EMF) cannot be shown here");
  if (data.size() < 18) return fail("not a Windows metafile");

  wmfAPI* api = nullptr;
  wmfAPI_Options options{};
  options.function = wmf_gd_function;
  const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
  if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
    if (api) wmf_api_destroy(api);
    return fail("the metafile renderer could not start");
  }
  // libwmf reads the bytes in place and never writes them.
  std::string copy(data);
  wmfD_Rect bbox{};
  unsigned int width = 0, height = 0;
  bool ok = wmf_mem_open(api, reinterpret_cast<unsigned char*>(copy.data()), static_cast<long>(copy.size())) ==
                wmf_E_None &&
            wmf_scan(api, 0, &bbox) == wmf_E_None &&
            wmf_display_size(api, &width, &height, 96, 96) == wmf_E_None;
  if (ok && (width == 0 || height == 0 || width > 8000 || height > 8000)) ok = false;
  if (ok) {
    wmf_gd_t* device = WMF_GD_GetData(api);
    device->type = wmf_gd_image;
    device->bbox = bbox;
    device->width = width;
    device->height = height;
    ok = wmf_play(api, 0, &bbox) == wmf_E_None && device->gd_image;
    if (ok) {
      const int* pixels = wmf_gd_image_pixels(device->gd_image);
      ok = pixels != nullptr;
      if (ok) {
        out.width = static_cast<int>(width);
        out.height = static_cast<int>(height);
        out.components = 4;
        out.pixels.resize(static_cast<std::size_t>(width) * height * 4);
        for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i) {
          // The device's true colour: 7 bits of transparency (0 opaque), then R, G, B.
          const unsigned p = static_cast<unsigned>(pixels[i]);
          const unsigned alpha = (p >> 24) & 0x7F;
          out.pixels[i * 4] = static_cast<std::uint8_t>(p >> 16);
          out.pixels[i * 4 + 1] = static_cast<std::uint8_t>(p >> 8);
          out.pixels[i * 4 + 2] = static_cast<std::uint8_t>(p);
          out.pixels[i * 4 + 3] = static_cast<std::uint8_t>(255 - (alpha * 255 + 63) / 127);
        }
      }
    }
  }
  destroyImage(WMF_GD_GetData(api)->gd_image);
  WMF_GD_GetData(api)->gd_image = nullptr;
  wmf_api_destroy(api);
  if (!ok) return fail("the picture is not a Windows metafile that can be shown here");
  return true;
}

#else

bool renderWmf(std::string_view, Raster& out, std::string* error) {
  out = Raster{};
  if (error) *error = "Windows metafiles cannot be shown here (built without libwmf)";
  return false;
}

#endif

}  // namespace wux
