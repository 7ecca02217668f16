#!/usr/bin/env python3
"""HTTPS server of component installers for the download test.

Serves <folder>/<name>.exe under /components/ on two ports, one per host.
How each port answers is read from <mode file> at every request, one line
"<port> <mode>" per port:
  good      the file with its length
  nolength  the file without a length (the connection's end marks its end)
  tampered  the file with one byte changed
  missing   404
  slow      the file with its length, 2,048 bytes every 0.2 s
  short     the file's full length announced, its first half sent
Usage: component_server.py <folder> <mode file> <cert> <key> <port1> <port2>
Prints "ready" once both ports listen.
"""
import http.server
import os
import ssl
import sys
import threading
import time

folder, mode_file, cert, key = sys.argv[1:5]
ports = [int(p) for p in sys.argv[5:7]]


def mode_of(port):
    try:
        with open(mode_file) as modes:
            for line in modes:
                fields = line.split()
                if len(fields) == 2 and int(fields[0]) == port:
                    return fields[1]
    except OSError:
        pass
    return "good"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, form, *args):
        sys.stderr.write("%d %s\n" % (self.server.server_port, form % args))

    def do_GET(self):
        mode = mode_of(self.server.server_port)
        name = self.path.rsplit("/", 1)[-1]
        path = os.path.join(folder, name)
        if mode == "missing" or not self.path.startswith("/components/") or not os.path.isfile(path):
            self.send_error(404)
            return
        with open(path, "rb") as f:
            body = bytearray(f.read())
        if mode == "tampered":
            body[len(body) // 2] ^= 0x01
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        if mode != "nolength":
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if mode == "slow":
            for at in range(0, len(body), 2048):
                self.wfile.write(body[at:at + 2048])
                self.wfile.flush()
                time.sleep(0.2)
        elif mode == "short":
            self.wfile.write(body[:len(body) // 2])
        else:
            self.wfile.write(body)


context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
servers = []
for port in ports:
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    servers.append(server)
    threading.Thread(target=server.serve_forever, daemon=True).start()
print("ready", flush=True)
threading.Event().wait()
