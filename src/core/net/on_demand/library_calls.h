// Looking up the calls of a library opened with dlopen, for the on-demand stand-ins.
#pragma once

#include <dlfcn.h>

namespace zepa2::on_demand {

// Sets call to the library's function of that name; false when the library has none.
template <typename Call>
bool Find(void* library, const char* name, Call& call) {
  call = reinterpret_cast<Call>(dlsym(library, name));
  return call != nullptr;
}

}  // namespace zepa2::on_demand
