#pragma once

// Runs work in a child process as another user, for the tests that check
// what one user can do to another's files. Only root can; the callers skip
// with the reason otherwise.

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace parcelo::testing {

inline constexpr uid_t kOtherUserId = 40000;

inline bool CanActAsOtherUser() { return geteuid() == 0; }

// Returns the child's exit status: what `work` returned, or -1 when the
// child could not become the other user or did not end normally.
inline int RunAsOtherUser(const std::function<int()>& work) {
  const pid_t child = fork();
  if (child == 0) {
    if (setgroups(0, nullptr) != 0 || setresgid(kOtherUserId, kOtherUserId, kOtherUserId) != 0 ||
        setresuid(kOtherUserId, kOtherUserId, kOtherUserId) != 0) {
      _exit(255);
    }
    _exit(work());
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255) return -1;
  return WEXITSTATUS(status);
}

}  // namespace parcelo::testing
