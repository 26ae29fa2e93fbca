// Collation elements of a UTF-16 unit sequence, one at a time. The units come from a
// source with one `next()` (a unit, or -1 at the end), so that text of any form is
// read without being converted first.
#pragma once

#include <cstdint>

#include "string/collate/collation_view.h"

namespace pl {

template <class Units>
class ElementStream {
 public:
  ElementStream(const CollationView &view, Units units) : view_(view), units_(units) {}

  // The next element; false at the end of the text.
  bool next(Element &e) {
    if (pending_) {
      pending_ = false;
      e = second_;
      return true;
    }
    for (;;) {
      int32_t u = take();
      if (u < 0) return false;
      ++consumed_;
      if (fetch(static_cast<uint16_t>(u), e)) return true;
    }
  }

  // The 1-based index of the last unit the last element consumed.
  uint32_t position() const { return consumed_; }

 private:
  int32_t take() {
    if (held_ >= 0) {
      int32_t u = held_;
      held_ = -1;
      return u;
    }
    return units_.next();
  }

  // The contraction of `u` and the unit after it, consuming that unit on a match.
  bool contract(uint16_t u, Element &e) {
    int32_t second = take();
    if (second < 0) return false;
    if (view_.contraction(u, static_cast<uint16_t>(second), e)) {
      ++consumed_;
      return true;
    }
    held_ = second;
    return false;
  }

  // The element(s) of `u`; false when it has none.
  bool fetch(uint16_t u, Element &e) {
    namespace c = layout::collation;
    bool hinted = view_.hinted();
    if (!hinted && view_.contraction_count() != 0 && contract(u, e)) return true;
    CollationView::Page page = view_.page(static_cast<uint8_t>(u >> 8));
    uint8_t low = static_cast<uint8_t>(u);
    if ((page.flags & c::kPageIgnored) != 0) return false;
    if ((page.flags & c::kPageAlgorithmicPrimary) != 0) {
      e = {static_cast<uint16_t>(page.value + low), 0, 0, 0, page.order};
      return true;
    }
    if ((page.flags & c::kPageAlgorithmicSpecial) != 0) {
      e = {0, 0, 0, static_cast<uint16_t>(page.value + low), page.order};
      return true;
    }
    CollationView::Record r = view_.record(page, low);
    if (hinted && (r.flags & c::kRecordStartsContraction) != 0 && contract(u, e)) return true;
    uint8_t order = c::order_bits(r.flags);
    if ((r.flags & c::kRecordExpansion) != 0) {
      const uint8_t *x = view_.expansion(u, r);
      if (x == nullptr) return false;
      e = {read_u16(x + c::kExpansionPrimary1), x[c::kExpansionSecondary1],
           x[c::kExpansionTertiary1], 0, order};
      second_ = {read_u16(x + c::kExpansionPrimary2), x[c::kExpansionSecondary2],
                 x[c::kExpansionTertiary2], 0, order};
      pending_ = true;
      return true;
    }
    if ((r.flags & c::kRecordSpecial) != 0) e = {0, 0, 0, r.weight, order};
    else e = {r.weight, r.secondary, r.tertiary, 0, order};
    return true;
  }

  const CollationView &view_;
  Units units_;
  int32_t held_ = -1;  // a unit read ahead for a contraction that did not match
  uint32_t consumed_ = 0;
  Element second_{};
  bool pending_ = false;
};

}  // namespace pl
