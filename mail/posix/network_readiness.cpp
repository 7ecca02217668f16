// Elsewhere the network is the system's business: nothing is dialled.

#include "mail/network_readiness.h"

namespace mail {

NetworkReadiness::NetworkReadiness() = default;
NetworkReadiness::~NetworkReadiness() = default;

}  // namespace mail
