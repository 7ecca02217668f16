#include "ui/program_instance.h"

#include <shellapi.h>

#include "sys/command_line_args.h"
#include "ui/text.h"

namespace ui {

std::vector<std::string> programArguments() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> result;
  for (int i = 0; i < count; ++i) result.push_back(narrow(arguments[i]));
  LocalFree(arguments);
  return result;
}

InstanceLock::InstanceLock(const wchar_t* mutexName) : m_mutex(CreateMutexW(nullptr, FALSE, mutexName)) {
  if (m_mutex) WaitForSingleObject(m_mutex.get(), INFINITE);
}

void InstanceLock::release() {
  if (!m_mutex) return;
  ReleaseMutex(m_mutex.get());
  m_mutex.reset();
}

void handOverArguments(HWND running, const std::vector<std::string>& arguments) {
  std::vector<uint8_t> record = sys::buildHandOverRecord(arguments);
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(record.size());
  data.lpData = record.data();
  // The running instance brings itself to the front; let it.
  DWORD process = 0;
  GetWindowThreadProcessId(running, &process);
  AllowSetForegroundWindow(process);
  SendMessageW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

}  // namespace ui
