#include "locale/file_names.h"

#include <cstdio>
#include <cstring>

#include "frame/utf8.h"
#include "locale/layouts/control.h"
#include "platform/paths.h"

namespace pl {
namespace {

constexpr char kSeparator[2] = {platform::kPathSeparator, '\0'};

// The part of a data file's name after the directory; returns its length.
int data_file_tail(int kind, unsigned number, char *out, size_t capacity) {
  return std::snprintf(out, capacity, "%s%s_%04u%s", kSeparator, layout::kKindPrefix[kind],
                       number, ".nls");
}

}  // namespace

bool control_file_path(const char *directory, char *out) {
  int length = std::snprintf(out, kMaxPath, "%s%s%s", directory, kSeparator, "control.nls");
  return length >= 0 && static_cast<size_t>(length) < kMaxPath;
}

bool data_file_path(const char *directory, int kind, unsigned number, char *out) {
  char tail[32];
  data_file_tail(kind, number, tail, sizeof tail);
  size_t dir_length = std::strlen(directory);
  size_t tail_length = std::strlen(tail);
  if (dir_length + tail_length >= kMaxPath) return false;
  std::memcpy(out, directory, dir_length);
  std::memcpy(out + dir_length, tail, tail_length + 1);
  return true;
}

bool data_file_path_wide(const PLUChar *directory, int kind, unsigned number, PLUChar *out) {
  char tail[32];
  data_file_tail(kind, number, tail, sizeof tail);
  size_t dir_length = utf16_length(directory);
  size_t tail_length = std::strlen(tail);
  if (dir_length + tail_length >= kMaxPath) return false;
  std::memcpy(out, directory, dir_length * sizeof(PLUChar));
  for (size_t i = 0; i <= tail_length; ++i)
    out[dir_length + i] = static_cast<unsigned char>(tail[i]);
  return true;
}

}  // namespace pl
