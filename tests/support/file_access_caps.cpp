#include "support/file_access_caps.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <initializer_list>

namespace zepa2::test {
namespace {

bool GetCaps(__user_cap_data_struct (&data)[2]) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  return ::syscall(SYS_capget, &header, data) == 0;
}

bool SetCaps(__user_cap_data_struct (&data)[2]) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

ScopedPermissionBits::ScopedPermissionBits() {
  __user_cap_data_struct data[2]{};
  if (!GetCaps(data)) return;
  savedEffective_[0] = data[0].effective;
  savedEffective_[1] = data[1].effective;
  for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) data[0].effective &= ~(1u << cap);
  ok_ = SetCaps(data);
}

ScopedPermissionBits::~ScopedPermissionBits() {
  if (!ok_) return;
  __user_cap_data_struct data[2]{};
  if (!GetCaps(data)) return;
  data[0].effective = savedEffective_[0];
  data[1].effective = savedEffective_[1];
  SetCaps(data);
}

}  // namespace zepa2::test
