// How the string, mapping and comparison exports begin: resolve the handle and clear
// its error field, refuse flag bits outside the function's set and null strings with
// code 2. The byte forms need a bound handle for its code set; the U and W forms only
// report into whatever handle there is.
#pragma once

#include "charset/navigation/text_rules.h"
#include "frame/handle.h"

namespace pl {

class ElementCall {
 public:
  template <class... Pointers>
  ElementCall(PLLocale *locale, int32_t flags, int32_t allowed, Pointers... pointers)
      : handle_(enter(locale)) {
    ok_ = (flags & ~allowed) == 0 && ((pointers != nullptr) && ...);
    if (!ok_) handle_->last_error = PL_ERR_ARGUMENT;
  }

  explicit operator bool() const { return ok_; }
  PLLocale &handle() const { return *handle_; }
  void fail(int32_t code) const { handle_->last_error = code; }

 protected:
  PLLocale *handle_;
  bool ok_;
};

class StringCall : public ElementCall {
 public:
  template <class... Pointers>
  StringCall(PLLocale *locale, int32_t flags, int32_t allowed, Pointers... pointers)
      : StringCall(false, locale, flags, allowed, pointers...) {}

  const TextRules &rules() const { return rules_; }

 protected:
  template <class... Pointers>
  StringCall(bool ex_form, PLLocale *locale, int32_t flags, int32_t allowed, Pointers... pointers)
      : ElementCall(locale, flags, allowed, pointers...) {
    if (is_unbound(handle_)) {
      ok_ = false;
      fail(PL_ERR_ARGUMENT);
      return;
    }
    rules_ = text_rules(*handle_, ex_form);
  }

  TextRules rules_{nullptr, CharsetView(static_cast<const uint8_t *>(nullptr)), false, false};
};

// The Ex forms: the shift rule where the code set is stateful; elsewhere they are the
// base forms and their states mean nothing.
class ExCall : public StringCall {
 public:
  template <class... Pointers>
  ExCall(PLLocale *locale, int32_t flags, int32_t allowed, Pointers... pointers)
      : StringCall(true, locale, flags, allowed, pointers...) {}

  PLState state(PLState given) const { return rules_.shift_rule ? given : 0; }
};

}  // namespace pl
