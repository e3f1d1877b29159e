// Lets a test run as root meet permission bits: drops the capabilities that override them.
#pragma once

namespace zepa2::test {

// For the life of the object the calling thread is without CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH
// and CAP_FOWNER in its effective set, so a folder of mode 0500 stops its writes as it would stop
// any user's. They stay permitted and come back at the end. ok() is false when they could not be
// dropped; the test then skips what needs it.
class ScopedPermissionBits {
 public:
  ScopedPermissionBits();
  ~ScopedPermissionBits();
  ScopedPermissionBits(const ScopedPermissionBits&) = delete;
  ScopedPermissionBits& operator=(const ScopedPermissionBits&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
  unsigned savedEffective_[2] = {0, 0};
};

}  // namespace zepa2::test
