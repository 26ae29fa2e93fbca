// plc: compiles the locale data sources into a locale directory.
//
//   plc SOURCE-DIR OUTPUT-DIR
//
// SOURCE-DIR/items.list names every item as "<kind> <number> <name>", kind being
// language, territory, codeset or collation; the item's source is
// SOURCE-DIR/<kind>s/<name>.txt (territories/ for territories). The output is
// "control.nls" and one data file per item.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "container_writer.h"
#include "item_compilers.h"
#include "locale/file_names.h"
#include "locale/layouts/control.h"

namespace {

struct Item {
  int line;
  uint8_t kind;
  uint16_t number;
  std::string name;
};

// The compilers of key-and-value sources, behind the common signature.
template <bool (*compile)(plc::SourceFile &, plc::Sections &)>
bool compile_key_values(const std::string &path, plc::Sections &out, std::string &error) {
  plc::SourceFile source(path);
  if (source.ok() && compile(source, out)) return true;
  error = source.error();
  return false;
}

// In the order of the kind numbers.
struct KindInfo {
  const char *word;
  const char *folder;
  bool (*compile)(const std::string &path, plc::Sections &out, std::string &error);
};

constexpr KindInfo kKinds[] = {
    {"language", "languages", compile_key_values<plc::compile_language>},
    {"territory", "territories", compile_key_values<plc::compile_territory>},
    {"codeset", "codesets", compile_key_values<plc::compile_codeset>},
    {"collation", "collations", plc::compile_collation},
};

int fail(const std::string &message) {
  std::fprintf(stderr, "plc: %s\n", message.c_str());
  return 1;
}

bool valid_name(const std::string &name) {
  return !name.empty() && name.size() < pl::layout::kEntryNameSize &&
         std::all_of(name.begin(), name.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

// Reads items.list; returns false with `error` set.
bool read_items(const std::string &path, std::vector<Item> &items, std::string &error) {
  std::ifstream in(path);
  if (!in) {
    error = path + ": cannot be read";
    return false;
  }
  std::string raw;
  for (int line = 1; std::getline(in, raw); ++line) {
    raw = raw.substr(0, raw.find('#'));
    std::istringstream words(raw);
    std::string kind, name, extra;
    long number = -1;
    if (!(words >> kind)) continue;
    auto where = path + ":" + std::to_string(line) + ": ";
    if (!(words >> number >> name) || (words >> extra)) {
      error = where + "expected \"<kind> <number> <name>\"";
      return false;
    }
    auto info = std::find_if(std::begin(kKinds), std::end(kKinds),
                             [&](const KindInfo &k) { return kind == k.word; });
    if (info == std::end(kKinds)) {
      error = where + "unknown kind \"" + kind + "\"";
      return false;
    }
    if (number < 0 || number > 0xFFFF || !valid_name(name)) {
      error = where + "the number must be 0..65535 and the name 1..35 printable ASCII characters";
      return false;
    }
    items.push_back({line, static_cast<uint8_t>(info - std::begin(kKinds)),
                     static_cast<uint16_t>(number), name});
  }
  std::stable_sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
    return a.kind != b.kind ? a.kind < b.kind : a.number < b.number;
  });
  for (size_t i = 1; i < items.size(); ++i) {
    if (items[i].kind == items[i - 1].kind && items[i].number == items[i - 1].number) {
      error = path + ":" + std::to_string(items[i].line) + ": number used twice for one kind";
      return false;
    }
  }
  return true;
}

plc::Section control_table(const std::vector<Item> &items) {
  plc::Section table(items.size() * pl::layout::kControlEntrySize, 0);
  for (size_t i = 0; i < items.size(); ++i)
    pl::layout::encode_control_entry(table.data() + i * pl::layout::kControlEntrySize,
                                     items[i].number, items[i].kind, items[i].name.c_str());
  return table;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: plc SOURCE-DIR OUTPUT-DIR\n");
    return 2;
  }
  std::string source_dir = argv[1], output_dir = argv[2];
  std::error_code made;
  std::filesystem::create_directories(output_dir, made);
  if (made) return fail(output_dir + ": " + made.message());

  std::vector<Item> items;
  std::string error;
  if (!read_items(source_dir + "/items.list", items, error)) return fail(error);
  for (const Item &item : items) {
    const KindInfo &info = kKinds[item.kind];
    plc::Sections sections;
    if (!info.compile(source_dir + "/" + info.folder + "/" + item.name + ".txt", sections, error))
      return fail(error);
    char path[pl::kMaxPath];
    if (!pl::data_file_path(output_dir.c_str(), item.kind, item.number, path))
      return fail(output_dir + ": the directory name is too long");
    if (!plc::write_container(path, sections, error)) return fail(error);
  }
  char control[pl::kMaxPath];
  if (!pl::control_file_path(output_dir.c_str(), control))
    return fail(output_dir + ": the directory name is too long");
  if (!plc::write_container(control, {control_table(items)}, error)) return fail(error);
  return 0;
}
