#include "componentsetup/component_setup.h"

#include <windows.h>
#include <lzexpand.h>

#include <string>

#include "componentsetup/install_location.h"
#include "componentsetup/registry_text.h"

namespace componentsetup {

namespace {

// The carried program: resource type 99, name 99.
constexpr WORD kPayloadResource = 99;

void showError(const wchar_t* text) { MessageBoxW(nullptr, text, L"", MB_OK | MB_ICONERROR); }

int fail(const wchar_t* text) {
  showError(text);
  return kFailed;
}

// A new file named "temp_<n>.tmp" in folder, created exclusively so that two
// installers never share one.
HANDLE createTemporaryFile(const std::wstring& folder, std::wstring& path) {
  DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (DWORD attempt = 0; attempt < 1000; ++attempt) {
    path = folder + L"\\temp_" + std::to_wstring(seed + attempt) + L".tmp";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// Writes the bytes into a new temporary file; false (with the file gone)
// unless every byte was written.
bool writeTemporaryFile(const std::wstring& folder, const void* bytes, DWORD size, std::wstring& path) {
  HANDLE file = createTemporaryFile(folder, path);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool complete = WriteFile(file, bytes, size, &written, nullptr) && written == size;
  complete = CloseHandle(file) && complete;
  if (!complete) DeleteFileW(path.c_str());
  return complete;
}

// The system's LZ expanding copy: an LZ-compressed file is expanded, any
// other file is copied unchanged; an existing target is replaced. The files
// are opened here rather than by LZOpenFile, whose paths end at 128
// characters; a file handle's value fits the HFILE the LZ functions take.
bool expandingCopy(const std::wstring& source, const std::wstring& target) {
  HANDLE from = CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (from == INVALID_HANDLE_VALUE) return false;
  HANDLE to = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (to == INVALID_HANDLE_VALUE) {
    CloseHandle(from);
    return false;
  }
  // LZInit takes over the source handle; LZClose closes it.
  INT expanding = LZInit(HandleToLong(from));
  if (expanding < 0) {
    CloseHandle(from);
    CloseHandle(to);
    return false;
  }
  LONG copied = LZCopy(expanding, HandleToLong(to));
  LZClose(expanding);
  bool closed = CloseHandle(to) != 0;
  return copied >= 0 && closed;
}

}  // namespace

int installComponent(const ComponentInfo& component) {
  InstallLocation location;
  // When no folder can be written the resource is still checked first, so the
  // failure is reported by the temporary file's write below.
  chooseInstallLocation(component.name, location);

  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(kPayloadResource), MAKEINTRESOURCEW(kPayloadResource));
  if (!found) return fail(L"ERR#1001.");
  HGLOBAL loaded = LoadResource(nullptr, found);
  if (!loaded) return fail(L"ERR#1002.");
  const void* payload = LockResource(loaded);
  if (!payload) return fail(L"ERR#1003.");
  DWORD payloadBytes = SizeofResource(nullptr, found);

  std::wstring temporary;
  if (!writeTemporaryFile(location.folder, payload, payloadBytes, temporary)) return fail(L"ERR#1005.");

  std::wstring target = location.folder + L"\\" + component.programFile;
  bool copied = expandingCopy(temporary, target);
  DeleteFileW(temporary.c_str());
  // Registering a program that is not there would send every caller to a
  // missing file, so a failed copy ends here.
  if (!copied) return fail(L"ERR#1006.");

  // Without its registration nothing can find the component: that is a
  // failed installation, not a quiet success.
  std::wstring key = std::wstring(L"Software\\Zedirad\\Components\\") + component.name;
  if (!writeRegistryTexts(location.hive, key, {{L"Path", target}, {L"Version", component.version}}))
    return fail(L"ERR#1007.");

  if (GetEnvironmentVariableW(L"LQUIET", nullptr, 0) == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
    std::wstring text = std::wstring(L"The component \"") + component.displayName +
                        L"\" has been installed successfully.";
    MessageBoxW(nullptr, text.c_str(), L"Installation Complete", MB_OK | MB_ICONINFORMATION);
  }
  return kInstalled;
}

}  // namespace componentsetup
