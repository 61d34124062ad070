#include "views/ImageCodec.h"

#include <csetjmp>
#include <algorithm>
#include <cstdio>
// libjpeg's header needs FILE and size_t declared first.
#include <jpeglib.h>
#include <png.h>

namespace wux {

namespace {

bool fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

bool sizeAccepted(long long w, long long h) {
  return w > 0 && h > 0 && w <= kMaxPictureSide && h <= kMaxPictureSide && w * h <= kMaxPicturePixels;
}

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps
// back to the call that started the work.
struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void jpegSilent(j_common_ptr, int) {}

// The encoder's output grows a string (libjpeg calls back when its buffer is full).
struct StringDestination {
  jpeg_destination_mgr mgr;
  std::string* out;
  unsigned char buffer[65536];
};

void destInit(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<StringDestination*>(cinfo->dest);
  d->mgr.next_output_byte = d->buffer;
  d->mgr.free_in_buffer = sizeof d->buffer;
}

boolean destEmpty(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<StringDestination*>(cinfo->dest);
  d->out->append(reinterpret_cast<const char*>(d->buffer), sizeof d->buffer);
  d->mgr.next_output_byte = d->buffer;
  d->mgr.free_in_buffer = sizeof d->buffer;
  return TRUE;
}

void destTerm(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<StringDestination*>(cinfo->dest);
  d->out->append(reinterpret_cast<const char*>(d->buffer), sizeof d->buffer - d->mgr.free_in_buffer);
}

}  // namespace

bool decodeJpeg(std::string_view data, Raster& out, std::string* error, bool bgrx) {
  if (data.empty()) return fail(error, "no JPEG data");
  jpeg_decompress_struct cinfo{};
  JpegError err{};
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = jpegErrorExit;
  err.mgr.emit_message = jpegSilent;
  // Everything a jump could skip lives outside this frame's locals that change after it.
  Raster* result = &out;
  result->pixels.clear();
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    result->pixels.clear();
    result->width = result->height = result->components = 0;
    result->bgrx = false;
    return fail(error, std::string("JPEG: ") + err.message);
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);
  if (!sizeAccepted(cinfo.image_width, cinfo.image_height)) {
    jpeg_destroy_decompress(&cinfo);
    return fail(error, "JPEG: picture too large");
  }
  const bool gray = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  cinfo.out_color_space = gray ? JCS_GRAYSCALE : bgrx ? JCS_EXT_BGRX : JCS_RGB;
  jpeg_start_decompress(&cinfo);
  result->width = static_cast<int>(cinfo.output_width);
  result->height = static_cast<int>(cinfo.output_height);
  result->components = cinfo.output_components;
  result->bgrx = !gray && bgrx;
  const std::size_t stride = static_cast<std::size_t>(result->width) * result->components;
  result->pixels.assign(stride * result->height, 0);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = result->pixels.data() + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

bool encodeJpeg(const Raster& in, int quality, bool grayscale, std::string& out, std::string* error) {
  out.clear();
  if (!sizeAccepted(in.width, in.height) || (in.components != 1 && in.components != 3 && in.components != 4) ||
      in.pixels.size() < static_cast<std::size_t>(in.width) * in.height * in.components)
    return fail(error, "JPEG: no picture to encode");
  if (quality < 1 || quality > 100) return fail(error, "JPEG: quality out of 1 to 100");
  // The rows libjpeg reads: one gray byte or three colour bytes per pixel.
  const int outComponents = grayscale ? 1 : 3;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(in.width) * outComponents);

  jpeg_compress_struct cinfo{};
  JpegError err{};
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = jpegErrorExit;
  err.mgr.emit_message = jpegSilent;
  StringDestination dest{};
  dest.out = &out;
  std::string* result = &out;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    result->clear();
    return fail(error, std::string("JPEG: ") + err.message);
  }
  jpeg_create_compress(&cinfo);
  dest.mgr.init_destination = destInit;
  dest.mgr.empty_output_buffer = destEmpty;
  dest.mgr.term_destination = destTerm;
  cinfo.dest = &dest.mgr;
  cinfo.image_width = static_cast<JDIMENSION>(in.width);
  cinfo.image_height = static_cast<JDIMENSION>(in.height);
  cinfo.input_components = outComponents;
  cinfo.in_color_space = grayscale ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  const std::size_t stride = static_cast<std::size_t>(in.width) * in.components;
  while (cinfo.next_scanline < cinfo.image_height) {
    const std::uint8_t* src = in.pixels.data() + stride * cinfo.next_scanline;
    for (int x = 0; x < in.width; ++x) {
      const std::uint8_t* p = src + static_cast<std::size_t>(x) * in.components;
      if (in.bgrx) {
        const std::uint8_t rgb[3] = {p[2], p[1], p[0]};
        if (grayscale)
          row[x] = static_cast<std::uint8_t>((299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2] + 500) / 1000);
        else
          std::copy(rgb, rgb + 3, row.data() + x * 3);
      } else if (in.components == 1) {
        for (int c = 0; c < outComponents; ++c) row[x * outComponents + c] = p[0];
      } else if (grayscale) {
        // ITU-R BT.601 luma, as libjpeg converts colour to gray itself.
        row[x] = static_cast<std::uint8_t>((299 * p[0] + 587 * p[1] + 114 * p[2] + 500) / 1000);
      } else {
        row[x * 3] = p[0];
        row[x * 3 + 1] = p[1];
        row[x * 3 + 2] = p[2];
      }
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return !out.empty() || fail(error, "JPEG: nothing written");
}

bool decodePng(std::string_view data, Raster& out, std::string* error) {
  out = Raster{};
  if (data.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(data.data()), 0, 8) != 0)
    return fail(error, "PNG: not a PNG picture");
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
    return fail(error, std::string("PNG: ") + image.message);
  if (!sizeAccepted(image.width, image.height)) {
    png_image_free(&image);
    return fail(error, "PNG: picture too large");
  }
  image.format = PNG_FORMAT_RGBA;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.components = 4;
  out.pixels.assign(PNG_IMAGE_SIZE(image), 0);
  if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) {
    const std::string why = image.message;
    png_image_free(&image);
    out = Raster{};
    return fail(error, "PNG: " + why);
  }
  return true;
}

}  // namespace wux
