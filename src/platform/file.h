// Files and read-only mappings: the primitives the data-file layer is built on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pl::platform {

using NativeFile = intptr_t;
inline constexpr NativeFile kNoFile = -1;

// Why an open failed.
enum class OpenStatus { ok, not_found, access_denied, failed };

enum class Origin { start, current, end };

OpenStatus file_open_read(const char *path, NativeFile *file);
// Creates `path` anew (truncating old content), for writing.
OpenStatus file_create(const char *path, NativeFile *file);
// Opens an existing file for reading and writing.
OpenStatus file_open_update(const char *path, NativeFile *file);

bool file_close(NativeFile file);
// Bytes read (0 at the end), or -1 on failure.
long file_read(NativeFile file, void *buffer, size_t size);
// Bytes written, or -1 on failure.
long file_write(NativeFile file, const void *buffer, size_t size);
bool file_seek(NativeFile file, int64_t offset, Origin origin);
// The file's size, or -1.
int64_t file_size(NativeFile file);

bool file_exists(const char *path);
bool file_delete(const char *path);
// Moves `from` onto `to`, replacing `to` in one step.
bool file_replace(const char *from, const char *to);

// Mapping views start at multiples of this.
size_t mapping_granularity();
// Maps `size` bytes read-only from `offset` (a multiple of the granularity).
// Returns the view, or null.
const void *file_map(NativeFile file, int64_t offset, size_t size);
bool file_unmap(const void *view, size_t size);

}  // namespace pl::platform
