// Finding the locale directory and reading its control table.
#include <cstring>

#include "frame/endian.h"
#include "frame/memory.h"
#include "locale/builtin_set.h"
#include "locale/environment.h"
#include "locale/file_names.h"
#include "platform/env.h"
#include "platform/paths.h"

namespace pl {
namespace {

constexpr int32_t kStrictFlags = static_cast<int32_t>(0x80000001u);

// Opens `directory`'s control file; on success remembers the directory.
Code try_directory(Environment *env, const char *directory, DataFile **control) {
  char path[kMaxPath];
  if (!control_file_path(directory, path)) return PL_ERR_FILE_READ;
  Code code = PL_OK;
  *control = open_file(path, FileMode::read, false, &code);
  if (*control != nullptr) std::memcpy(env->directory, directory, std::strlen(directory) + 1);
  return code;
}

// The directory argument, then PL_LOCALEDIR, then the default directory. A name
// that does not fit ends the search at once, as does running out of memory.
Code open_control_file(Environment *env, const char *directory, DataFile **control) {
  Code code = PL_OK;
  if (directory != nullptr) {
    code = try_directory(env, directory, control);
    if (code == PL_OK || code == PL_ERR_FILE_READ || code == PL_ERR_NO_MEMORY) return code;
  }
  char from_environment[kMaxPath];
  long length = platform::env_get("PL_LOCALEDIR", from_environment, sizeof from_environment);
  if (length >= static_cast<long>(kMaxPath)) return PL_ERR_FILE_READ;
  if (length >= 0) {
    code = try_directory(env, from_environment, control);
    if (code == PL_OK || code == PL_ERR_FILE_READ || code == PL_ERR_NO_MEMORY) return code;
  }
  return try_directory(env, platform::default_locale_directory(), control);
}

// Decodes one 60-byte entry; false when it is malformed.
bool decode_entry(const uint8_t *bytes, ControlEntry *entry) {
  entry->number = read_u16(bytes + layout::kEntryNumberAt);
  entry->kind = bytes[layout::kEntryKindAt];
  std::memcpy(entry->name, bytes + layout::kEntryNameAt, layout::kEntryNameSize);
  return entry->kind < layout::kKindCount &&
         std::memchr(entry->name, '\0', layout::kEntryNameSize) != nullptr;
}

// Entries must be sorted by kind and, within a kind, by ascending number: the
// lookups rely on it.
bool in_order(const ControlEntry &previous, const ControlEntry &next) {
  return previous.kind < next.kind || (previous.kind == next.kind && previous.number < next.number);
}

// Reads the table of an open control file into `env`.
Code read_control_table(Environment *env, DataFile *control) {
  Code code = PL_OK;
  const uint8_t *header_bytes = map_file(control, 0, layout::kHeaderSize, &code);
  if (header_bytes == nullptr) return code;
  layout::ContainerHeader header;
  bool valid = layout::decode_header(header_bytes, &header);
  Code unmapped = unmap_file(header_bytes, layout::kHeaderSize);
  if (!valid) return PL_ERR_NOT_DATA_FILE;
  if (unmapped != PL_OK) return unmapped;
  if (header.used_sections() < 1) return PL_ERR_FILE_READ;

  size_t count = header.size[0] / layout::kControlEntrySize;
  if (count > 0xFFFF) return PL_ERR_FILE_READ;
  ControlEntry *table = create_array<ControlEntry>(count > 0 ? count : 1);
  if (table == nullptr) return PL_ERR_NO_MEMORY;
  if (seek_file(control, header.offset[0], kSeekStart) != PL_OK) code = PL_ERR_FILE_READ;

  constexpr size_t kBatch = 64;
  uint8_t bytes[kBatch * layout::kControlEntrySize];
  for (size_t done = 0; code == PL_OK && done < count;) {
    size_t batch = count - done < kBatch ? count - done : kBatch;
    size_t wanted = batch * layout::kControlEntrySize;
    if (read_file(control, bytes, wanted, &code) != wanted) {
      code = PL_ERR_FILE_READ;
      break;
    }
    for (size_t i = 0; i < batch; ++i, ++done) {
      ControlEntry &entry = table[done];
      if (!decode_entry(bytes + i * layout::kControlEntrySize, &entry) ||
          (done > 0 && !in_order(table[done - 1], entry))) {
        code = PL_ERR_FILE_READ;
        break;
      }
    }
  }
  if (code != PL_OK) {
    release(table);
    return code;
  }
  env->table = table;
  size_t index = 0;
  for (int kind = 0; kind <= layout::kKindCount; ++kind) {
    while (index < count && table[index].kind < kind) ++index;
    env->start[kind] = static_cast<uint16_t>(index);
  }
  env->start[layout::kKindCount] = static_cast<uint16_t>(count);
  return PL_OK;
}

// Turns `env` into the built-in set; false when its table cannot be obtained.
bool use_builtin_set(Environment *env) {
  ControlEntry *table = create_array<ControlEntry>(builtin::kEntryCount);
  if (table == nullptr) return false;
  std::memcpy(table, builtin::control_table(), sizeof(ControlEntry) * builtin::kEntryCount);
  env->table = table;
  for (int kind = 0; kind <= layout::kKindCount; ++kind)
    env->start[kind] = static_cast<uint16_t>(kind < 3 ? kind : 3);
  env->strict = true;
  env->directory[0] = '\0';
  return true;
}

}  // namespace

Environment *load_environment(const char *directory, int32_t init_flags, Code *code) {
  Environment *env = create<Environment>();
  if (env == nullptr) {
    *code = PL_ERR_NO_MEMORY;
    return nullptr;
  }
  env->strict = init_flags == kStrictFlags;
  DataFile *control = nullptr;
  Code failure = open_control_file(env, directory, &control);
  if (failure == PL_OK) {
    failure = read_control_table(env, control);
    if (close_file(control, false) != PL_OK && failure == PL_OK) failure = PL_ERR_FILE;
    if (failure == PL_OK) return env;
    if (env->table != nullptr) release(env->table);
    env->table = nullptr;
  }
  *code = failure;
  if (!env->strict && failure != PL_ERR_NO_MEMORY && use_builtin_set(env)) return env;
  release(env);
  return nullptr;
}

}  // namespace pl
