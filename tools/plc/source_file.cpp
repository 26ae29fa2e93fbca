#include "source_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace plc {
namespace {

// Appends the UTF-16 form of one code point.
void append_utf16(std::u16string &out, uint32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(cp));
  }
}

// Decodes one UTF-8 sequence at `i`; returns false when it is malformed.
bool next_code_point(const std::string &s, size_t &i, uint32_t &cp) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char lead = byte(i);
  int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2
            : (lead & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0 || i + extra >= s.size()) return false;
  cp = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  i += extra + 1;
  return cp <= 0x10FFFF;
}

}  // namespace

SourceFile::SourceFile(const std::string &path) : path_(path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error_ = path + ": cannot be read";
    return;
  }
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    if (!parse_line(raw, number)) return;
  }
}

bool SourceFile::parse_line(const std::string &raw, int number) {
  Line line;
  line.number = number;
  size_t i = 0;
  auto bad = [&](const std::string &why) {
    error_ = path_ + ":" + std::to_string(number) + ": " + why;
    return false;
  };
  while (true) {
    while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t' || raw[i] == '\r')) ++i;
    if (i >= raw.size() || raw[i] == '#') break;
    if (raw[i] == '"') {
      Value value;
      value.is_text = true;
      ++i;
      while (true) {
        if (i >= raw.size()) return bad("unterminated string");
        if (raw[i] == '"') {
          ++i;
          break;
        }
        uint32_t cp;
        if (raw[i] == '\\') {
          if (i + 1 >= raw.size()) return bad("unterminated escape");
          char e = raw[i + 1];
          if (e == '"' || e == '\\') {
            cp = static_cast<unsigned char>(e);
            i += 2;
          } else if (e == 'u' && i + 6 <= raw.size()) {
            cp = static_cast<uint32_t>(std::stoul(raw.substr(i + 2, 4), nullptr, 16));
            i += 6;
          } else {
            return bad("unknown escape");
          }
        } else if (!next_code_point(raw, i, cp)) {
          return bad("malformed UTF-8");
        }
        append_utf16(value.text, cp);
      }
      line.values.push_back(value);
      continue;
    }
    size_t end = i;
    while (end < raw.size() && raw[end] != ' ' && raw[end] != '\t' && raw[end] != '\r') ++end;
    std::string word = raw.substr(i, end - i);
    i = end;
    if (line.key.empty()) {
      line.key = word;
      continue;
    }
    Value value;
    int base = 10;
    std::string digits = word;
    if (word.rfind("0x", 0) == 0 || word.rfind("U+", 0) == 0) {
      base = 16;
      digits = word.substr(2);
    }
    size_t used = 0;
    unsigned long parsed = 0;
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), ::isxdigit)) {
      // A bare word such as utf-8 stands for itself.
      if (!std::isalpha(static_cast<unsigned char>(word[0])) ||
          !std::all_of(word.begin(), word.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-'; }))
        return bad("not a number or a word: " + word);
      value.is_text = true;
      for (char c : word) value.text.push_back(static_cast<char16_t>(c));
      line.values.push_back(value);
      continue;
    }
    parsed = std::stoul(digits, &used, base);
    if (used != digits.size() || parsed > 0xFFFFFFFFul) return bad("not a number: " + word);
    value.number = static_cast<uint32_t>(parsed);
    line.values.push_back(value);
  }
  if (!line.key.empty()) lines_.push_back(line);
  return true;
}

std::vector<const Line *> SourceFile::all(const std::string &key) const {
  std::vector<const Line *> found;
  for (const Line &line : lines_)
    if (line.key == key) found.push_back(&line);
  return found;
}

const Line *SourceFile::one(const std::string &key) {
  std::vector<const Line *> found = all(key);
  if (found.size() == 1) return found[0];
  if (ok()) error_ = path_ + ": \"" + key + "\" " + (found.empty() ? "is missing" : "is repeated");
  return nullptr;
}

void SourceFile::fail(const Line *line, const std::string &message) {
  if (!ok()) return;
  error_ = path_ + (line ? ":" + std::to_string(line->number) : std::string()) + ": " + message;
}

uint32_t SourceFile::number(const Line *line, size_t index, uint32_t max) {
  if (line == nullptr) return 0;
  if (index >= line->values.size() || line->values[index].is_text) {
    fail(line, "\"" + line->key + "\" needs a number here");
    return 0;
  }
  uint32_t value = line->values[index].number;
  if (value > max) fail(line, "\"" + line->key + "\" is out of range");
  return value;
}

std::u16string SourceFile::text(const Line *line, size_t index) {
  if (line == nullptr) return {};
  if (index >= line->values.size() || !line->values[index].is_text) {
    fail(line, "\"" + line->key + "\" needs a quoted string here");
    return {};
  }
  return line->values[index].text;
}

void SourceFile::reject_unknown_keys(const std::vector<std::string> &known) {
  for (const Line &line : lines_)
    if (std::find(known.begin(), known.end(), line.key) == known.end())
      fail(&line, "unknown key \"" + line.key + "\"");
}

}  // namespace plc
