# Shared by the tests that download components: a certificate authority made
# here, a certificate for localhost signed by it, and the component server
# (component_server.py) on two free local ports serving FOLDER.
# Sourced; needs $root. Call start_component_server FOLDER MODES_FILE in the
# folder that is to hold the certificates and the server's output. Sets
# port1, port2 and server_pid; the caller stops the server.

start_component_server() {  # FOLDER MODES_FILE
  openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Component Test CA" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
  openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=localhost" 2>/dev/null
  printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' >server.ext
  openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2 \
    -extfile server.ext 2>/dev/null
  cat server.pem ca.pem >chain.pem
  openssl x509 -in ca.pem -outform DER -out ca.der

  read -r port1 port2 < <(python3 -c '
import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')
  printf '%s good\n%s good\n' "$port1" "$port2" >"$2"
  python3 "$root/componentsetup/tests/component_server.py" "$1" "$2" chain.pem server.key "$port1" "$port2" \
    >server.out 2>server.log &
  server_pid=$!
  for _ in $(seq 50); do grep -q ready server.out 2>/dev/null && break; sleep 0.1; done
  grep -q ready server.out || { echo "the test server did not start" >&2; cat server.log >&2; return 1; }
}
