#include "format/printf/argument_list.h"

#include "frame/memory.h"

namespace pl {
ArgumentList::~ArgumentList() {
  if (consumers_ != inline_consumers_) release(consumers_);
  if (slots_ != inline_slots_) release(slots_);
}

bool ArgumentList::reserve(size_t count) {
  if (count <= capacity_) return true;
  consumers_ = create_array<Consumer>(count);
  if (consumers_ == nullptr) {
    consumers_ = inline_consumers_;
    return false;
  }
  slots_ = create_array<Slot>(count);
  if (slots_ == nullptr) {
    release(consumers_);
    consumers_ = inline_consumers_;
    slots_ = inline_slots_;
    return false;
  }
  capacity_ = count;
  return true;
}

bool ArgumentList::settle(size_t count) {
  if (count == 1) consumers_[0].position = 0;
  for (size_t k = 0; k < count; ++k)
    if (consumers_[k].position < 0 || static_cast<size_t>(consumers_[k].position) >= count)
      return false;
  count_ = count;
  for (size_t p = 0; p < count; ++p) slots_[p] = Slot{0, ArgKind::kInt, false};
  for (size_t k = 0; k < count; ++k) {
    Slot &at = slots_[consumers_[k].position];
    at.kind = consumers_[k].kind;
    at.is_unsigned = consumers_[k].is_unsigned;
  }
  return true;
}

int32_t ArgumentList::fetch(va_list *args) {
  for (size_t p = 0; p < count_; ++p) slots_[p].bits = fetch_argument(args, slots_[p].kind);
  return PL_OK;
}

int32_t ArgumentList::fetch(const PLArgSource &source) {
  for (size_t p = 0; p < count_; ++p) {
    Slot &s = slots_[p];
    if (!fetch_argument(source, s.kind, s.is_unsigned, &s.bits)) return PL_ERR_ARGUMENT;
  }
  return PL_OK;
}

}  // namespace pl
