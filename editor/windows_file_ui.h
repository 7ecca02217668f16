#pragma once
// What opening and saving ask of the user, as message boxes and dialogs.

#include <windows.h>

#include "formats/formats.h"

// The raw-format dialog ("Raw Audio Settings"); false when the user cancels.
bool askRawFormat(HWND owner, RawFormat& format);

class WindowsFileUi final : public FileUi {
 public:
  void setOwner(HWND owner) { m_owner = owner; }
  void showError(const std::string& text) override;
  // Held until showHeldWarning, so that it comes after the progress dialog,
  // over the document it is about.
  void showWarning(const std::string& text) override;
  void showHeldWarning();
  bool chooseRawFormat(const std::string& path, RawFormat& format) override;

 private:
  HWND m_owner = nullptr;
  std::string m_heldWarning;
};
