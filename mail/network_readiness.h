#pragma once
// Before a send: when the system is offline, dial its default connection;
// a connection dialled here is hung up when this object goes.

namespace mail {

class NetworkReadiness {
 public:
  NetworkReadiness();
  ~NetworkReadiness();
  NetworkReadiness(const NetworkReadiness&) = delete;
  NetworkReadiness& operator=(const NetworkReadiness&) = delete;
  bool dialledHere() const { return m_dialled; }

 private:
  bool m_dialled = false;
};

}  // namespace mail
