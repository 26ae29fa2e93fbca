// polyloc convert on a large generated file: UTF-8 to MS932 and GB18030 and back
// gives the input unchanged, and the encoded file equals glibc iconv's output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "../conversion/iconv_oracle.h"
#include "support/locale_dir.h"

namespace {

using Bytes = std::vector<uint8_t>;

int run(const std::string &command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// About `size` bytes of UTF-8 text made of characters that survive a round trip
// through `codeset` in iconv.
Bytes generated_text(const std::string &codeset, size_t size) {
  pltest::Iconv out(codeset, "UTF-32LE"), back("UTF-32LE", codeset);
  std::vector<uint32_t> repertoire;
  for (uint32_t cp = 0x20; cp < 0x10000; ++cp) {
    if ((cp >= 0x7F && cp < 0xA0) || (cp >= 0xD800 && cp <= 0xDFFF)) continue;
    if (cp > 0x7F && cp % 3 != 0) continue;
    Bytes utf32 = {static_cast<uint8_t>(cp), static_cast<uint8_t>(cp >> 8), 0, 0};
    pltest::Iconv::Output encoded = out.convert(utf32);
    if (encoded.status != pltest::Iconv::Status::kComplete || encoded.bytes.empty()) continue;
    if (back.convert(encoded.bytes).bytes == utf32) repertoire.push_back(cp);
  }
  pltest::Iconv to_utf8("UTF-8", "UTF-32LE");
  std::mt19937 random(99);
  Bytes text;
  while (text.size() < size) {
    Bytes line;
    for (int i = 0; i < 60; ++i) {
      uint32_t cp = random() % 3 == 0 ? 0x20 + random() % 0x5F
                                      : repertoire[random() % repertoire.size()];
      line.insert(line.end(), {static_cast<uint8_t>(cp), static_cast<uint8_t>(cp >> 8), 0, 0});
    }
    line.insert(line.end(), {'\n', 0, 0, 0});
    Bytes utf8 = to_utf8.convert(line).bytes;
    text.insert(text.end(), utf8.begin(), utf8.end());
  }
  return text;
}

Bytes iconv_whole(const std::string &to, const Bytes &text) {
  iconv_t cd = iconv_open(to.c_str(), "UTF-8");
  Bytes out(text.size() * 2 + 16);
  char *in = const_cast<char *>(reinterpret_cast<const char *>(text.data()));
  size_t in_left = text.size();
  char *at = reinterpret_cast<char *>(out.data());
  size_t out_left = out.size();
  EXPECT_NE(iconv(cd, &in, &in_left, &at, &out_left), static_cast<size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - out_left);
  return out;
}

void round_trip(const std::string &ours, const std::string &theirs) {
  pltest::TempDir dir;
  Bytes text = generated_text(theirs, 3 * 1024 * 1024 + 17);
  pltest::write_bytes(dir.file("in.txt"), text);
  std::string cli = std::string(POLYLOC_CLI) + " convert --dir " + pltest::built_locale_dir();
  ASSERT_EQ(run(cli + " -f UTF-8 -t " + ours + " " + dir.file("in.txt") + " > " +
                dir.file("encoded")),
            0);
  Bytes encoded = pltest::read_bytes(dir.file("encoded"));
  EXPECT_TRUE(encoded == iconv_whole(theirs, text)) << ours << " differs from iconv";
  // Back through standard input.
  ASSERT_EQ(run(cli + " -f " + ours + " -t UTF-8 < " + dir.file("encoded") + " > " +
                dir.file("back")),
            0);
  EXPECT_TRUE(pltest::read_bytes(dir.file("back")) == text) << ours << " round trip";
}

TEST(ConvertCommand, Ms932RoundTripMatchesIconv) { round_trip("MS932", "CP932"); }
TEST(ConvertCommand, Gb18030RoundTripMatchesIconv) { round_trip("GB18030", "GB18030"); }

TEST(ConvertCommand, ReportsReplacements) {
  pltest::TempDir dir;
  pltest::write_bytes(dir.file("in.txt"), {'a', 0xE2, 0x82, 0xAC, 'b', 0xE2, 0x82, 0xAC});
  std::string cli = std::string(POLYLOC_CLI) + " convert --dir " + pltest::built_locale_dir() +
                    " -f UTF-8 -t ISO-8859-5 " + dir.file("in.txt");
  EXPECT_EQ(run(cli + " > " + dir.file("out") + " 2> " + dir.file("err")), 1);
  Bytes err = pltest::read_bytes(dir.file("err"));
  std::string message(err.begin(), err.end());
  EXPECT_NE(message.find("2 character"), std::string::npos) << message;
  EXPECT_NE(message.find("byte 1 "), std::string::npos) << message;
  EXPECT_TRUE(pltest::read_bytes(dir.file("out")) == (Bytes{'a', '?', 'b', '?'}));
  EXPECT_EQ(run(cli + " --replace > " + dir.file("out")), 0);
  EXPECT_EQ(run(std::string(POLYLOC_CLI) + " convert -f UTF-8 2> /dev/null"), 2);
}

}  // namespace
