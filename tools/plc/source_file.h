// The text form of the locale data sources: UTF-8 lines of a key followed by values.
// A value is a number (decimal, 0x hexadecimal, or U+ hexadecimal for a UTF-16
// unit), a bare word (letters, digits and "-", starting with a letter), or a
// double-quoted string with the escapes \" \\ and \uXXXX. "#" starts a
// comment outside strings.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace plc {

struct Value {
  bool is_text = false;
  uint32_t number = 0;
  std::u16string text;  // UTF-16 form of a string value
};

struct Line {
  int number = 0;  // line number in the file, for messages
  std::string key;
  std::vector<Value> values;
};

class SourceFile {
 public:
  // Reads and tokenises `path`; on failure, error() says why.
  explicit SourceFile(const std::string &path);

  bool ok() const { return error_.empty(); }
  const std::string &error() const { return error_; }
  const std::string &path() const { return path_; }

  // Every line with `key`, in file order.
  std::vector<const Line *> all(const std::string &key) const;
  // The one line with `key`; records an error when it is missing or repeated.
  const Line *one(const std::string &key);
  // Accessors that check the shape of a line and record an error otherwise.
  uint32_t number(const Line *line, size_t index, uint32_t max);
  std::u16string text(const Line *line, size_t index);
  // Records an error for every key not in `known`.
  void reject_unknown_keys(const std::vector<std::string> &known);

  void fail(const Line *line, const std::string &message);

 private:
  bool parse_line(const std::string &raw, int number);

  std::string path_;
  std::string error_;
  std::vector<Line> lines_;
};

}  // namespace plc
