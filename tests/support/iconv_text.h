// Text converted by glibc's iconv, for tests that compare with what it makes of a text.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace pltest {

// `text` converted from code set `from` to `to` (iconv's names); a failure is reported.
inline std::string iconv_text(const std::string &text, const char *from, const char *to) {
  iconv_t cd = iconv_open(to, from);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << from << " to " << to;
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out(text.size() * 4 + 8, '\0');
  char *in = const_cast<char *>(text.data()), *at = out.data();
  size_t in_left = text.size(), out_left = out.size();
  EXPECT_NE(iconv(cd, &in, &in_left, &at, &out_left), static_cast<size_t>(-1)) << text;
  iconv_close(cd);
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace pltest
