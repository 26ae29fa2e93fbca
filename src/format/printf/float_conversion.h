// The text of the printf engine's floating conversions e, f and g (E and G through
// `upper_case`), built from two decimal expansions of |x| by a rounding of its own:
//
// - the digit string: the digits of "%.40f" without the point (all 40 fraction digits
//   below 1, leading zeros kept), rounded half-up by its own next digit with carry;
// - decpt, the point's place in it: from "%.16g" of |x|, its exponent + 1 when it is
//   written with one, else the characters before its point, less 1 below 1. So every
//   magnitude below 1 whose 16-digit rounding is at least 0.0001 (1 included) has 0,
//   and a magnitude of 1 or more whose 16-digit rounding reaches the next power of ten
//   gets that power's decpt, its text keeping the rule's extra integer digit.
//
// e:  first digit, point and P digits, exponent decpt - 1 as a sign and 3+ digits.
// f:  the string rounded to P + max(decpt, 0) digits; all but the last P before the
//     point ("0" when none). Rounding to 0 digits gives 1 when the first digit is 5+.
// g:  with X = decpt - 1, -1 <= X <= P - 1 writes the f layout with P fraction digits
//     (none when P is 1) and removes trailing fraction zeros and a bare point; else
//     the e layout rounded to P + 1 digits (1 when P is 1) of which P are written,
//     the exponent counting a carry of that rounding. Zeros stay there.
//
// Choices where the digit rules say nothing:
// - Exponent notation below 1 (every e, and g outside fixed notation) starts at the
//   first significant digit with the true exponent: the digit string is the 40
//   digits of "%.39e" and decpt its exponent + 1 (0.00001 e/6 is 1.000000e-005,
//   0.05 is 5.000000e-002). From 0.1 up to 1 that is the same string and decpt.
//   Zero writes 0.000000e+000 in e form.
// - EBCDIC text takes decpt by the same rule as ASCII text.
// - Infinities write inf, NaN nan (INF, NAN upper case), negative infinity with a
//   minus, in the encoding's letters. Only x < 0 writes a minus, so -0.0 has none.
// - g with P = 1 in fixed notation writes no fraction digit: 0.5 gives 0, 2.5 gives 2.
// - Precision: a negative one counts as 0, g takes 0 as 1. Digits stop at 347: the f
//   layout and fixed g keep at most 347 - max(decpt, 0) fraction digits, exponent
//   layouts at most 346; so the text stays under 360 bytes.
#pragma once

#include <cstddef>

namespace pl {

inline constexpr size_t kFloatTextCapacity = 512;

// Writes the text of `value` for `conversion` ('e', 'f' or 'g') into `out`
// (kFloatTextCapacity bytes), in ASCII or EBCDIC glyphs, with a terminating 0;
// returns its length.
size_t format_double(double value, char *out, char conversion, int precision,
                     bool upper_case, bool ascii_based);

}  // namespace pl
