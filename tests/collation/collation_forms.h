// Collation and sort keys of one UTF-16 text through each form of the interface: the
// code-set bytes (UTF-8 handles), UTF-16 units, or packed characters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "polyloc.h"

namespace pltest {

enum class Form { base, units, packed };
inline constexpr Form kForms[] = {Form::base, Form::units, Form::packed};

using Key = std::vector<uint8_t>;

// The text as packed characters of the handle's code set (UTF-8 bytes converted).
std::vector<PLWChar> packed(PLLocale *locale, const std::u16string &text);

// PLStrcoll, PLStrcollU or PLWcscoll of whole texts.
int32_t collate(PLLocale *locale, Form form, const std::u16string &a, const std::u16string &b,
                int32_t flags);
// The key through PLStrxfrm, PLStrxfrmU or PLWcsxfrm: its length asked first, then
// written into a buffer of exactly that size. Empty with a -1 result.
Key sort_key(PLLocale *locale, Form form, const std::u16string &text, int32_t flags);

// Unsigned bytes, a prefix first: -1, 0 or 1.
int compare_keys(const Key &a, const Key &b);
int sign(int64_t v);

// "10 00 0A" -> bytes.
Key hex_bytes(const std::string &hex);
// Bytes -> "10 00 0A", and UTF-16 text as "0061 2000", for messages.
std::string hex(const Key &bytes);
std::string hex(const std::u16string &text);

}  // namespace pltest
