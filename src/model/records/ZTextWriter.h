#pragma once
// One zlib stream (header 78 9C, default level) made from text handed over in pieces.
#include <cstddef>
#include <string>
#include <string_view>

#include <zlib.h>

namespace wux {

class ZTextWriter {
 public:
  ZTextWriter();
  ~ZTextWriter();
  ZTextWriter(const ZTextWriter&) = delete;
  ZTextWriter& operator=(const ZTextWriter&) = delete;

  // False once anything failed; later calls then do nothing.
  bool write(std::string_view text);
  bool finish();
  const std::string& compressed() const { return out_; }
  std::size_t bytesIn() const { return in_; }

 private:
  bool pump(int flush);
  z_stream zs_{};
  std::string out_;
  std::size_t in_ = 0;
  bool ok_ = false;
  bool finished_ = false;
};

}  // namespace wux
