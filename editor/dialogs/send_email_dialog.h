#pragma once
// The editor's "Send Email" dialog: recipients, subject and message of the
// e-mail that carries the current file, with a way to the Email Settings.

#include <windows.h>

#include <string>

struct SendEmailFields {
  std::string to;
  std::string subject;
  std::string message;
};

// False when cancelled. settingsRoot is where "Email Settings..." stores.
bool askSendEmail(HWND owner, const std::string& fileName, const std::string& settingsRoot, SendEmailFields& fields);
