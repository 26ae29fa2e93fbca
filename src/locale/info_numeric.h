// Numeric information items.
#pragma once

#include "frame/codes.h"
#include "frame/handle.h"

namespace pl {

// The value of numeric item `item`: the handle's (source 0) or the territory
// record's (source 1). -1 with the code in the handle for a bad source (2) or an
// item that is not numeric (35).
int32_t get_numeric_item(PLLocale *handle, int32_t item, int32_t source);

// Changes numeric item `item`. 1 on success; 0 with the code in the handle: 35 for an
// item that cannot be set, 37 for a value out of range or an id with no entry, 20
// without memory.
int32_t set_numeric_item(PLLocale *handle, int32_t item, int32_t value);

}  // namespace pl
