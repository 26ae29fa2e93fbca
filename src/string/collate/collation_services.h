// What regular expressions ask of a collation: its two-unit collating elements, and the
// units that share a collating element's primary weight (equivalence classes).
#pragma once

#include <cstddef>
#include <cstdint>

#include "locale/control_entry.h"

namespace pl {

// A two-unit collating element as (first unit, second unit, 0).
using UnitTriple = uint16_t[3];

// The number of contractions of `collation` (null: none).
size_t collation_contraction_count(const ControlEntry *collation);

// Writes every contraction of `collation` as a triple, in table order, into `out`
// (room for collation_contraction_count triples); returns how many.
size_t list_collation_contractions(const ControlEntry &collation, UnitTriple *out);

// The units that collate equal at the primary level to the collating element `first`
// (or the contraction `first` `second` when `second` is not 0), written to `units`
// (room for 65536); the contractions of that class go to `triples` (room for
// collation_contraction_count), their number to `triple_count`. Without a collation,
// the element is only itself. Returns the number of units written.
size_t list_collation_equivalents(const ControlEntry *collation, uint16_t first, uint16_t second,
                                  uint16_t *units, size_t *triple_count, UnitTriple *triples);

}  // namespace pl
