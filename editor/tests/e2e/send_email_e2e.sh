#!/usr/bin/env bash
# End-to-end test of Send... in the editor under Wine against aiosmtpd on
# 127.0.0.1: the open file arrives as the attachment, byte for byte, with the
# subject and message typed into "Send Email", as Python's email package
# reads it; a login typed into the stored host text is taken out of it, the
# password stored sealed; a changed document is sent as it is now; an empty
# host gets its message.
# Usage: send_email_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=send_email
source "$(dirname "$0")/e2e_common.sh"

scripts=$root/mail/tests
state=$work/server
stop_server() { [ -f "$state/pid" ] && kill "$(cat "$state/pid")" 2>/dev/null || true; }
trap 'stop_server; drive close >/dev/null 2>&1 || true; drive answer Razavo 7 5 >/dev/null 2>&1 || true' EXIT
/usr/bin/python3 "$scripts/smtp_test_server.py" --detach --state "$state" --mode smtp
for _ in $(seq 100); do [ -f "$state/port" ] && break; sleep 0.1; done
port=$(cat "$state/port")
email_key='HKCU\Software\Zedirad\Razavo\Email'
title="Send Email"
kTo=101 kSubject=102 kMessage=103

send() {  # to, subject, message
  drive post 1009 >/dev/null || fail "the editor is gone"
  drive dialog-wait "$title" 20 || fail "no \"$title\" dialog"
  drive dialog-set "$title" $kTo "$1" >/dev/null
  drive dialog-set "$title" $kSubject "$2" >/dev/null
  drive dialog-set "$title" $kMessage "$3" >/dev/null
  [ -f "$work/send-dialog.png" ] || import -window root "$work/send-dialog.png" || true
  drive answer "$title" 1 20 >/dev/null
  drive dialog-gone "$title" 20 || fail "the dialog stayed"
  drive dialog-wait Razavo 60 || drive dialog-wait Error 5 || fail "no word on the send"
}
said() { drive dialog-get "$1" 65535; }

sox -V1 -n -r 22050 -c 1 -b 16 "$work/memo.wav" synth 2 sine 300 vol 0.4

echo "-- an empty host: the message, nothing sent"
start_editor "$(win "$work/memo.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
wine reg add "$email_key" /v MailSMTPHost /d "" /f >/dev/null
drive post 1009 >/dev/null
drive dialog-wait "$title" 20 || fail "no \"$title\" dialog"
drive dialog-set "$title" $kTo "you@example.test" >/dev/null
drive answer "$title" 1 20 >/dev/null
drive dialog-wait Error 20 || fail "no message for the missing host"
[ "$(said Error)" = "Unable to send email because you have not entered your SMTP host using Email Settings." ] ||
  fail "the message was: $(said Error)"
drive answer Error 1 20 >/dev/null

echo "-- the saved file goes as it is, with a login taken out of the host text"
wine reg add "$email_key" /v MailSMTPHost /d "sender:p@ss:word@127.0.0.1:$port" /f >/dev/null
wine reg add "$email_key" /v SMTPAllowPlainLogin /d 1 /f >/dev/null
wine reg add "$email_key" /v ReplyToEmail /d "me@example.test" /f >/dev/null
send "you@example.test" "Grüße: memo" $'Hello,\r\n.a line with a dot\r\nbye'
[ "$(said Razavo)" = "The email with \"memo.wav\" was sent." ] || fail "the editor said: $(said Razavo)"
drive answer Razavo 1 20 >/dev/null
[ -f "$state/message-1.eml" ] || fail "nothing arrived"
printf 'Hello,\r\n.a line with a dot\r\nbye' >"$work/body1.txt"
problems=$(/usr/bin/python3 "$scripts/check_message.py" "$state/message-1.eml" --subject "Grüße: memo" \
  --body-file "$work/body1.txt" --attach "$work/memo.wav" --type audio/wav)
[ -z "$problems" ] || fail "the message differs: $problems"
grep -q '"login": true' "$state/message-1.json" || fail "no login: $(cat "$state/message-1.json")"
host=$(wine reg query "$email_key" /v MailSMTPHost | tr -d '\r' | awk '/MailSMTPHost/ {print $3}')
[ "$host" = "127.0.0.1:$port" ] || fail "the stored host is \"$host\""
stored=$(wine reg query "$email_key" /v SMTPPassword | tr -d '\r')
echo "$stored" | grep -q "dpapi:" || fail "the password is not sealed: $stored"
! echo "$stored" | grep -q "p@ss" || fail "the password is readable: $stored"

echo "-- Email Settings shows the separated login, never the password, and checks what it stores"
settings="Email Settings"
drive post 1009 >/dev/null
drive dialog-wait "$title" 20 || fail "no \"$title\" dialog"
drive answer "$title" 104 20 >/dev/null
drive dialog-wait "$settings" 20 || fail "no \"$settings\" dialog"
import -window root "$work/email-settings.png" || true
[ "$(drive dialog-get "$settings" 103)" = "127.0.0.1:$port" ] || fail "host shows: $(drive dialog-get "$settings" 103)"
[ "$(drive dialog-get "$settings" 106)" = "sender" ] || fail "user shows: $(drive dialog-get "$settings" 106)"
shown=$(drive dialog-get "$settings" 107)
[ -n "$shown" ] && [ "$shown" != "p@ss:word" ] || fail "the password field holds \"$shown\""
# MAPI is the default choice (Wine declares a MAPI client of its own).
[ "$(drive dialog-get "$settings" 101)" != "" ] || fail "no MAPI choice"
drive answer "$settings" 102 20 >/dev/null  # Send using a SMTP Server
drive dialog-set "$settings" 103 "" >/dev/null
drive answer "$settings" 1 20 >/dev/null
drive dialog-wait "Mailhost Required" 20 || fail "an empty host was taken"
drive answer "Mailhost Required" 1 20 >/dev/null
drive dialog-set "$settings" 103 "127.0.0.1:$port" >/dev/null
drive answer "$settings" 1 20 >/dev/null
drive dialog-gone "$settings" 20 || fail "the settings stayed"
drive answer "$title" 2 20 >/dev/null
drive dialog-gone "$title" 20 || fail "the send dialog stayed"
[ "$(wine reg query "$email_key" /v UseMAPI | tr -d '\r' | awk '/UseMAPI/ {print $3}')" = 0 ] || fail "MAPI stayed on"

echo "-- a changed document is sent as it is now"
drive command 4018 >/dev/null  # Reverse
send "you@example.test, other@example.test" "reversed" "now reversed"
drive answer Razavo 1 20 >/dev/null
[ -f "$state/message-2.eml" ] || fail "nothing arrived"
grep -q '"to": \["you@example.test", "other@example.test"\]' "$state/message-2.json" ||
  fail "recipients: $(cat "$state/message-2.json")"
/usr/bin/python3 - "$state/message-2.eml" "$work/sent.wav" <<'PY'
import email, email.policy, sys
msg = email.message_from_bytes(open(sys.argv[1], "rb").read(), policy=email.policy.default)
part = next(msg.iter_attachments())
open(sys.argv[2], "wb").write(part.get_payload(decode=True))
PY
sox -V1 "$work/memo.wav" "$work/reversed-by-sox.wav" reverse
[ "$(sox "$work/sent.wav" -t raw - | md5sum)" = "$(sox "$work/reversed-by-sox.wav" -t raw - | md5sum)" ] ||
  fail "the attachment is not the reversed memo"
echo "PASS"
