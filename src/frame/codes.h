// Internal spelling of the library's result codes (the public constants).
#pragma once

#include <cstdint>

#include "polyloc.h"

namespace pl {

using Code = int32_t;

}  // namespace pl
