// Drives the download on demand from outside for the end-to-end test, in the
// test's Wine prefix:
//   download_driver install <component> <first host> <second host>
//       runs it in a progress dialog; prints "result=N", the component's
//       registered path and the state of LQUIET afterwards
//   download_driver cancel            presses Cancel on the progress dialog
//   download_driver trust <cert.der>  adds a certificate authority to the
//                                     prefix's trusted roots
//   download_driver temp              prints the temporary folder

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <string>

#include "net/install_on_demand.h"
#include "net/shipped_installers.h"
#include "sys/environment.h"
#include "sys/folders.h"
#include "testkit/testkit.h"
#include "ui/component_download.h"

namespace {

int install(const std::string& component, const std::string& first, const std::string& second) {
  ui::ComponentDownloadSettings settings{"Razavo", {first, second}, net::shippedInstallers()};
  ui::ProgressDialog dialog;
  int result = static_cast<int>(dialog.run(nullptr, "Razavo", component, [&](ui::ProgressDialog& self) {
    return ui::installComponentOnDemand(component, self, settings);
  }));
  std::optional<std::string> quiet = sys::environmentValue("LQUIET");
  std::printf("result=%d\npath=%s\nlquiet=%s\n", result, net::componentPath(component).c_str(),
              quiet ? quiet->c_str() : "<unset>");
  return 0;
}

int pressCancel() {
  for (int attempt = 0; attempt < 300; ++attempt) {
    if (HWND dialog = FindWindowW(ui::ProgressDialog::kWindowClass, nullptr)) {
      if (IsWindowVisible(dialog)) {
        SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        std::puts("cancelled");
        return 0;
      }
    }
    Sleep(50);
  }
  std::puts("no progress dialog");
  return 1;
}

int trust(const std::string& certificatePath) {
  std::vector<uint8_t> der = testkit::readAll(certificatePath);
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
  if (!store || der.empty()) return 1;
  BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                                                CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  CertCloseStore(store, 0);
  std::puts(added ? "trusted" : "not trusted");
  return added ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string action = argc > 1 ? argv[1] : "";
  if (action == "install" && argc == 5) return install(argv[2], argv[3], argv[4]);
  if (action == "cancel") return pressCancel();
  if (action == "trust" && argc == 3) return trust(argv[2]);
  if (action == "temp") {
    std::puts(sys::tempFolder().c_str());
    return 0;
  }
  std::fputs("usage: download_driver install|cancel|trust|temp ...\n", stderr);
  return 2;
}
