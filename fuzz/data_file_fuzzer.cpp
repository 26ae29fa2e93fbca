// Feeds arbitrary bytes to the library as a language, territory or code-set data
// file, then uses the item through the public interface and the conversion engine.
// Whatever the bytes, the library must give codes, never crash or read outside
// the file.
//
// Input: one byte choosing the kind (0 language, 1 territory, 2 code set), then the
// file's content.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "charset/from_unicode.h"
#include "charset/to_unicode.h"
#include "frame/handle.h"
#include "frame/process.h"
#include "locale/environment.h"
#include "locale/file_names.h"
#include "locale/layouts/container.h"
#include "locale/layouts/control.h"
#include "polyloc.h"

namespace {

void copy_file(const std::string &from, const std::string &to) {
  FILE *in = std::fopen(from.c_str(), "rb");
  FILE *out = std::fopen(to.c_str(), "wb");
  if (in == nullptr || out == nullptr) std::abort();
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) std::fwrite(buffer, 1, n, out);
  std::fclose(in);
  std::fclose(out);
}

// A locale directory with English, UnitedStates and a code set "Fuzzed", all three
// compiled files from the build; the file under test replaces the one of its kind.
std::string make_directory() {
  char pattern[] = "/tmp/polyloc-fuzz-XXXXXX";
  const char *made = mkdtemp(pattern);
  if (made == nullptr) std::abort();
  std::string dir = made;
  uint8_t table[3 * pl::layout::kControlEntrySize];
  pl::layout::encode_control_entry(table, 1, pl::layout::kLanguage, "English");
  pl::layout::encode_control_entry(table + 60, 1, pl::layout::kTerritory, "UnitedStates");
  pl::layout::encode_control_entry(table + 120, 1, pl::layout::kCodeset, "Fuzzed");
  pl::layout::ContainerHeader header;
  header.section_count = 1;
  header.offset[0] = pl::layout::kHeaderSize;
  header.size[0] = sizeof table;
  uint8_t bytes[pl::layout::kHeaderSize];
  pl::layout::encode_header(header, bytes);
  FILE *control = std::fopen((dir + "/control.nls").c_str(), "wb");
  std::fwrite(bytes, 1, sizeof bytes, control);
  std::fwrite(table, 1, sizeof table, control);
  std::fclose(control);
  for (const char *name : {"/la_0001.nls", "/te_0001.nls", "/cp_0001.nls"})
    copy_file(std::string(POLYLOC_LOCALE_DIR) + name, dir + name + ".good");
  return dir;
}

void exercise_codeset(PLLocale *locale) {
  const pl::ControlEntry &codeset = *locale->codeset;
  for (uint32_t value : {0x41u, 0xE9u, 0x3000u, 0xFF21u, 0xD83DDE00u, 0xFFFDu}) {
    uint8_t bytes[4];
    size_t n = pl::to_bytes(codeset, value, bytes);
    if (n > 1) pl::to_unicode(codeset, bytes, n);
    pl::packed_to_unicode(codeset, pl::to_packed(codeset, value));
  }
  const uint8_t samples[][4] = {{0x81, 0x40, 0, 0}, {0x81, 0x30, 0x81, 0x30}, {0xE3, 0x81, 0x82, 0}, {0x8F, 0xA2, 0xAF, 0}};
  for (const auto &sample : samples) pl::to_unicode(codeset, sample, 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const std::string dir = make_directory();
  if (size < 1) return 0;
  int kind = data[0] % 3;
  char path[pl::kMaxPath];
  for (int k = 0; k < 3; ++k) {
    pl::data_file_path(dir.c_str(), k, 1, path);
    copy_file(std::string(path) + ".good", path);
  }
  pl::data_file_path(dir.c_str(), kind, 1, path);
  FILE *file = std::fopen(path, "wb");
  std::fwrite(data + 1, 1, size - 1, file);
  std::fclose(file);

  // Strict: a bad file is reported, never replaced by the built-in item.
  if (PLInit(dir.c_str(), nullptr, nullptr, nullptr, PL_INIT_STRICT) != PL_OK) return 0;
  int32_t code = 0;
  PLLocale *locale = PLGetLocale("English_UnitedStates.Fuzzed", 0, &code);
  if (locale != nullptr) {
    char text[64];
    PLUChar units[64];
    for (int32_t item = 1; item <= 90; ++item) {
      PLGetLocaleTextInfo(locale, item, text, sizeof text, 0);
      PLGetLocaleTextInfoEx(locale, item, text, 1, sizeof text, 0);
      PLGetLocaleTextInfoU(locale, item, units, 64, 0);
      PLGetLocaleNumInfo(locale, item, 1);
    }
    PLSetLocaleTextInfo(locale, PL_CURRENCY_SYMBOL, "\x81\x40\xE3\x81", -1, 0);
    exercise_codeset(locale);
    PLReleaseLocale(locale);
  }
  PLTerm();
  return 0;
}
