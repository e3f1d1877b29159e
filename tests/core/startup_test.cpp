// Start-up rules: the command line, the display check and the single-instance lock.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/startup/secret_keeping.h"
#include <sys/file.h>
#include <unistd.h>

#include "core/startup/command_line.h"
#include "core/startup/display.h"
#include "core/startup/instance_lock.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

TEST(CommandLineTest, OnlyEmbeddedOrAutomatedStartsSuppressTheSplash) {
  struct Case {
    std::vector<std::string> args;
    bool splash;
  };
  const Case cases[] = {
      {{}, true},
      {{"-Embedding"}, false},
      {{"/Embedding"}, false},
      {{"-Automation"}, false},
      {{"/automation"}, false},
      {{"--Embedding"}, true},  // not one of the switches
      {{"Embedding"}, true},
      {{"-Embeddings"}, true},
      {{"-"}, true},
      {{"/tmp/file", "-Automation"}, false},
      {{"-geometry", "100x100"}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplashAllowedByCommandLine(c.args), c.splash)
        << (c.args.empty() ? std::string("(none)") : c.args.back());
  }
}

TEST(DisplayTest, AnyOfTheThreeVariablesIsEnough) {
  test::ScopedEnv display("DISPLAY", ""), wayland("WAYLAND_DISPLAY", ""),
      platform("QT_QPA_PLATFORM", "");
  EXPECT_FALSE(DisplayConfigured());
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    test::ScopedEnv one(name, "x");
    EXPECT_TRUE(DisplayConfigured()) << name;
  }
}

TEST(InstanceLockTest, SecondHolderIsRefusedUntilTheFirstLetsGo) {
  test::TempDir dir;
  const auto file = dir / "ZEPA2.lock";
  {
    InstanceLock first;
    ASSERT_EQ(first.Acquire(file), InstanceLockResult::Acquired);
    InstanceLock second;  // its own open file description, as another process would have
    EXPECT_EQ(second.Acquire(file), InstanceLockResult::HeldByAnother);
    EXPECT_FALSE(second.held());
  }
  InstanceLock again;
  EXPECT_EQ(again.Acquire(file), InstanceLockResult::Acquired);
}

TEST(InstanceLockTest, LockOfAnotherProgramOnTheFileCountsAsHeld) {
  test::TempDir dir;
  const auto file = dir / "ZEPA2.lock";
  int fd = open(file.c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  InstanceLock lock;
  EXPECT_EQ(lock.Acquire(file), InstanceLockResult::HeldByAnother);
  close(fd);  // closing the descriptor is all it takes to release: nothing stale is left
  EXPECT_EQ(lock.Acquire(file), InstanceLockResult::Acquired);
}

TEST(InstanceLockTest, UnwritablePlaceIsReportedNotFatal) {
  InstanceLock lock;
  EXPECT_EQ(lock.Acquire("/proc/zepa2-no-such/ZEPA2.lock"), InstanceLockResult::CannotOpen);
}

TEST(InstanceLockTest, PathPrefersTheRuntimeFolderThenTheSettingsFolder) {
  test::ScopedEnv config("XDG_CONFIG_HOME", "/tmp/cfg");
  {
    test::ScopedEnv runtime("XDG_RUNTIME_DIR", "/run/user/1000");
    EXPECT_EQ(InstanceLockPath(), "/run/user/1000/ZEPA2.lock");
  }
  test::ScopedEnv runtime("XDG_RUNTIME_DIR", "");
  EXPECT_EQ(InstanceLockPath(), "/tmp/cfg/ZEPA/ZEPA2.lock");
}

}  // namespace
}  // namespace zepa2

namespace zepa2 {
namespace {

// In a child of its own, so the test program stays as it was.
TEST(SecretKeeping, TheProcessIsNotDumpableAndWritesNoCore) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    KeepSecretsInProcess();
    rlimit core{};
    ::getrlimit(RLIMIT_CORE, &core);
    ::_exit(::prctl(PR_GET_DUMPABLE) == 0 && core.rlim_cur == 0 && core.rlim_max == 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace zepa2
