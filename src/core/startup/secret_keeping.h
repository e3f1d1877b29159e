// Passwords live in this process's memory: keep them there, as password managers do on Linux.
#pragma once

namespace zepa2 {

// Makes the process not dumpable (no core file, no ptrace or /proc/PID/mem by another process of
// the same user) and sets its core size limit to 0. Called first thing in main().
void KeepSecretsInProcess();

}  // namespace zepa2
