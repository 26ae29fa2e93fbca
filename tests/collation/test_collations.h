// The collations the collation tests compile (see synthetic_collation.h).
//
// "Test", all levels forward, defaults 05: a..z primaries 1000 + 10 × index, secondary
// and tertiary 05 (capitals tertiary 06, full-width forms 07 and 08); é/É secondary 06;
// Æ/æ expand to A E; "ch" and "CH" contract to 1025 (after c); "-" and "'" are special 0010 and
// 0011, "''" contracts to special 0030; U+0300 has only the default weights (no
// primary), U+0301 secondary 06; digits are 0800 + digit; U+4E00..U+4EFF an
// algorithmic primary page (8000 +), U+E000..U+E0FF an algorithmic special page
// (0100 +); every other page is ignored, and ß has no weights.
// "TestB": Test with backward secondaries, except x, whose record stays forward.
// "TestP": Test with backward primaries.
#pragma once

#include <vector>

#include "collation/synthetic_collation.h"

namespace pltest {

std::vector<SyntheticCollation> test_collations();

}  // namespace pltest
