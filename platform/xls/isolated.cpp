#include "platform/xls/isolated.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace xls {
namespace {

[[noreturn]] void childMain(int fd, const std::function<std::string()>& work) {
  // A crash must end the child quietly: no crash handler the program set
  // up, no core file.
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGPIPE}) ::signal(sig, SIG_DFL);
  struct rlimit noCore = {0, 0};
  ::setrlimit(RLIMIT_CORE, &noCore);
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  std::string out = work();
  const char* p = out.data();
  std::size_t left = out.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::_exit(3);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  ::_exit(0);
}

}  // namespace

Result<std::string> runIsolated(const std::function<std::string()>& work, const std::string& crashed,
                                int silenceSeconds) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return work();
  pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return work();
  }
  if (pid == 0) {
    ::close(fds[0]);
    childMain(fds[1], work);
  }
  ::close(fds[1]);

  std::string out;
  bool silent = false;
  char buf[1 << 16];
  for (;;) {
    struct pollfd p = {fds[0], POLLIN, 0};
    int ready = ::poll(&p, 1, silenceSeconds * 1000);
    if (ready < 0) {
      if (errno == EINTR) continue;
      silent = true;
      break;
    }
    if (ready == 0) {
      silent = true;
      break;
    }
    ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      silent = true;
      break;
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);
  if (silent) ::kill(pid, SIGKILL);
  int status = 0;
  pid_t waited;
  while ((waited = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
  }
  if (silent) return Status::InvalidFormat(crashed);
  // A program that reaps every child itself (SIGCHLD ignored, or a handler
  // calling waitpid(-1)) leaves us no exit status; the caller's decoding
  // then tells a whole answer from a cut one.
  if (waited == pid && (!WIFEXITED(status) || WEXITSTATUS(status) != 0)) return Status::InvalidFormat(crashed);
  return out;
}

}  // namespace xls
