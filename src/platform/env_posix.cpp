#include "platform/env.h"

#include <cstdlib>
#include <cstring>

namespace pl::platform {

long env_get(const char *name, char *buffer, size_t capacity) {
  const char *value = std::getenv(name);
  if (value == nullptr) return -1;
  size_t length = std::strlen(value);
  if (capacity > 0) {
    size_t copied = length < capacity ? length : capacity - 1;
    std::memcpy(buffer, value, copied);
    buffer[copied] = '\0';
  }
  return static_cast<long>(length);
}

}  // namespace pl::platform
