#include "frame/process.h"

namespace pl {

Process &process() {
  static Process state{};
  return state;
}

}  // namespace pl
