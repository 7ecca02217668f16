// The system's Simple MAPI client, loaded when it is there.

#include <windows.h>
#include <mapi.h>

#include "mail/mail_sender.h"
#include "mail/mapi_mail.h"
#include "sys/folders.h"
#include "sys/win32/wide_text.h"

namespace mail {
namespace {

// A MAPI client registers itself under this key; its absence means none is set up.
bool mapiClientRegistered() {
  std::wstring value;
  return sys::win32::readRegistryText(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows Messaging Subsystem",
                                      L"MAPI", value) &&
         value == L"1";
}

// Simple MAPI takes text in the system's code page.
std::string systemCodePage(const std::string& utf8) {
  std::wstring wide = sys::win32::widen(utf8);
  int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace

bool mapiAvailable() {
  if (!mapiClientRegistered()) return false;
  HMODULE library = LoadLibraryW(L"MAPI32.DLL");
  bool found = library && GetProcAddress(library, "MAPISendMail");
  if (library) FreeLibrary(library);
  return found;
}

SendOutcome sendThroughMapi(const MailRequest& request) {
  const std::string failure = "The email could not be handed to your email software (MAPI).";
  HMODULE library = LoadLibraryW(L"MAPI32.DLL");
  if (!library) return {MailResult::Failed, failure};
  auto sendMail = reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(GetProcAddress(library, "MAPISendMail")));
  if (!sendMail) {
    FreeLibrary(library);
    return {MailResult::Failed, failure};
  }
  std::vector<std::string> addresses = mapiRecipientAddresses(request.recipients);
  std::vector<MapiRecipDesc> recipients(addresses.size());
  for (size_t i = 0; i < addresses.size(); ++i) {
    recipients[i].ulRecipClass = MAPI_TO;
    recipients[i].lpszName = addresses[i].data();
    recipients[i].lpszAddress = addresses[i].data();
  }
  std::vector<std::string> paths, names;
  for (const std::string& path : request.attachments) {
    paths.push_back(systemCodePage(path));
    names.push_back(systemCodePage(sys::fileNameOf(path)));
  }
  std::vector<MapiFileDesc> files(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    files[i].nPosition = ULONG(-1);
    files[i].lpszPathName = paths[i].data();
    files[i].lpszFileName = names[i].data();
  }
  std::string subject = systemCodePage(request.subject), body = systemCodePage(request.body);
  MapiMessage message{};
  message.lpszSubject = subject.data();
  message.lpszNoteText = body.data();
  message.nRecipCount = ULONG(recipients.size());
  message.lpRecips = recipients.data();
  message.nFileCount = ULONG(files.size());
  message.lpFiles = files.empty() ? nullptr : files.data();
  ULONG result = sendMail(0, 0, &message, MAPI_LOGON_UI, 0);
  FreeLibrary(library);
  if (result == SUCCESS_SUCCESS) return {MailResult::Sent, {}};
  return {MailResult::Failed, failure};
}

}  // namespace mail
