// Lazy loading of an item's data file, and unloading of the whole environment.
#include "frame/memory.h"
#include "locale/builtin_set.h"
#include "locale/environment.h"
#include "locale/file_names.h"
#include "locale/section_check.h"
#include "platform/lock.h"

namespace pl {
namespace {

// Releases the mapped sections of `entry` and closes its file. Returns 0, 1005 when
// an unmap failed, or the close's code (the last failure wins).
Code release_sections(ControlEntry &entry) {
  Code result = PL_OK;
  for (int s = layout::kMaxSections - 1; s >= 0; --s) {
    if (entry.section[s] != nullptr && unmap_file(entry.section[s], entry.size[s]) != PL_OK)
      result = PL_ERR_UNMAP;
    entry.section[s] = nullptr;
    entry.size[s] = 0;
  }
  if (entry.file != nullptr) {
    Code closed = close_file(entry.file, false);
    if (closed != PL_OK) result = closed;
    entry.file = nullptr;
  }
  return result;
}

// Older code-set and collation contents need rebuilding into the current layouts;
// this library reads only files of the current format.
bool needs_upgrade(int kind, uint32_t file_version) {
  unsigned major = layout::major_version(file_version);
  unsigned minor = layout::minor_version(file_version);
  return (kind == layout::kCodeset && (major < 3 || minor < 3)) ||
         (kind == layout::kCollation && major < 3);
}

// Maps the sections of the item's file into `staged`.
Code map_sections(Environment *env, ControlEntry &staged) {
  char path[kMaxPath];
  if (!data_file_path(env->directory, staged.kind, staged.number, path)) return PL_ERR_FILE_READ;
  Code code = PL_OK;
  staged.file = open_file(path, FileMode::read, false, &code);
  if (staged.file == nullptr) return code;
  const uint8_t *header_bytes = map_file(staged.file, 0, layout::kHeaderSize, &code);
  if (header_bytes == nullptr) return code;
  layout::ContainerHeader header;
  bool valid = layout::decode_header(header_bytes, &header);
  code = unmap_file(header_bytes, layout::kHeaderSize);
  if (!valid) return PL_ERR_NOT_DATA_FILE;
  if (code != PL_OK) return code;
  if (needs_upgrade(staged.kind, header.file_version)) return PL_ERR_NOT_DATA_FILE;
  for (int s = 0; s < header.used_sections(); ++s) {
    // Records are read as arrays of 16- and 32-bit values: sections start aligned.
    if (header.offset[s] % 4 != 0) return PL_ERR_FILE_READ;
    staged.section[s] = map_file(staged.file, header.offset[s], header.size[s], &code);
    if (code != PL_OK) return code;
    if (staged.section[s] != nullptr) staged.size[s] = header.size[s];
  }
  return sections_are_valid(staged) ? PL_OK : PL_ERR_FILE_READ;
}

}  // namespace

ControlEntry *load_entry(Environment *env, ControlEntry *entry, Code *code) {
  platform::lock_acquire();
  if (is_loaded(*entry)) {
    platform::lock_release();
    *code = PL_OK;
    return entry;
  }
  ControlEntry staged = *entry;
  Code failure = map_sections(env, staged);
  if (failure == PL_OK) {
    entry->file = staged.file;
    for (int s = 1; s < layout::kMaxSections; ++s) {
      entry->section[s] = staged.section[s];
      entry->size[s] = staged.size[s];
    }
    entry->size[0] = staged.size[0];
    // Of the state, only what the section checks found about the file carries over.
    entry->state = staged.state & (kStateCollationHints | kStateCollationForward);
    publish_section1(*entry, staged.section[0]);
    platform::lock_release();
    *code = PL_OK;
    return entry;
  }
  release_sections(staged);
  *code = failure;
  if (env->strict || entry->kind == layout::kCollation) {
    platform::lock_release();
    return nullptr;
  }
  builtin::substitute(*entry);
  platform::lock_release();
  return entry;
}

Code unload_environment(Environment *env) {
  Code result = PL_OK;
  for (size_t i = 0; i < env->count(); ++i) {
    ControlEntry &entry = env->table[i];
    if (!is_loaded(entry) || (entry.state & kStateBuiltin) != 0) continue;
    Code released = release_sections(entry);
    if (released != PL_OK) result = released;
  }
  bool table_released = release(env->table);
  bool env_released = release(env);
  return table_released && env_released ? result : PL_ERR_FILE;
}

}  // namespace pl
