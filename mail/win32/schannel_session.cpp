#include "mail/win32/schannel_session.h"

#include <wincrypt.h>

#include <algorithm>

#include "mail/system_mail.h"
#include "sys/file.h"
#include "sys/win32/wide_text.h"

namespace mail::win32 {
namespace {

constexpr DWORD kContextFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM;
constexpr size_t kReadPiece = 16 * 1024;

}  // namespace

SchannelSession::~SchannelSession() {
  if (m_haveContext) DeleteSecurityContext(&m_context);
  if (m_haveCredentials) FreeCredentialsHandle(&m_credentials);
}

IoStatus SchannelSession::readMore(Clock::time_point deadline) {
  char piece[kReadPiece];
  size_t received = 0;
  IoStatus status = m_link.receiveSome(piece, sizeof piece, received, deadline);
  if (status == IoStatus::Done) m_incoming.append(piece, received);
  return status;
}

IoStatus SchannelSession::handshake(const std::string& serverName, const std::vector<BYTE>& pinnedCertificate,
                                    Clock::time_point deadline) {
  SCHANNEL_CRED credentials{};
  credentials.dwVersion = SCHANNEL_CRED_VERSION;
  // We check the certificate ourselves once the handshake is done.
  credentials.dwFlags = SCH_CRED_NO_DEFAULT_CREDS | SCH_CRED_MANUAL_CRED_VALIDATION;
  TimeStamp expiry;
  if (AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr,
                                &credentials, nullptr, nullptr, &m_credentials, &expiry) != SEC_E_OK)
    return IoStatus::Failed;
  m_haveCredentials = true;
  std::wstring target = sys::win32::widen(serverName);
  bool first = true;
  for (;;) {
    SecBuffer inBuffers[2] = {{DWORD(m_incoming.size()), SECBUFFER_TOKEN, m_incoming.data()},
                              {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inDesc{SECBUFFER_VERSION, 2, inBuffers};
    SecBuffer outBuffer{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc outDesc{SECBUFFER_VERSION, 1, &outBuffer};
    DWORD attributes = 0;
    SECURITY_STATUS status = InitializeSecurityContextW(
        &m_credentials, first ? nullptr : &m_context, target.data(), kContextFlags, 0, 0,
        first ? nullptr : &inDesc, 0, &m_context, &outDesc, &attributes, nullptr);
    if (first) m_haveContext = true;
    first = false;
    if (outBuffer.cbBuffer > 0 && outBuffer.pvBuffer) {
      IoStatus sent = m_link.sendAll(static_cast<const char*>(outBuffer.pvBuffer), outBuffer.cbBuffer, deadline);
      FreeContextBuffer(outBuffer.pvBuffer);
      if (sent != IoStatus::Done) return sent;
    }
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
      IoStatus read = readMore(deadline);
      if (read != IoStatus::Done) return read == IoStatus::Cancelled ? read : IoStatus::Failed;
      continue;
    }
    if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) return IoStatus::Failed;
    // What the provider did not use belongs to the next step.
    if (inBuffers[1].BufferType == SECBUFFER_EXTRA && inBuffers[1].cbBuffer > 0)
      m_incoming.erase(0, m_incoming.size() - inBuffers[1].cbBuffer);
    else
      m_incoming.clear();
    if (status == SEC_E_OK) break;
    if (m_incoming.empty()) {
      IoStatus read = readMore(deadline);
      if (read != IoStatus::Done) return read == IoStatus::Cancelled ? read : IoStatus::Failed;
    }
  }
  if (QueryContextAttributesW(&m_context, SECPKG_ATTR_STREAM_SIZES, &m_sizes) != SEC_E_OK) return IoStatus::Failed;
  if (!certificateTrusted(target, pinnedCertificate)) return IoStatus::Failed;
  return IoStatus::Done;
}

bool SchannelSession::certificateTrusted(const std::wstring& serverName, const std::vector<BYTE>& pinned) {
  PCCERT_CONTEXT certificate = nullptr;
  if (QueryContextAttributesW(&m_context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK || !certificate)
    return false;
  bool trusted = false;
  if (!pinned.empty()) {
    trusted = certificate->cbCertEncoded == pinned.size() &&
              std::equal(pinned.begin(), pinned.end(), certificate->pbCertEncoded);
  } else {
    CERT_CHAIN_PARA chainPara{};
    chainPara.cbSize = sizeof chainPara;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara, 0, nullptr,
                                &chain)) {
      SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
      ssl.cbSize = sizeof ssl;
      ssl.dwAuthType = AUTHTYPE_SERVER;
      ssl.pwszServerName = const_cast<wchar_t*>(serverName.c_str());
      CERT_CHAIN_POLICY_PARA policy{};
      policy.cbSize = sizeof policy;
      policy.pvExtraPolicyPara = &ssl;
      CERT_CHAIN_POLICY_STATUS result{};
      result.cbSize = sizeof result;
      trusted = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &result) &&
                result.dwError == 0;
      CertFreeCertificateChain(chain);
    }
  }
  CertFreeCertificateContext(certificate);
  return trusted;
}

IoStatus SchannelSession::send(const char* data, size_t bytes, Clock::time_point deadline) {
  std::string record;
  while (bytes > 0) {
    size_t piece = std::min<size_t>(bytes, m_sizes.cbMaximumMessage);
    record.assign(m_sizes.cbHeader + piece + m_sizes.cbTrailer, '\0');
    std::copy(data, data + piece, record.begin() + m_sizes.cbHeader);
    SecBuffer buffers[4] = {{m_sizes.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
                            {DWORD(piece), SECBUFFER_DATA, record.data() + m_sizes.cbHeader},
                            {m_sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + m_sizes.cbHeader + piece},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    if (EncryptMessage(&m_context, 0, &desc, 0) != SEC_E_OK) return IoStatus::Failed;
    size_t total = buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
    IoStatus status = m_link.sendAll(record.data(), total, deadline);
    if (status != IoStatus::Done) return status;
    data += piece;
    bytes -= piece;
  }
  return IoStatus::Done;
}

IoStatus SchannelSession::receive(char* data, size_t capacity, size_t& received, Clock::time_point deadline) {
  received = 0;
  while (m_plaintext.empty()) {
    if (m_incoming.empty()) {
      IoStatus status = readMore(deadline);
      if (status != IoStatus::Done) return status;
    }
    SecBuffer buffers[4] = {{DWORD(m_incoming.size()), SECBUFFER_DATA, m_incoming.data()},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    SECURITY_STATUS status = DecryptMessage(&m_context, &desc, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
      IoStatus read = readMore(deadline);
      if (read != IoStatus::Done) return read;
      continue;
    }
    if (status == SEC_I_CONTEXT_EXPIRED) return IoStatus::Closed;
    if (status != SEC_E_OK) return IoStatus::Failed;
    std::string extra;
    for (const SecBuffer& buffer : buffers) {
      if (buffer.BufferType == SECBUFFER_DATA && buffer.cbBuffer)
        m_plaintext.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
      if (buffer.BufferType == SECBUFFER_EXTRA && buffer.cbBuffer)
        extra.assign(m_incoming.data() + m_incoming.size() - buffer.cbBuffer, buffer.cbBuffer);
    }
    m_incoming = extra;
  }
  received = std::min(capacity, m_plaintext.size());
  std::copy(m_plaintext.begin(), m_plaintext.begin() + received, data);
  m_plaintext.erase(0, received);
  return IoStatus::Done;
}

}  // namespace mail::win32

namespace mail {
namespace {

// The DER bytes of the first certificate of a PEM file.
std::vector<BYTE> pemCertificate(const std::string& path) {
  sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
  if (!file.isOpen()) return {};
  std::string text(size_t(file.size()), '\0');
  if (file.read(text.data(), text.size()) != text.size()) return {};
  DWORD size = 0;
  if (!CryptStringToBinaryA(text.c_str(), DWORD(text.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr,
                            nullptr))
    return {};
  std::vector<BYTE> der(size);
  if (!CryptStringToBinaryA(text.c_str(), DWORD(text.size()), CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr,
                            nullptr))
    return {};
  der.resize(size);
  return der;
}

}  // namespace

std::unique_ptr<TlsSession> startTlsSession(TcpLink& link, const std::string& serverName,
                                            const std::string& trustedCertificateFile, Clock::time_point deadline,
                                            IoStatus& status) {
  std::vector<BYTE> pinned;
  if (!trustedCertificateFile.empty()) {
    pinned = pemCertificate(trustedCertificateFile);
    if (pinned.empty()) {
      status = IoStatus::Failed;
      return nullptr;
    }
  }
  auto session = std::make_unique<win32::SchannelSession>(link);
  status = session->handshake(serverName, pinned, deadline);
  if (status != IoStatus::Done) return nullptr;
  return session;
}

std::string localHostName() {
  char name[256] = {};
  DWORD size = sizeof name;
  if (!GetComputerNameExA(ComputerNameDnsHostname, name, &size) || !name[0]) return "localhost";
  return name;
}

}  // namespace mail
