#include "platform/file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pl::platform {
namespace {

OpenStatus status_from_errno() {
  switch (errno) {
    case ENOENT:
    case ENOTDIR:
      return OpenStatus::not_found;
    case EACCES:
    case EPERM:
      return OpenStatus::access_denied;
    default:
      return OpenStatus::failed;
  }
}

OpenStatus open_with(const char *path, int flags, NativeFile *file) {
  int fd = ::open(path, flags | O_CLOEXEC, 0644);
  if (fd < 0) return status_from_errno();
  *file = fd;
  return OpenStatus::ok;
}

int fd_of(NativeFile file) { return static_cast<int>(file); }

}  // namespace

OpenStatus file_open_read(const char *path, NativeFile *file) {
  OpenStatus status = open_with(path, O_RDONLY, file);
  if (status != OpenStatus::ok) return status;
  // A directory opens on POSIX but cannot be read as a file.
  struct stat info;
  if (::fstat(fd_of(*file), &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd_of(*file));
    *file = kNoFile;
    return OpenStatus::failed;
  }
  ::posix_fadvise(fd_of(*file), 0, 0, POSIX_FADV_SEQUENTIAL);
  return OpenStatus::ok;
}

OpenStatus file_create(const char *path, NativeFile *file) {
  return open_with(path, O_WRONLY | O_CREAT | O_TRUNC, file);
}

OpenStatus file_open_update(const char *path, NativeFile *file) {
  return open_with(path, O_RDWR, file);
}

bool file_close(NativeFile file) { return ::close(fd_of(file)) == 0; }

long file_read(NativeFile file, void *buffer, size_t size) {
  size_t total = 0;
  while (total < size) {
    ssize_t got = ::read(fd_of(file), static_cast<char *>(buffer) + total, size - total);
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    total += static_cast<size_t>(got);
  }
  return static_cast<long>(total);
}

long file_write(NativeFile file, const void *buffer, size_t size) {
  size_t total = 0;
  while (total < size) {
    ssize_t put = ::write(fd_of(file), static_cast<const char *>(buffer) + total, size - total);
    if (put < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    total += static_cast<size_t>(put);
  }
  return static_cast<long>(total);
}

bool file_seek(NativeFile file, int64_t offset, Origin origin) {
  int whence = origin == Origin::start ? SEEK_SET : origin == Origin::current ? SEEK_CUR : SEEK_END;
  return ::lseek(fd_of(file), static_cast<off_t>(offset), whence) >= 0;
}

int64_t file_size(NativeFile file) {
  struct stat info;
  if (::fstat(fd_of(file), &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

bool file_exists(const char *path) {
  struct stat info;
  return ::stat(path, &info) == 0;
}

bool file_delete(const char *path) { return ::unlink(path) == 0; }

bool file_replace(const char *from, const char *to) { return std::rename(from, to) == 0; }

size_t mapping_granularity() {
  long page = ::sysconf(_SC_PAGESIZE);
  return page > 0 ? static_cast<size_t>(page) : 4096;
}

const void *file_map(NativeFile file, int64_t offset, size_t size) {
  void *view = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd_of(file), static_cast<off_t>(offset));
  return view == MAP_FAILED ? nullptr : view;
}

bool file_unmap(const void *view, size_t size) {
  return ::munmap(const_cast<void *>(view), size) == 0;
}

}  // namespace pl::platform
