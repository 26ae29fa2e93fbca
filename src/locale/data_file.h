// Files of the locale directory and of message catalogs: open, read, seek, map
// read-only, and write through a temporary name that replaces the target on close.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/codes.h"

namespace pl {

// Every path the library builds fits this many characters with its NUL.
inline constexpr size_t kMaxPath = 260;

enum class FileMode : uint8_t { read = 0, write = 1, update = 2 };

// Seek origins.
inline constexpr int kSeekStart = 10;
inline constexpr int kSeekCurrent = 11;
inline constexpr int kSeekEnd = 12;

struct DataFile;

// Opens `path`. In write mode, unless `keep_target` is set, an existing target is
// left untouched: the data goes to a ".tmp" sibling that replaces the target when
// the file is closed without discarding. Codes: 1000 not found, 1001 access denied,
// 1 other failures, 20 no memory.
DataFile *open_file(const char *path, FileMode mode, bool keep_target, Code *code);
// The same with a UTF-16 path.
DataFile *open_file_wide(const PLUChar *path, FileMode mode, bool keep_target, Code *code);

// Closes and releases the file; a write under a temporary name is committed to the
// target, or deleted when `discard` is set. Returns 0, or 1 on any failure.
Code close_file(DataFile *file, bool discard);

// Bytes read; 0 sets the end-of-file mark. On a platform failure: 0 and code 1003.
size_t read_file(DataFile *file, void *buffer, size_t size, Code *code);
// Writes all `size` bytes; false with code 1003 on failure, 2 on a file opened for reading.
bool write_file(DataFile *file, const void *buffer, size_t size, Code *code);
// Origin kSeekStart, kSeekCurrent or kSeekEnd; clears the end-of-file mark.
// Returns 0, or 1 on failure.
Code seek_file(DataFile *file, int64_t offset, int origin);
bool at_end(const DataFile *file);

// `size` bytes of the file at `offset`, read-only. Null with code 0 for size 0;
// 1002 for a file opened for writing; 1003 when the range is not inside the file or
// cannot be mapped.
const uint8_t *map_file(DataFile *file, uint32_t offset, uint32_t size, Code *code);
// Releases a mapping made by map_file. Returns 0, or 1005.
Code unmap_file(const uint8_t *bytes, uint32_t size);

}  // namespace pl
