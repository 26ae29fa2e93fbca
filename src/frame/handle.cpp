#include "frame/handle.h"

namespace pl {
namespace {
PLLocale g_unbound{};
}

PLLocale *resolve(PLLocale *locale) { return locale ? locale : &g_unbound; }

}  // namespace pl
