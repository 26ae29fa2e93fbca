#include "locale_text.h"

bool Converter::to_locale(const std::string &text, std::string *out) const {
  int32_t length = static_cast<int32_t>(text.size());
  std::vector<char> bytes(text.size() * static_cast<size_t>(PLConversionRatio(locale_, utf8_)) + 2);
  PLState state = 0;
  PLInitState(locale_, &state);  // clears the error field the check below reads
  int32_t n = PLConvertString(locale_, bytes.data(), static_cast<int32_t>(bytes.size()), utf8_, text.data(),
                              length, PL_TERMINATE);
  bool whole = n > 0 && PLGetError(locale_) == PL_OK;
  out->assign(bytes.data(), whole ? static_cast<size_t>(n - 1) : 0);
  return whole;
}

std::vector<PLWChar> Converter::wide(const std::string &text) const {
  std::vector<PLWChar> chars(text.size() + 1);
  int32_t n = PLMbToWideEx(locale_, chars.data(), static_cast<int32_t>(chars.size()), text.data(), 0,
                           static_cast<int32_t>(text.size()), 0);
  chars.resize(n > 0 ? static_cast<size_t>(n) : 0);
  chars.push_back(0);
  return chars;
}

bool Converter::single_byte(const char *text, size_t length) const {
  std::string bytes;
  return to_locale(std::string(text, length), &bytes) && bytes.size() == 1;
}
