// Child processes on POSIX: the command line runs through /bin/sh, with a
// pipe as its standard input.

#include "sys/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace sys {

struct Process::State {
  pid_t pid = -1;
  int input = -1;
  int exitCode = -1;
  bool ended = false;
  bool group = false;  // the child leads a process group of its own
};

Process::Process() : m_state(std::make_unique<State>()) {}

Process::~Process() {
  if (!m_state) return;
  closeInput();
  if (m_state->pid > 0 && !m_state->ended) wait(3000);
}

Process::Process(Process&&) noexcept = default;
Process& Process::operator=(Process&&) noexcept = default;

bool Process::start(const std::string& commandLine, size_t pipeBytes, bool) {
  // One child per Process: a second start would lose the first one's handles.
  if (running()) return false;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  if (pipeBytes > 0) fcntl(fds[1], F_SETPIPE_SZ, static_cast<int>(pipeBytes));
  pid_t pid = fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return false;
  }
  if (pid == 0) {
    dup2(fds[0], 0);
    setpgid(0, 0);  // a group of its own, so that terminate() reaches the shell's children
    execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(fds[0]);
  // A child that ends early must not kill us with SIGPIPE on the next write.
  signal(SIGPIPE, SIG_IGN);
  setpgid(pid, pid);
  m_state->pid = pid;
  m_state->group = true;
  m_state->input = fds[1];
  return true;
}

bool Process::startAlone(const std::string& commandLine, bool) {
  if (running()) return false;
  closeInput();
  *m_state = State{};
  pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    // A group of its own, so that terminate() ends the shell and what it started.
    setpgid(0, 0);
    // Like a hidden console of its own on Windows: nothing in, nothing shown.
    int nothing = ::open("/dev/null", O_RDWR);
    if (nothing >= 0) {
      dup2(nothing, 0);
      dup2(nothing, 1);
      dup2(nothing, 2);
    }
    execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  setpgid(pid, pid);
  m_state->pid = pid;
  m_state->group = true;
  return true;
}

void Process::terminate() {
  if (!running()) return;
  ::kill(m_state->group ? -m_state->pid : m_state->pid, SIGKILL);
  wait(3000);
}

bool Process::running() const { return m_state && m_state->pid > 0 && !m_state->ended; }

size_t Process::writeInput(const void* data, size_t bytes) {
  if (!m_state || m_state->input < 0) return 0;
  size_t done = 0;
  while (done < bytes) {
    ssize_t put = ::write(m_state->input, static_cast<const char*>(data) + done, bytes - done);
    if (put <= 0) break;
    done += static_cast<size_t>(put);
  }
  return done;
}

void Process::closeInput() {
  if (m_state && m_state->input >= 0) {
    ::close(m_state->input);
    m_state->input = -1;
  }
}

bool Process::wait(int timeoutMs) {
  if (!m_state || m_state->pid <= 0) return true;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!m_state->ended) {
    int status = 0;
    pid_t got = waitpid(m_state->pid, &status, WNOHANG);
    if (got == m_state->pid) {
      m_state->ended = true;
      m_state->exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      break;
    }
    if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

int Process::exitCode() const { return m_state ? m_state->exitCode : -1; }

}  // namespace sys
