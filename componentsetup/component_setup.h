#pragma once
// The component installer: writes the program it carries as resource 99/99
// into the shared components folder and registers its path, so that both
// programs find it (machine-wide hive first, then the user's).

namespace componentsetup {

// What one installer build carries; each component's installer is the same
// code built with its own names and its own resource.
struct ComponentInfo {
  const wchar_t* name;         // component name, e.g. L"mp3el"
  const wchar_t* programFile;  // installed file name, e.g. L"mp3enc.exe"
  const wchar_t* displayName;  // shown in the completion message
  const wchar_t* version;      // the registered Version value
};

// Exit codes of the installer.
constexpr int kInstalled = 0;
constexpr int kFailed = 1;

// Installs the component and shows the messages; returns the exit code.
int installComponent(const ComponentInfo& component);

}  // namespace componentsetup
