#!/usr/bin/python3
"""Parses a received message with Python's email package and prints every
difference from what was expected; prints nothing when the message is right.

check_message.py MESSAGE --subject S --body-file B [--from F] [--to T]
                 [--attach PATH --type TYPE]...
"""
import argparse
import email
import email.policy
import email.utils
import sys


def main():
    p = argparse.ArgumentParser()
    p.add_argument("message")
    p.add_argument("--subject")
    p.add_argument("--body-file")
    p.add_argument("--from", dest="sender")
    p.add_argument("--to")
    p.add_argument("--attach", action="append", default=[])
    p.add_argument("--type", action="append", default=[])
    a = p.parse_args()
    raw = open(a.message, "rb").read()
    msg = email.message_from_bytes(raw, policy=email.policy.default)
    problems = []

    def expect(what, got, want):
        if got != want:
            problems.append("%s: got %r, expected %r" % (what, got, want))

    for line in raw.split(b"\r\n"):
        if len(line) > 998:
            problems.append("a line longer than 998 bytes")
            break
    if a.subject is not None:
        expect("subject", str(msg["subject"]), a.subject)
    if a.sender is not None:
        expect("from", str(msg["from"]), a.sender)
    if a.to is not None:
        expect("to", str(msg["to"]), a.to)
    if msg["date"] is None or email.utils.parsedate_to_datetime(str(msg["date"])) is None:
        problems.append("no valid date")
    expect("mime version", str(msg["mime-version"]), "1.0")
    if a.body_file is not None:
        want = open(a.body_file, "rb").read().decode("utf-8")
        body = msg.get_body(preferencelist=("plain",))
        got = body.get_content() if body is not None else None
        # The sender ends every line with CR LF; the parser gives LF.
        if got is not None:
            got = got.replace("\r\n", "\n")
            want = want.replace("\r\n", "\n")
            if got.endswith("\n") and not want.endswith("\n"):
                got = got[:-1]
        expect("body", got, want)
    attachments = list(msg.iter_attachments())
    expect("attachment count", len(attachments), len(a.attach))
    for i, (part, path) in enumerate(zip(attachments, a.attach)):
        data = open(path, "rb").read()
        got = part.get_payload(decode=True)
        if got != data:
            problems.append("attachment %d: %d bytes differ from the file's %d" % (i, len(got or b""), len(data)))
        if i < len(a.type):
            expect("attachment %d type" % i, part.get_content_type(), a.type[i])
        expect("attachment %d name" % i, part.get_filename(), path.replace("\\", "/").split("/")[-1])
        for line in part.get_payload(decode=False).split("\r\n")[:-2]:
            if len(line) != 76:
                problems.append("attachment %d: a base64 line of %d characters" % (i, len(line)))
                break
    for defect in msg.defects:
        problems.append("defect: %r" % defect)
    print("\n".join(problems))


if __name__ == "__main__":
    main()
