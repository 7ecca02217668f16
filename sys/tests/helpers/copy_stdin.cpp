// A child for the process tests: copies its standard input into the file
// named by its first argument and ends with exit code 0, or ends at once
// with the code N when started as "copy_stdin --exit N", or sleeps for N
// milliseconds when started as "copy_stdin --sleep N".

#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <cwctype>

int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count < 2) return 100;
  if (count >= 3 && std::wcscmp(arguments[1], L"--exit") == 0) return _wtoi(arguments[2]);
  if (count >= 3 && std::wcscmp(arguments[1], L"--sleep") == 0) {
    Sleep(static_cast<DWORD>(_wtoi(arguments[2])));
    return 0;
  }

  HANDLE output = CreateFileW(arguments[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (output == INVALID_HANDLE_VALUE) return 101;
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char chunk[4096];
  DWORD got = 0;
  int status = 0;
  while (ReadFile(input, chunk, sizeof chunk, &got, nullptr) && got > 0) {
    DWORD put = 0;
    if (!WriteFile(output, chunk, got, &put, nullptr) || put != got) {
      status = 102;
      break;
    }
  }
  CloseHandle(output);
  LocalFree(arguments);
  return status;
}
