#include "model/records/ZTextWriter.h"

#include <climits>
#include <exception>

namespace wux {
namespace {
constexpr std::size_t kMaxQueued = 8;  // chunks waiting: bounds the memory in flight
}

ZTextWriter::ZTextWriter() {
  ok_ = deflateInit(&zs_, Z_DEFAULT_COMPRESSION) == Z_OK;
  if (!ok_) return;
  try {
    worker_ = std::thread([this] { run(); });
  } catch (const std::exception&) {
    // No thread to be had: the text is deflated as it comes, on this thread.
  }
}

ZTextWriter::~ZTextWriter() {
  {
    std::lock_guard<std::mutex> lock(m_);
    closing_ = true;
  }
  cv_.notify_all();
  if (worker_.joinable()) worker_.join();
  deflateEnd(&zs_);
}

bool ZTextWriter::deflateChunk(const std::string& chunk, int flush) {
  std::string_view rest = chunk;
  char buf[1 << 16];
  do {
    std::size_t n = rest.size() > UINT_MAX / 2 ? UINT_MAX / 2 : rest.size();
    zs_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(rest.data()));
    zs_.avail_in = static_cast<uInt>(n);
    const int f = n == rest.size() ? flush : Z_NO_FLUSH;
    int rc;
    do {
      zs_.next_out = reinterpret_cast<Bytef*>(buf);
      zs_.avail_out = sizeof buf;
      rc = deflate(&zs_, f);
      if (rc == Z_STREAM_ERROR) return false;
      out_.append(buf, sizeof buf - zs_.avail_out);
    } while (zs_.avail_out == 0 || (f == Z_FINISH && rc != Z_STREAM_END));
    rest.remove_prefix(n);
  } while (!rest.empty());
  return true;
}

void ZTextWriter::run() {
  for (;;) {
    std::string chunk;
    {
      std::unique_lock<std::mutex> lock(m_);
      cv_.wait(lock, [this] { return !queue_.empty() || closing_; });
      if (queue_.empty()) return;
      chunk = std::move(queue_.front());
      queue_.pop_front();
    }
    cv_.notify_all();
    if (!failed_ && !deflateChunk(chunk, Z_NO_FLUSH)) {
      std::lock_guard<std::mutex> lock(m_);
      failed_ = true;
    }
  }
}

bool ZTextWriter::write(std::string& text) {
  if (!ok_ || finished_) return false;
  if (text.empty()) return true;
  in_ += text.size();
  if (!worker_.joinable()) {
    ok_ = deflateChunk(text, Z_NO_FLUSH);
    text.clear();
    return ok_;
  }
  std::unique_lock<std::mutex> lock(m_);
  cv_.wait(lock, [this] { return queue_.size() < kMaxQueued; });
  if (failed_) return false;
  queue_.push_back(std::move(text));
  text.clear();
  lock.unlock();
  cv_.notify_all();
  return true;
}

bool ZTextWriter::write(std::string_view text) {
  std::string copy(text);
  return write(copy);
}

bool ZTextWriter::finish() {
  if (!ok_) return false;
  if (finished_) return true;
  {
    std::lock_guard<std::mutex> lock(m_);
    closing_ = true;
  }
  cv_.notify_all();
  if (worker_.joinable()) worker_.join();
  finished_ = true;
  if (failed_) return ok_ = false;
  ok_ = deflateChunk(std::string(), Z_FINISH);
  return ok_;
}

}  // namespace wux
