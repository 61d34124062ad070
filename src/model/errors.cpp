#include "model/errors.h"

namespace wux {

void throwRange(const char* where, long long index, long long count) {
  throw RangeError(std::string(where) + ": index " + std::to_string(index) + " out of range (count " +
                   std::to_string(count) + ")");
}

}  // namespace wux
