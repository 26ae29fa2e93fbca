// Read access to language and territory records. The loader has checked that every
// string offset lies inside the record and every string ends inside it.
#pragma once

#include <cstdint>

#include "frame/endian.h"
#include "locale/control_entry.h"
#include "locale/layouts/language.h"
#include "locale/layouts/territory.h"
#include "polyloc.h"

namespace pl::records {

class RecordView {
 public:
  explicit RecordView(const ControlEntry &entry) : record_(entry.section[0]) {}
  explicit RecordView(const uint8_t *record) : record_(record) {}

  uint16_t word(int index) const { return read_u16(record_ + 2 * index); }
  uint8_t byte(size_t offset) const { return record_[offset]; }
  // A string held at the byte offset in word `index`; the units may be unaligned, so
  // callers read them through unit().
  const uint8_t *string(int index) const { return record_ + word(index); }
  static PLUChar unit(const uint8_t *text, size_t i) { return read_u16(text + 2 * i); }
  // Units of a string, without its NUL.
  size_t string_length(int index) const {
    const uint8_t *text = string(index);
    size_t n = 0;
    while (unit(text, n) != 0) ++n;
    return n;
  }

 private:
  const uint8_t *record_;
};

}  // namespace pl::records
