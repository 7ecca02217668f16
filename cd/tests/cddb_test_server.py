#!/usr/bin/env python3
"""A CDDB server for the tests: serves one conversation on 127.0.0.1 and
writes down every command it receives.

usage: cddb_test_server.py SCENARIO PORT_FILE LOG_FILE

The port it listens on is written to PORT_FILE once it listens; each
command received goes to LOG_FILE as one line; PORT_FILE.done appears when
the conversation is over.
"""
import os
import socket
import sys

ENTRY = [
    "# xmcd",
    "#",
    "DISCID=7b0b2c0a",
    "DTITLE=The Testers / Songs",
    "DTITLE= of the Loop",
    "DYEAR=1999",
    "TTITLE0=Opening",
    "TTITLE1=Second ",
    "TTITLE1=Part",
    "TTITLE2=Third",
    "TTITLE9=Last",
    "TTITLE10=Beyond the disc",
    "TTITLE300=Far beyond",
    "EXTD= YEAR: 1999 ID3G: 17",
    "EXTT0=first notes",
    "PLAYORDER=",
]


def entry_lines(scenario):
    lines = list(ENTRY)
    if scenario == "long":
        lines.append("TTITLE3=" + "x" * 300)
        lines.append("TTITLE4=" + "a" * 200)
        for _ in range(3):
            lines.append("TTITLE4=" + "b" * 200)
        lines.append("EXTD=YEAR")
    return lines


def main():
    scenario, port_file, log_file = sys.argv[1], sys.argv[2], sys.argv[3]
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    listener.settimeout(30)
    with open(port_file + ".part", "w") as out:
        out.write(str(listener.getsockname()[1]))
    os.replace(port_file + ".part", port_file)
    try:
        connection, _ = listener.accept()
    except socket.timeout:
        return
    connection.settimeout(30)
    reader = connection.makefile("rb")
    log = open(log_file, "w")

    def send(*lines):
        try:
            connection.sendall(b"".join(line.encode("latin-1") + b"\r\n" for line in lines))
        except OSError:
            pass  # the client may leave without waiting for a reply

    send("201 test CDDBP server v1.5.2PL0 ready")
    while True:
        raw = reader.readline()
        if not raw:
            break
        command = raw.decode("latin-1").rstrip("\r\n")
        log.write(command + "\n")
        log.flush()
        words = command.split()
        if words[:2] == ["cddb", "hello"]:
            send("200 Hello and welcome")
        elif words[:2] == ["cddb", "query"]:
            if scenario == "nomatch":
                send("202 No match for disc ID " + words[2])
            elif scenario == "inexact":
                send("211 Found inexact matches, list follows (until terminating `.')",
                     "misc 7b0b2c0b The Testers / Songs of the Loop",
                     "rock 7b0b2c0c Others / Something Else",
                     "jazz 7b0b2c0d Third / Entry",
                     ".")
            elif scenario == "refuse":
                send("500 Command syntax error")
            else:
                send("200 rock " + words[2] + " The Testers / Songs of the Loop")
        elif words[:2] == ["cddb", "read"]:
            if scenario == "cut":
                send("210 " + words[2] + " " + words[3] + " CD database entry follows", "DTITLE=Half")
                break
            send("210 " + words[2] + " " + words[3] + " CD database entry follows (until terminating `.')")
            send(*entry_lines(scenario))
            send(".")
        elif words[:2] == ["cddb", "quit"]:
            send("230 Goodbye")
            break
        else:
            send("500 Unrecognized command")
    connection.close()
    log.close()
    # Tells the test that the log is complete.
    open(port_file + ".done", "w").close()


if __name__ == "__main__":
    main()
