// Child processes on Windows: the child's standard input is the read end of
// an anonymous pipe; its output goes where ours goes.

#include "sys/process.h"

#include <algorithm>
#include <vector>

#include "sys/win32/wide_text.h"

namespace sys {

namespace {
// How long the destructor gives a child to finish after its input closes.
constexpr DWORD kEndingWaitMs = 3000;
constexpr size_t kLargestWrite = 1u << 30;
}  // namespace

struct Process::State {
  win32::OwnedHandle process;
  win32::OwnedHandle input;  // our write end of the pipe
  int exitCode = -1;
};

Process::Process() : m_state(std::make_unique<State>()) {}

Process::~Process() {
  if (!m_state) return;
  closeInput();
  if (m_state->process.valid()) wait(static_cast<int>(kEndingWaitMs));
}

Process::Process(Process&&) noexcept = default;
Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    if (m_state) {
      closeInput();
      if (m_state->process.valid()) wait(static_cast<int>(kEndingWaitMs));
    }
    m_state = std::move(other.m_state);
  }
  return *this;
}

bool Process::start(const std::string& commandLine, size_t pipeBytes, bool hideWindow) {
  if (!m_state) m_state = std::make_unique<State>();
  if (running() || commandLine.empty()) return false;
  closeInput();
  m_state->process.reset();
  m_state->exitCode = -1;

  // The read end is created inheritable for the child; the write end stays
  // ours alone, or the child would hold its own input open and never see its end.
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE inheritableWriteEnd = nullptr;
  DWORD bufferBytes = static_cast<DWORD>(std::min<size_t>(pipeBytes, 1u << 30));
  if (!CreatePipe(&readEnd, &inheritableWriteEnd, &inheritable, bufferBytes)) return false;
  win32::OwnedHandle childInput(readEnd);
  win32::OwnedHandle inheritableWrite(inheritableWriteEnd);
  HANDLE writeEnd = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), inheritableWrite.get(), GetCurrentProcess(), &writeEnd, 0,
                       FALSE, DUPLICATE_SAME_ACCESS))
    return false;
  win32::OwnedHandle ourInput(writeEnd);
  inheritableWrite.reset();

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childInput.get();
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  if (hideWindow) {
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
  }
  // CreateProcessW may write into the command line, so it gets a copy.
  std::wstring wide = win32::widen(commandLine);
  std::vector<wchar_t> mutableLine(wide.begin(), wide.end());
  mutableLine.push_back(L'\0');
  PROCESS_INFORMATION created{};
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr,
                      nullptr, &startup, &created))
    return false;
  CloseHandle(created.hThread);
  m_state->process.reset(created.hProcess);
  m_state->input = std::move(ourInput);
  // childInput closes here: the child holds the only read end now.
  return true;
}

bool Process::startAlone(const std::string& commandLine, bool hideWindow) {
  if (!m_state) m_state = std::make_unique<State>();
  if (running() || commandLine.empty()) return false;
  closeInput();
  m_state->process.reset();
  m_state->exitCode = -1;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (hideWindow) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
  }
  std::wstring wide = win32::widen(commandLine);
  std::vector<wchar_t> mutableLine(wide.begin(), wide.end());
  mutableLine.push_back(L'\0');
  PROCESS_INFORMATION created{};
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                      &startup, &created))
    return false;
  CloseHandle(created.hThread);
  m_state->process.reset(created.hProcess);
  return true;
}

void Process::terminate() {
  if (!running()) return;
  TerminateProcess(m_state->process.get(), 1);
  wait(static_cast<int>(kEndingWaitMs));
}

bool Process::running() const {
  return m_state && m_state->process.valid() && WaitForSingleObject(m_state->process.get(), 0) == WAIT_TIMEOUT;
}

size_t Process::writeInput(const void* data, size_t bytes) {
  if (!m_state || !m_state->input.valid()) return 0;
  const auto* cursor = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < bytes) {
    DWORD want = static_cast<DWORD>(std::min(bytes - done, kLargestWrite));
    DWORD put = 0;
    // Fails with a broken pipe once the child has gone.
    if (!WriteFile(m_state->input.get(), cursor + done, want, &put, nullptr) || put == 0) break;
    done += put;
  }
  return done;
}

void Process::closeInput() {
  if (m_state) m_state->input.reset();
}

bool Process::wait(int timeoutMs) {
  if (!m_state || !m_state->process.valid()) return true;
  DWORD timeout = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
  if (WaitForSingleObject(m_state->process.get(), timeout) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  if (GetExitCodeProcess(m_state->process.get(), &code)) m_state->exitCode = static_cast<int>(code);
  return true;
}

int Process::exitCode() const { return m_state ? m_state->exitCode : -1; }

}  // namespace sys
