#include "format/printf/argument_list.h"

#include "frame/memory.h"

namespace pl {
namespace {

// The value a callback returned, or false when the source has no such callback.
template <class R>
bool call(R (*function)(void *), void *context, uintptr_t *slot) {
  if (function == nullptr) return false;
  *slot = static_cast<uintptr_t>(function(context));
  return true;
}

template <class R>
bool call_pointer(R *(*function)(void *), void *context, uintptr_t *slot) {
  if (function == nullptr) return false;
  *slot = reinterpret_cast<uintptr_t>(function(context));
  return true;
}

}  // namespace

ArgumentList::~ArgumentList() {
  if (slots_ != nullptr) {
    for (size_t p = 0; p < count_; ++p)
      if (held_in_cell(kind(p))) release(reinterpret_cast<void *>(slots_[p]));
  }
  release(slots_);
  release(rows_);
}

bool ArgumentList::allocate(size_t count) {
  slots_ = create_array<uintptr_t>(count + 1);
  if (slots_ == nullptr) return false;
  rows_ = create_array<Row>(count + 1);
  if (rows_ == nullptr) {
    release(slots_);
    slots_ = nullptr;
    return false;
  }
  count_ = count;
  return true;
}

bool ArgumentList::put_cell(size_t p, const void *value) {
  void *cell = pl::allocate(8);
  if (cell == nullptr) return false;
  std::memcpy(cell, value, 8);
  slots_[p] = reinterpret_cast<uintptr_t>(cell);
  return true;
}

int32_t ArgumentList::fetch(va_list *args) {
  for (size_t p = 0; p < count_; ++p) {
    switch (kind(p)) {
      case ArgKind::kDouble: {
        double value = va_arg(*args, double);
        if (!put_cell(p, &value)) return PL_ERR_BUFFER_TOO_SMALL;
        break;
      }
      case ArgKind::kLongDouble: {
        // Printed as the double nearest to it.
        double value = static_cast<double>(va_arg(*args, long double));
        if (!put_cell(p, &value)) return PL_ERR_BUFFER_TOO_SMALL;
        break;
      }
      case ArgKind::kInt64: {
        int64_t value = va_arg(*args, int64_t);
        if (!put_cell(p, &value)) return PL_ERR_BUFFER_TOO_SMALL;
        break;
      }
      case ArgKind::kPointer:
      case ArgKind::kWideString:
      case ArgKind::kString:
      case ArgKind::kUnicodeString:
        slots_[p] = reinterpret_cast<uintptr_t>(va_arg(*args, void *));
        break;
      default:  // every integer and character kind is promoted to int
        slots_[p] = static_cast<uint32_t>(va_arg(*args, int));
        break;
    }
  }
  return PL_OK;
}

int32_t ArgumentList::fetch(const PLArgSource &source) {
  void *context = source.context;
  for (size_t p = 0; p < count_; ++p) {
    bool is_unsigned = rows_[p].is_unsigned != 0;
    uintptr_t *slot = &slots_[p];
    bool called = false;
    switch (kind(p)) {
      case ArgKind::kInt:
        called = is_unsigned ? call(source.getUnsignedInt, context, slot)
                             : call(source.getInt, context, slot);
        break;
      case ArgKind::kShort:
        called = is_unsigned ? call(source.getUnsignedShort, context, slot)
                             : call(source.getShort, context, slot);
        break;
      case ArgKind::kLong:
        called = is_unsigned ? call(source.getUnsignedLong, context, slot)
                             : call(source.getLong, context, slot);
        break;
      case ArgKind::kChar: called = call(source.getChar, context, slot); break;
      case ArgKind::kWideChar: called = call(source.getWideChar, context, slot); break;
      case ArgKind::kUnicodeChar: called = call(source.getUnicodeChar, context, slot); break;
      case ArgKind::kPointer: called = call_pointer(source.getPointer, context, slot); break;
      case ArgKind::kString: called = call_pointer(source.getString, context, slot); break;
      case ArgKind::kWideString:
        called = call_pointer(source.getWideString, context, slot);
        break;
      case ArgKind::kUnicodeString:
        called = call_pointer(source.getUnicodeString, context, slot);
        break;
      case ArgKind::kInt64: {
        auto get = is_unsigned ? nullptr : source.getInt64;
        uint64_t value = 0;
        if (is_unsigned && source.getUnsignedInt64 != nullptr)
          value = source.getUnsignedInt64(context);
        else if (get != nullptr)
          value = static_cast<uint64_t>(get(context));
        else
          return PL_ERR_ARGUMENT;
        if (!put_cell(p, &value)) return PL_ERR_BUFFER_TOO_SMALL;
        continue;
      }
      case ArgKind::kDouble:
      case ArgKind::kLongDouble: {
        double value;
        if (kind(p) == ArgKind::kDouble && source.getDouble != nullptr)
          value = source.getDouble(context);
        else if (kind(p) == ArgKind::kLongDouble && source.getLongDouble != nullptr)
          value = static_cast<double>(source.getLongDouble(context));
        else
          return PL_ERR_ARGUMENT;
        if (!put_cell(p, &value)) return PL_ERR_BUFFER_TOO_SMALL;
        continue;
      }
    }
    if (!called) return PL_ERR_ARGUMENT;
  }
  return PL_OK;
}

}  // namespace pl
