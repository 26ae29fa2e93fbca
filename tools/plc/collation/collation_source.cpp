// A collation source is applied in three steps: its base, read whole; the remaps, on
// everything the base gave; then its own settings and unit lines in file order.
#include "collation/collation_source.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "collation/source_line.h"

namespace plc::collation {
namespace {

struct NumberedLine {
  int number;
  SourceLine line;
};

// A remap of one level: weight -> replacement, every pair applied at once.
using Remap = std::map<uint8_t, uint8_t>;

void apply_remap(Element &e, const Remap &secondary, const Remap &tertiary) {
  if (e.special) return;
  if (auto it = secondary.find(e.secondary); it != secondary.end()) e.secondary = it->second;
  if (auto it = tertiary.find(e.tertiary); it != tertiary.end()) e.tertiary = it->second;
}

void apply_remaps(CollationSource &out, const Remap &secondary, const Remap &tertiary) {
  if (secondary.empty() && tertiary.empty()) return;
  for (UnitElements &unit : out.units)
    for (int i = 0; i < unit.count; ++i) apply_remap(unit.element[i], secondary, tertiary);
  for (auto &[pair, e] : out.contractions) apply_remap(e, secondary, tertiary);
}

void apply_unit_line(CollationSource &out, const SourceLine &line) {
  switch (line.kind) {
    case LineKind::unit: out.units[line.first] = line.elements; break;
    case LineKind::range:
      for (uint32_t u = line.first; u <= line.last; ++u) {
        UnitElements &unit = out.units[u];
        unit = UnitElements();
        unit.count = 1;
        unit.element[0].weight = static_cast<uint16_t>(line.elements.element[0].weight + (u - line.first));
      }
      break;
    case LineKind::contraction:
      if (line.elements.count == 0)
        out.contractions.erase({line.first, line.last});
      else
        out.contractions[{line.first, line.last}] = line.elements.element[0];
      break;
    default: break;
  }
}

class Reader {
 public:
  Reader(const std::string &path, std::string &error) : error_(error) {
    reading_.push_back(identity(path));
  }

  bool read(const std::string &path, CollationSource &out);

 private:
  bool fail(const std::string &path, int line, const std::string &message) {
    error_ = path + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + message;
    return false;
  }
  bool read_lines(const std::string &path, std::vector<NumberedLine> &lines);
  static std::filesystem::path identity(const std::filesystem::path &path) {
    std::error_code ignored;
    return std::filesystem::weakly_canonical(path, ignored);
  }

  std::string &error_;
  std::vector<std::filesystem::path> reading_;  // the chain of bases being read
};

bool Reader::read_lines(const std::string &path, std::vector<NumberedLine> &lines) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return fail(path, 0, "cannot be read");
  std::string raw, message;
  bool units_begun = false;
  std::vector<LineKind> directives_seen;
  for (int number = 1; std::getline(in, raw); ++number) {
    SourceLine line;
    if (!parse_source_line(raw, line, message)) return fail(path, number, message);
    bool is_unit_line = line.kind == LineKind::unit || line.kind == LineKind::range ||
                        line.kind == LineKind::contraction;
    bool repeats = line.kind == LineKind::remap_secondary || line.kind == LineKind::remap_tertiary;
    if (line.kind == LineKind::blank) continue;
    if (is_unit_line) {
      units_begun = true;
    } else if (!repeats) {
      if (units_begun) return fail(path, number, "settings come before the unit lines");
      if (std::find(directives_seen.begin(), directives_seen.end(), line.kind) != directives_seen.end())
        return fail(path, number, "this setting is given twice");
      directives_seen.push_back(line.kind);
    }
    lines.push_back({number, std::move(line)});
  }
  return true;
}

bool Reader::read(const std::string &path, CollationSource &out) {
  std::vector<NumberedLine> lines;
  if (!read_lines(path, lines)) return false;
  auto base = std::find_if(lines.begin(), lines.end(),
                           [](const NumberedLine &l) { return l.line.kind == LineKind::base; });
  if (base != lines.end()) {
    std::filesystem::path base_path =
        std::filesystem::path(path).parent_path() / (base->line.name + ".txt");
    std::filesystem::path base_identity = identity(base_path);
    if (std::find(reading_.begin(), reading_.end(), base_identity) != reading_.end())
      return fail(path, base->number, "base " + base->line.name + " leads back to this collation");
    reading_.push_back(base_identity);
    bool read_base = read(base_path.string(), out);
    reading_.pop_back();
    if (!read_base) return false;
  }

  Remap secondary, tertiary;
  for (const NumberedLine &l : lines) {
    bool is_secondary = l.line.kind == LineKind::remap_secondary;
    if (!is_secondary && l.line.kind != LineKind::remap_tertiary) continue;
    if (base == lines.end()) return fail(path, l.number, "a remap needs a base to apply to");
    Remap &remap = is_secondary ? secondary : tertiary;
    if (!remap.emplace(l.line.value, l.line.new_value).second)
      return fail(path, l.number, "this weight is already remapped");
  }
  apply_remaps(out, secondary, tertiary);

  for (const NumberedLine &l : lines) {
    switch (l.line.kind) {
      case LineKind::default_secondary: out.default_secondary = l.line.value; break;
      case LineKind::default_tertiary: out.default_tertiary = l.line.value; break;
      case LineKind::order_bits: out.order_bits = l.line.value; break;
      default: apply_unit_line(out, l.line); break;
    }
  }
  if (out.default_secondary == 0 || out.default_tertiary == 0)
    return fail(path, 0, "default-secondary and default-tertiary are needed without a base");
  return true;
}

}  // namespace

bool read_collation_source(const std::string &path, CollationSource &out, std::string &error) {
  out = CollationSource();
  Reader reader(path, error);
  return reader.read(path, out);
}

}  // namespace plc::collation
