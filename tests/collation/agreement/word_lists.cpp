// Words are drawn from std::mt19937 seeded with kSeed plus a per-language offset. The
// standard fixes that engine's output sequence, and the draws map its raw 32-bit
// output to a range by multiply-and-shift (no std distribution, whose results differ
// between library versions), so every build produces the same lists.
#include "word_lists.h"

#include <cstdint>
#include <random>
#include <unordered_set>

namespace plcoll {
namespace {

constexpr uint32_t kSeed = 20240601;

class Draw {
 public:
  explicit Draw(uint32_t seed) : engine_(seed) {}
  // Uniform in [0, n) for n > 0.
  uint32_t below(uint32_t n) { return static_cast<uint32_t>((uint64_t{engine_()} * n) >> 32); }
  bool percent(uint32_t p) { return below(100) < p; }
  char16_t from(std::u16string_view set) { return set[below(static_cast<uint32_t>(set.size()))]; }

 private:
  std::mt19937 engine_;
};

enum class Script { latin, japanese, chinese };

struct Repertoire {
  const char *language;
  Script script;
  std::u16string_view letters;   // the plain letters of the alphabet
  std::u16string_view specials;  // accented and special letters, drawn more often
  std::vector<std::u16string_view> clusters;  // multi-letter units, drawn as one
  bool dotted_i;  // Turkish casing: i/İ and ı/I
};

const std::vector<Repertoire> &repertoires() {
  static const std::vector<Repertoire> table = {
      {"English", Script::latin, u"abcdefghijklmnopqrstuvwxyz", u"éèçïôæœ", {}, false},
      {"German", Script::latin, u"abcdefghijklmnopqrstuvwxyz", u"äöüß", {u"sch", u"ch"}, false},
      {"French", Script::latin, u"abcdefghijklmnopqrstuvwxyz", u"éèêëçœàâîïôùûüÿ", {}, false},
      {"Spanish", Script::latin, u"abcdefghijklmnopqrstuvwxyz", u"ñáéíóúü", {u"ch", u"ll", u"rr"}, false},
      {"TraditionalSpanish", Script::latin, u"abcdefghijklmnopqrstuvwxyz", u"ñáéíóúü",
       {u"ch", u"ll", u"rr"}, false},
      {"Swedish", Script::latin, u"abcdefghijklmnopqrstuvwxyz", u"åäöéü", {}, false},
      {"Danish", Script::latin, u"abcdefghijklmnopqrstuvwxyz", u"æøåé", {u"aa"}, false},
      {"Czech", Script::latin, u"abcdefghijklmnopqrstuvwxyz", u"áčďéěíňóřšťúůýž", {u"ch"}, false},
      {"Polish", Script::latin, u"abcdefghijklmnopqrstuvwxyz", u"ąćęłńóśźż", {}, false},
      {"Turkish", Script::latin, u"abcdefghijklmnoprstuvyz", u"çğıöşüâî", {}, true},
      {"Japanese", Script::japanese, u"abcdefghijklmnopqrstuvwxyz", u"", {}, false},
      {"Chinese", Script::chinese, u"abcdefghijklmnopqrstuvwxyz", u"", {}, false},
  };
  return table;
}

// Uppercase of the non-ASCII lowercase letters above; ß has no single-letter
// uppercase in common use and stays as it is.
constexpr std::u16string_view kLower = u"àáâäæçèéêëíîïñóôöøùúûüýÿœåčďěňřšťůžąćęłńśźżğş";
constexpr std::u16string_view kUpper = u"ÀÁÂÄÆÇÈÉÊËÍÎÏÑÓÔÖØÙÚÛÜÝŸŒÅČĎĚŇŘŠŤŮŽĄĆĘŁŃŚŹŻĞŞ";
static_assert(kLower.size() == kUpper.size());

char16_t upper(char16_t c, bool dotted_i) {
  if (dotted_i && c == u'i') return u'İ';
  if (dotted_i && c == u'ı') return u'I';
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  size_t at = kLower.find(c);
  return at == std::u16string_view::npos ? c : kUpper[at];
}

char16_t lower(char16_t c, bool dotted_i) {
  if (dotted_i && c == u'İ') return u'i';
  if (dotted_i && c == u'I') return u'ı';
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
  size_t at = kUpper.find(c);
  return at == std::u16string_view::npos ? c : kLower[at];
}

constexpr std::u16string_view kDigits = u"0123456789";
constexpr std::u16string_view kMarks = u"-'. ";

constexpr std::u16string_view kHiragana =
    u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
    u"がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ";
constexpr std::u16string_view kSmallHiragana = u"ぁぃぅぇぉっゃゅょゎ";
constexpr std::u16string_view kKatakana =
    u"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン"
    u"ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポヴ";
constexpr std::u16string_view kSmallKatakana = u"ァィゥェォッャュョヮ";
constexpr std::u16string_view kKanji =
    u"日本人大年中出上下国生学時行見月分後前間東京都市会社長手自気事部子山川田書語文高新小金円万"
    u"電話車水木花雨空海町村駅店名野原森林石島橋口入外内方食物読先今明白赤青";
constexpr std::u16string_view kHanzi =
    u"的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下以生会自着去之过家学"
    u"对可她里后小么心多天而能好都然没日于起还发成事只作当想看文无开手十用主行方又如前所本见经头"
    u"面公同三已老从动两长知民样现分将外但身些与高意进把法此实回二理美点月明其种声全工己话儿者向"
    u"情部正名定女问力机给等几很业最间新什打便位因重被走电四第门相次东政海口使教西再平真听世气信"
    u"北少关并内加化由却代军产入先山五太水万市眼体别处总才场师书比住员九笑性通目华报立马命张活难";

class WordMaker {
 public:
  WordMaker(const Repertoire &r, uint32_t seed) : r_(r), draw_(seed) {}

  std::u16string next(const std::vector<std::u16string> &made) {
    if (made.size() >= 100 && draw_.percent(35)) {
      return variant(made[draw_.below(static_cast<uint32_t>(made.size()))]);
    }
    switch (r_.script) {
      case Script::japanese: return japanese();
      case Script::chinese: return chinese();
      case Script::latin: break;
    }
    return latin();
  }

 private:
  // Letters with the odd mark between them, a digit run now and then, in one of
  // four casings.
  std::u16string latin() {
    std::u16string word;
    if (draw_.percent(4)) word += digits();
    uint32_t pieces = 1 + draw_.below(6) + draw_.below(5);
    for (uint32_t i = 0; i < pieces; ++i) {
      if (i > 0 && draw_.percent(5)) word += draw_.from(kMarks);
      word += letter();
    }
    if (draw_.percent(4)) word += digits();
    if (draw_.percent(2)) word += u'.';
    return cased(word);
  }

  std::u16string letter() {
    uint32_t roll = draw_.below(100);
    if (roll < 8 && !r_.clusters.empty()) {
      return std::u16string(r_.clusters[draw_.below(static_cast<uint32_t>(r_.clusters.size()))]);
    }
    if (roll < 26 && !r_.specials.empty()) return std::u16string(1, draw_.from(r_.specials));
    return std::u16string(1, draw_.from(r_.letters));
  }

  std::u16string digits() {
    std::u16string run;
    for (uint32_t n = 1 + draw_.below(4); n > 0; --n) run += draw_.from(kDigits);
    return run;
  }

  std::u16string cased(std::u16string word) {
    uint32_t roll = draw_.below(100);
    if (roll < 55) return word;
    if (roll < 80) {
      word[0] = upper(word[0], r_.dotted_i);
    } else if (roll < 92) {
      for (char16_t &c : word) c = upper(c, r_.dotted_i);
    } else {
      char16_t &c = word[draw_.below(static_cast<uint32_t>(word.size()))];
      c = upper(c, r_.dotted_i);
    }
    return word;
  }

  std::u16string kana(std::u16string_view large, std::u16string_view small, bool long_marks) {
    std::u16string word;
    for (uint32_t n = 1 + draw_.below(6); n > 0; --n) {
      word += draw_.from(large);
      if (draw_.percent(12)) word += draw_.from(small);
      if (long_marks && draw_.percent(15)) word += u'ー';
    }
    return word;
  }

  std::u16string ideographs(std::u16string_view set, uint32_t most) {
    std::u16string word;
    for (uint32_t n = 1 + draw_.below(most); n > 0; --n) word += draw_.from(set);
    return word;
  }

  std::u16string japanese() {
    uint32_t roll = draw_.below(100);
    if (roll < 30) return kana(kHiragana, kSmallHiragana, false);
    if (roll < 60) return kana(kKatakana, kSmallKatakana, true);
    if (roll < 85) {
      std::u16string word = ideographs(kKanji, 3);
      if (draw_.percent(40)) word += kana(kHiragana, kSmallHiragana, false).substr(0, 2);
      return word;
    }
    if (roll < 93) return kana(kKatakana, kSmallKatakana, true) + ideographs(kKanji, 2);
    if (roll < 97) return digits() + ideographs(kKanji, 1);
    return latin();
  }

  std::u16string chinese() {
    uint32_t roll = draw_.below(100);
    if (roll < 80) return ideographs(kHanzi, 4);
    if (roll < 90) return digits() + ideographs(kHanzi, 2);
    return latin();
  }

  // One change to an earlier word: a letter's case, a letter or kana swapped for a
  // neighbour of it, a mark inserted, a unit dropped or added.
  std::u16string variant(std::u16string word) {
    uint32_t at = draw_.below(static_cast<uint32_t>(word.size()));
    char16_t &c = word[at];
    switch (draw_.below(5)) {
      case 0:
        c = upper(c, r_.dotted_i) != c ? upper(c, r_.dotted_i) : lower(c, r_.dotted_i);
        break;
      case 1:
        c = swapped(c);
        break;
      case 2:
        word.insert(at + 1, 1, draw_.from(kMarks));
        break;
      case 3:
        if (word.size() > 1) word.erase(at, 1);
        break;
      default:
        word += r_.script == Script::latin ? letter() : std::u16string(1, swapped(word.back()));
        break;
    }
    return word;
  }

  // Kana flip between hiragana and katakana and between small and large forms;
  // other letters become a random letter of the repertoire, often a special one.
  char16_t swapped(char16_t c) {
    bool hiragana = c >= u'ぁ' && c <= u'ゖ', katakana = c >= u'ァ' && c <= u'ヶ';
    if (hiragana || katakana) {
      std::u16string_view small = hiragana ? kSmallHiragana : kSmallKatakana;
      if (small.find(c) != std::u16string_view::npos) return static_cast<char16_t>(c + 1);
      if (small.find(static_cast<char16_t>(c - 1)) != std::u16string_view::npos && draw_.percent(50))
        return static_cast<char16_t>(c - 1);
      return static_cast<char16_t>(hiragana ? c + 0x60 : c - 0x60);
    }
    if (r_.script == Script::japanese) return draw_.from(kKanji);
    if (r_.script == Script::chinese) return draw_.from(kHanzi);
    return letter()[0];
  }

  const Repertoire &r_;
  Draw draw_;
};

uint32_t name_offset(std::string_view name) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}

}  // namespace

const std::vector<Language> &languages() {
  static const std::vector<Language> table = {
      {"English", "en", "English_UnitedStates.UTF-8", {}},
      {"German", "de", "German_Germany.UTF-8", {}},
      {"French", "fr", "French_France.UTF-8", {}},
      {"Spanish", "es", "Spanish_Spain.UTF-8", {}},
      {"TraditionalSpanish", "es@collation=traditional", "Spanish_Spain.UTF-8@TraditionalSpanish",
       {u"ch", u"ll"}},
      {"Swedish", "sv", "Swedish_Sweden.UTF-8", {}},
      {"Danish", "da", "Danish_Denmark.UTF-8", {u"aa"}},
      {"Czech", "cs", "Czech_CzechRepublic.UTF-8", {u"ch"}},
      {"Polish", "pl", "Polish_Poland.UTF-8", {}},
      {"Turkish", "tr", "Turkish_Turkey.UTF-8", {}},
      {"Japanese", "ja", "Japanese_Japan.UTF-8", {}},
      {"Chinese", "zh", "SimplifiedChinese_China.UTF-8", {}},
  };
  return table;
}

const Language *find_language(std::string_view name) {
  for (const Language &l : languages())
    if (name == l.name) return &l;
  return nullptr;
}

std::vector<std::u16string> make_word_list(std::string_view language, size_t count) {
  std::vector<std::u16string> words;
  for (const Repertoire &r : repertoires()) {
    if (language != r.language) continue;
    WordMaker maker(r, kSeed + name_offset(language));
    std::unordered_set<std::u16string> seen;
    while (words.size() < count) {
      std::u16string word = maker.next(words);
      if (seen.insert(word).second) words.push_back(std::move(word));
    }
  }
  return words;
}

}  // namespace plcoll
