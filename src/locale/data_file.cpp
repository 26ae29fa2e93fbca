#include "locale/data_file.h"

#include <cstring>

#include "frame/memory.h"
#include "frame/utf8.h"
#include "platform/file.h"
#include "platform/paths.h"

namespace pl {

struct DataFile {
  platform::NativeFile handle;
  FileMode mode;
  bool temporary;  // written under `temp_path`, to replace `target_path` on close
  bool at_end;
  char target_path[kMaxPath];
  char temp_path[kMaxPath];
};

namespace {

Code open_code(platform::OpenStatus status) {
  switch (status) {
    case platform::OpenStatus::ok: return PL_OK;
    case platform::OpenStatus::not_found: return PL_ERR_FILE_NOT_FOUND;
    case platform::OpenStatus::access_denied: return PL_ERR_ACCESS_DENIED;
    default: return PL_ERR_FILE;
  }
}

// The temporary sibling of `path`: its extension replaced by "tmp", or ".tmp"
// appended to a name without one. False when it does not fit.
bool temporary_name(const char *path, char *out) {
  size_t length = std::strlen(path);
  size_t stem = length;
  for (size_t i = length; i > 0; --i) {
    if (path[i - 1] == platform::kPathSeparator) break;
    if (path[i - 1] == '.') {
      stem = i - 1;
      break;
    }
  }
  if (stem + 5 > kMaxPath) return false;
  std::memcpy(out, path, stem);
  std::memcpy(out + stem, ".tmp", 5);
  return true;
}

platform::OpenStatus open_native(DataFile *file, const char *path, FileMode mode,
                                 bool keep_target) {
  switch (mode) {
    case FileMode::read: return platform::file_open_read(path, &file->handle);
    case FileMode::update: return platform::file_open_update(path, &file->handle);
    case FileMode::write: break;
  }
  file->at_end = true;
  if (!keep_target && platform::file_exists(path)) {
    if (!temporary_name(path, file->temp_path)) return platform::OpenStatus::failed;
    std::memcpy(file->target_path, path, std::strlen(path) + 1);
    file->temporary = true;
    return platform::file_create(file->temp_path, &file->handle);
  }
  return platform::file_create(path, &file->handle);
}

}  // namespace

DataFile *open_file(const char *path, FileMode mode, bool keep_target, Code *code) {
  if (std::strlen(path) >= kMaxPath) {
    *code = PL_ERR_FILE_READ;
    return nullptr;
  }
  DataFile *file = create<DataFile>();
  if (file == nullptr) {
    *code = PL_ERR_NO_MEMORY;
    return nullptr;
  }
  file->handle = platform::kNoFile;
  file->mode = mode;
  *code = open_code(open_native(file, path, mode, keep_target));
  if (*code != PL_OK) {
    release(file);
    return nullptr;
  }
  return file;
}

DataFile *open_file_wide(const PLUChar *path, FileMode mode, bool keep_target, Code *code) {
  // The platform names files in UTF-8.
  char narrow[kMaxPath * 3];
  size_t units = utf16_length(path);
  if (units >= kMaxPath) {
    *code = PL_ERR_FILE_READ;
    return nullptr;
  }
  utf16_to_utf8(path, units, narrow, sizeof narrow);
  return open_file(narrow, mode, keep_target, code);
}

Code close_file(DataFile *file, bool discard) {
  bool ok = platform::file_close(file->handle);
  if (ok && file->temporary) {
    ok = discard ? platform::file_delete(file->temp_path)
                 : platform::file_replace(file->temp_path, file->target_path);
  }
  bool released = release(file);
  return ok && released ? PL_OK : PL_ERR_FILE;
}

size_t read_file(DataFile *file, void *buffer, size_t size, Code *code) {
  *code = PL_OK;
  if (file->mode == FileMode::write) {
    *code = PL_ERR_WRITE_ONLY;
    return 0;
  }
  long got = platform::file_read(file->handle, buffer, size);
  if (got < 0) {
    *code = PL_ERR_FILE_READ;
    return 0;
  }
  if (got == 0) file->at_end = true;
  return static_cast<size_t>(got);
}

bool write_file(DataFile *file, const void *buffer, size_t size, Code *code) {
  *code = PL_OK;
  if (file->mode == FileMode::read) {
    *code = PL_ERR_ARGUMENT;
    return false;
  }
  if (platform::file_write(file->handle, buffer, size) != static_cast<long>(size)) {
    *code = PL_ERR_FILE_READ;
    return false;
  }
  return true;
}

Code seek_file(DataFile *file, int64_t offset, int origin) {
  platform::Origin from;
  switch (origin) {
    case kSeekStart: from = platform::Origin::start; break;
    case kSeekCurrent: from = platform::Origin::current; break;
    case kSeekEnd: from = platform::Origin::end; break;
    default: return PL_ERR_FILE;
  }
  if (!platform::file_seek(file->handle, offset, from)) return PL_ERR_FILE;
  file->at_end = false;
  return PL_OK;
}

bool at_end(const DataFile *file) { return file->at_end; }

const uint8_t *map_file(DataFile *file, uint32_t offset, uint32_t size, Code *code) {
  *code = PL_OK;
  if (file->mode == FileMode::write) {
    *code = PL_ERR_WRITE_ONLY;
    return nullptr;
  }
  if (size == 0) return nullptr;
  // A view past the end of the file would fault on access: refuse it here.
  int64_t file_size = platform::file_size(file->handle);
  if (file_size < 0 || static_cast<int64_t>(offset) + size > file_size) {
    *code = PL_ERR_FILE_READ;
    return nullptr;
  }
  size_t granularity = platform::mapping_granularity();
  size_t rounding = offset % granularity;
  const void *view = platform::file_map(file->handle, offset - rounding, size + rounding);
  if (view == nullptr) {
    *code = PL_ERR_FILE_READ;
    return nullptr;
  }
  return static_cast<const uint8_t *>(view) + rounding;
}

Code unmap_file(const uint8_t *bytes, uint32_t size) {
  size_t rounding = reinterpret_cast<uintptr_t>(bytes) % platform::mapping_granularity();
  return platform::file_unmap(bytes - rounding, size + rounding) ? PL_OK : PL_ERR_UNMAP;
}

}  // namespace pl
