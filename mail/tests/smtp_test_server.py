#!/usr/bin/python3
"""SMTP servers on 127.0.0.1 for the mail tests.

Modes:
  smtp    aiosmtpd with AUTH LOGIN (user "sender", password "p@ss:word"),
          STARTTLS when --tls is given (a self-signed certificate made here
          with openssl); every message received is saved as message-N.eml
          with its envelope in message-N.json; a recipient starting with
          "refuse" is refused.
  silent  accepts connections and never answers.
  close   sends the greeting and closes the connection at the next command.
  stall   answers every command but never reads the message data.

Writes its port to STATE/port and its process id to STATE/pid, then serves
until killed. With --detach it forks first (the caller kills STATE/pid).
"""
import argparse
import asyncio
import json
import os
import socket
import subprocess
import sys
import threading
import time

USER = "sender"
PASSWORD = "p@ss:word"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def make_certificate(state):
    cert = os.path.join(state, "cert.pem")
    key = os.path.join(state, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost",
                    "-keyout", key, "-out", cert], check=True, capture_output=True)
    return cert, key


def serve_smtp(state, port, tls):
    import ssl
    from aiosmtpd.controller import Controller
    from aiosmtpd.smtp import AuthResult, LoginPassword

    counter = [0]

    class Handler:
        async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
            if address.startswith("refuse"):
                return "550 5.1.1 Recipient refused"
            envelope.rcpt_tos.append(address)
            return "250 OK"

        async def handle_DATA(self, server, session, envelope):
            counter[0] += 1
            base = os.path.join(state, "message-%d" % counter[0])
            with open(base + ".eml.part", "wb") as f:
                f.write(envelope.original_content)
            with open(base + ".json", "w") as f:
                json.dump({"from": envelope.mail_from, "to": envelope.rcpt_tos,
                           "tls": session.ssl is not None,
                           "login": session.authenticated or False}, f)
            os.replace(base + ".eml.part", base + ".eml")
            return "250 2.0.0 Message accepted"

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login == USER.encode()
              and auth_data.password == PASSWORD.encode())
        return AuthResult(success=ok, handled=False)

    context = None
    if tls:
        cert, key = make_certificate(state)
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(cert, key)
    controller = Controller(Handler(), hostname="127.0.0.1", port=port, tls_context=context,
                            authenticator=authenticator, auth_require_tls=bool(tls),
                            decode_data=False, ident="test server")
    controller.start()
    publish(state, port)
    while True:
        time.sleep(3600)


def serve_raw(state, port, mode):
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(8)
    publish(state, port)
    held = []

    def talk(conn):
        held.append(conn)
        if mode == "silent":
            return
        conn.sendall(b"220 test ready\r\n")
        reader = conn.makefile("rb")
        for line in reader:
            if mode == "close":
                conn.close()
                return
            command = line.strip().upper()
            if command == b"DATA":
                conn.sendall(b"354 go ahead\r\n")
                return  # never reads what follows
            conn.sendall(b"250 OK\r\n")

    while True:
        conn, _ = listener.accept()
        threading.Thread(target=talk, args=(conn,), daemon=True).start()


def publish(state, port):
    with open(os.path.join(state, "pid"), "w") as f:
        f.write(str(os.getpid()))
    with open(os.path.join(state, "port.part"), "w") as f:
        f.write(str(port))
    os.replace(os.path.join(state, "port.part"), os.path.join(state, "port"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--state", required=True)
    parser.add_argument("--mode", default="smtp", choices=["smtp", "silent", "close", "stall"])
    parser.add_argument("--tls", action="store_true")
    parser.add_argument("--detach", action="store_true")
    args = parser.parse_args()
    os.makedirs(args.state, exist_ok=True)
    if args.detach and os.fork() != 0:
        return
    if args.detach:
        os.setsid()
        devnull = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(devnull, fd)
    port = free_port()
    if args.mode == "smtp":
        serve_smtp(args.state, port, args.tls)
    else:
        serve_raw(args.state, port, args.mode)


if __name__ == "__main__":
    main()
