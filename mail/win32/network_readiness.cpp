// Dial-up before a send, through the system's internet library.

#include <windows.h>
#include <wininet.h>

#include "mail/network_readiness.h"

namespace mail {

NetworkReadiness::NetworkReadiness() {
  DWORD state = 0;
  BOOL connected = InternetGetConnectedState(&state, 0);
  if (connected && !(state & INTERNET_CONNECTION_OFFLINE)) return;
  m_dialled = InternetAutodial(INTERNET_AUTODIAL_FORCE_UNATTENDED, nullptr) != FALSE;
}

NetworkReadiness::~NetworkReadiness() {
  if (m_dialled) InternetAutodialHangup(0);
}

}  // namespace mail
