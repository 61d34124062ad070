#include "model/records/ZTextWriter.h"

#include <climits>

namespace wux {

ZTextWriter::ZTextWriter() { ok_ = deflateInit(&zs_, Z_DEFAULT_COMPRESSION) == Z_OK; }

ZTextWriter::~ZTextWriter() { deflateEnd(&zs_); }

bool ZTextWriter::pump(int flush) {
  char buf[1 << 16];
  do {
    zs_.next_out = reinterpret_cast<Bytef*>(buf);
    zs_.avail_out = sizeof buf;
    int rc = deflate(&zs_, flush);
    if (rc == Z_STREAM_ERROR) return ok_ = false;
    out_.append(buf, sizeof buf - zs_.avail_out);
    if (flush == Z_FINISH && rc == Z_STREAM_END) return true;
  } while (zs_.avail_out == 0 || (flush == Z_FINISH));
  return true;
}

bool ZTextWriter::write(std::string_view text) {
  if (!ok_ || finished_) return false;
  while (!text.empty()) {
    std::size_t n = text.size() > UINT_MAX / 2 ? UINT_MAX / 2 : text.size();
    zs_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    zs_.avail_in = static_cast<uInt>(n);
    if (!pump(Z_NO_FLUSH)) return false;
    in_ += n;
    text.remove_prefix(n);
  }
  return true;
}

bool ZTextWriter::finish() {
  if (!ok_ || finished_) return ok_ && finished_;
  zs_.next_in = nullptr;
  zs_.avail_in = 0;
  finished_ = pump(Z_FINISH);
  return ok_ && finished_;
}

}  // namespace wux
