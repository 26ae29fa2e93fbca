#include "format/digits/big_unsigned.h"

namespace pl {

BigUnsigned::BigUnsigned(uint64_t value) : limbs_{}, size_(0) {
  limbs_[0] = static_cast<uint32_t>(value);
  limbs_[1] = static_cast<uint32_t>(value >> 32);
  size_ = 2;
  trim();
}

void BigUnsigned::trim() {
  while (size_ > 0 && limbs_[size_ - 1] == 0) --size_;
}

bool BigUnsigned::bit(size_t index) const {
  size_t limb = index / 32;
  return limb < size_ && ((limbs_[limb] >> (index % 32)) & 1u) != 0;
}

void BigUnsigned::shift_left(unsigned bits) {
  if (size_ == 0) return;
  size_t limb_shift = bits / 32;
  unsigned bit_shift = bits % 32;
  size_t top = size_ + limb_shift;  // the limb that receives the bits shifted out
  limbs_[top] = bit_shift == 0 ? 0 : limbs_[size_ - 1] >> (32 - bit_shift);
  for (size_t i = size_ - 1; i > 0; --i) {
    uint32_t high = limbs_[i] << bit_shift;
    uint32_t low = bit_shift == 0 ? 0 : limbs_[i - 1] >> (32 - bit_shift);
    limbs_[i + limb_shift] = high | low;
  }
  limbs_[limb_shift] = limbs_[0] << bit_shift;
  for (size_t i = 0; i < limb_shift; ++i) limbs_[i] = 0;
  size_ = top + 1;
  trim();
}

void BigUnsigned::multiply(uint32_t factor) {
  uint64_t carry = 0;
  for (size_t i = 0; i < size_; ++i) {
    uint64_t product = static_cast<uint64_t>(limbs_[i]) * factor + carry;
    limbs_[i] = static_cast<uint32_t>(product);
    carry = product >> 32;
  }
  if (carry != 0) limbs_[size_++] = static_cast<uint32_t>(carry);
}

void BigUnsigned::multiply_pow10(unsigned n) {
  constexpr uint32_t kPowers[10] = {1,      10,      100,      1000,      10000,
                                    100000, 1000000, 10000000, 100000000, 1000000000};
  for (; n >= 9; n -= 9) multiply(kPowers[9]);
  if (n > 0) multiply(kPowers[n]);
}

void BigUnsigned::shift_right_rounded(unsigned bits) {
  if (bits == 0 || size_ == 0) return;
  bool half = bit(bits - 1);
  bool below_half = false;
  size_t half_limb = (bits - 1) / 32;
  for (size_t i = 0; i < half_limb && i < size_ && !below_half; ++i) below_half = limbs_[i] != 0;
  if (!below_half && half_limb < size_) {
    uint32_t mask = (1u << ((bits - 1) % 32)) - 1;
    below_half = (limbs_[half_limb] & mask) != 0;
  }
  size_t limb_shift = bits / 32;
  unsigned bit_shift = bits % 32;
  if (limb_shift >= size_) {
    size_ = 0;
  } else {
    size_t kept = size_ - limb_shift;
    for (size_t i = 0; i < kept; ++i) {
      uint32_t low = limbs_[i + limb_shift] >> bit_shift;
      uint32_t high = bit_shift == 0 || i + limb_shift + 1 >= size_
                          ? 0
                          : limbs_[i + limb_shift + 1] << (32 - bit_shift);
      limbs_[i] = low | high;
    }
    size_ = kept;
    trim();
  }
  bool odd = size_ > 0 && (limbs_[0] & 1u) != 0;
  if (!half || (!below_half && !odd)) return;
  // Round up: add one with carry.
  for (size_t i = 0;; ++i) {
    if (i == size_) {
      limbs_[size_++] = 1;
      return;
    }
    if (++limbs_[i] != 0) return;
  }
}

uint128_t BigUnsigned::low_128() const {
  uint128_t value = 0;
  for (size_t i = size_ < 4 ? size_ : 4; i > 0; --i) value = value << 32 | limbs_[i - 1];
  return value;
}

uint32_t BigUnsigned::divide_by_billion() {
  constexpr uint64_t divisor = 1000000000;
  uint64_t remainder = 0;
  for (size_t i = size_; i > 0; --i) {
    uint64_t current = remainder << 32 | limbs_[i - 1];
    limbs_[i - 1] = static_cast<uint32_t>(current / divisor);
    remainder = current % divisor;
  }
  trim();
  return static_cast<uint32_t>(remainder);
}

}  // namespace pl
