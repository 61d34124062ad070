#pragma once
// One zlib stream (header 78 9C, default level) made from text handed over in pieces.
// The deflating runs on a helper thread while the caller goes on making text, so that
// writing a compressed file costs little more than compressing it.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include <zlib.h>

namespace wux {

class ZTextWriter {
 public:
  ZTextWriter();
  ~ZTextWriter();
  ZTextWriter(const ZTextWriter&) = delete;
  ZTextWriter& operator=(const ZTextWriter&) = delete;

  // Hands over text (taken; `text` is left empty). False once anything failed.
  bool write(std::string& text);
  bool write(std::string_view text);
  // Waits for the helper and ends the stream; false when anything failed.
  bool finish();
  const std::string& compressed() const { return out_; }
  std::size_t bytesIn() const { return in_; }

 private:
  void run();
  bool deflateChunk(const std::string& chunk, int flush);

  z_stream zs_{};
  std::string out_;
  std::size_t in_ = 0;
  bool ok_ = false;
  bool finished_ = false;

  std::mutex m_;
  std::condition_variable cv_;
  std::deque<std::string> queue_;
  bool closing_ = false;
  bool failed_ = false;
  std::thread worker_;
};

}  // namespace wux
