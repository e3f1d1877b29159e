#include "core/startup/secret_keeping.h"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace zepa2 {

void KeepSecretsInProcess() {
  ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
  const rlimit none{0, 0};
  ::setrlimit(RLIMIT_CORE, &none);
}

}  // namespace zepa2
