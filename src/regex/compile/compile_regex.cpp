// Compilation of a UTF-16 pattern into a program, and its release.
#include "regex/compile/compile_regex.h"

#include "frame/memory.h"
#include "regex/compile/compiler.h"
#include "regex/compile/program_scan.h"

namespace pl::regex {
namespace {

// Parses between the two end-of-program instructions and tidies the strip; the code.
Code build_program(PLLocale *handle, Program &program, const PLUChar *pattern, size_t length) {
  Compiler c(handle, &program, pattern, length);
  if (!c.start_strip(length / 2 * 3 + 1)) return c.error();
  c.emit(kEnd, 0);
  program.first_state = static_cast<uint32_t>(c.here() - 1);
  if (c.has_flag(PL_REG_EXTENDED))
    parse_extended(c);
  else if (c.has_flag(PL_REG_LITERAL))
    parse_literal(c);
  else
    parse_basic(c);
  c.emit(kEnd, 0);
  program.last_state = static_cast<uint32_t>(c.here() - 1);
  if (c.error() != PL_OK || !c.shrink_strip()) return c.error();
  program.nstates = static_cast<uint32_t>(c.here());
  find_must(program);
  program.nplus = plus_nesting(program);
  return (program.internal_flags & kInconsistent) != 0 ? kProgramInconsistent : PL_OK;
}

}  // namespace

PLRegex *compile_regex(PLLocale *handle, const PLUChar *pattern, size_t length, int32_t flags) {
  if ((flags & PL_REG_EXTENDED) != 0 && (flags & PL_REG_LITERAL) != 0) {
    handle->last_error = PL_ERR_ARGUMENT;
    return nullptr;
  }
  PLRegex *re = create<PLRegex>();
  Program *program = create<Program>();
  if (re == nullptr || program == nullptr) {
    release(re);
    release(program);
    handle->last_error = PL_ERR_NO_MEMORY;
    return nullptr;
  }
  re->magic = kRegexMagic;
  re->program = program;
  program->magic = kProgramMagic;
  program->csetsize = static_cast<uint32_t>(kColumnBytes);
  program->compile_flags = flags;
  Code code = build_program(handle, *program, pattern, length);
  re->nsub = program->nsub;
  handle->last_error = code;
  if (code == PL_OK) return re;
  free_regex(re);
  return nullptr;
}

bool free_regex(PLRegex *re) {
  Program *program = program_of(re);
  if (program == nullptr) return false;
  re->magic = 0;
  program->magic = 0;
  bool ok = release(program->strip);
  for (uint32_t i = 0; i < program->set_count; ++i) ok = release(program->sets[i].elements) && ok;
  ok = release(program->sets) && ok;
  for (uint32_t i = 0; i < (program->set_count + kSetsPerColumn - 1) / kSetsPerColumn; ++i)
    ok = release(program->set_columns[i]) && ok;
  ok = release(program->set_columns) && ok;
  ok = release(program->must) && ok;
  ok = release(program->ranges) && ok;
  if (program->release_cache != nullptr) program->release_cache(program->cache);
  ok = release(program) && ok;
  return release(re) && ok;
}

}  // namespace pl::regex
