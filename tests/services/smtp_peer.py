#!/usr/bin/python3
"""Test peer for the mail sender.

serve:  an aiosmtpd server on 127.0.0.1 (free port printed as "PORT n"), optionally with
        STARTTLS or implicit TLS and AUTH LOGIN; every accepted message is stored as N.eml
        with its envelope in N.env (sender, recipients, login).
decode: splits a stored message with Python's email package into files: subject, from, to,
        date, body and attachments/NAME.
b64:    Python's base64 encoding of files, one line each, for the encoder test.
"""
import argparse
import asyncio
import base64
import email
import email.policy
import os
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Store:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, str(self.count))
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        login = session.auth_data.login.decode() if session.auth_data else ""
        with open(base + ".env", "w") as f:
            f.write(envelope.mail_from + "\n" + ",".join(envelope.rcpt_tos) + "\n" + login + "\n")
        return "250 OK stored"


class StandardLogin(SMTP):
    # The challenges most servers send (aiosmtpd's own differ).
    AuthLoginUsernameChallenge = "Username:"
    AuthLoginPasswordChallenge = "Password:"


def serve(args):
    tls = None
    if args.cert:
        tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls.load_cert_chain(args.cert, args.key)

    def authenticate(server, session, envelope, mechanism, data):
        ok = isinstance(data, LoginPassword) and data.login.decode() == args.user and \
            data.password.decode() == args.password
        return AuthResult(success=ok, handled=False, auth_data=data if ok else None)

    store = Store(args.store)

    def make():
        options = dict(hostname="peer.test", data_size_limit=64 << 20)
        if args.user:
            options.update(authenticator=authenticate, auth_required=True,
                           auth_require_tls=not args.plain_auth)
        if tls and not args.implicit:
            options.update(tls_context=tls, require_starttls=True)
        return StandardLogin(store, **options)

    loop = asyncio.new_event_loop()
    server = loop.run_until_complete(
        loop.create_server(make, "127.0.0.1", 0, ssl=tls if args.implicit else None))
    print("PORT %d" % server.sockets[0].getsockname()[1], flush=True)
    loop.run_forever()


def decode(args):
    with open(args.message, "rb") as f:
        message = email.message_from_binary_file(f, policy=email.policy.default)
    out = args.folder
    os.makedirs(os.path.join(out, "attachments"), exist_ok=True)
    raw = {name.lower(): value for name, value in message.raw_items()}
    for name in ("subject", "from", "to", "date"):
        with open(os.path.join(out, name), "w") as f:
            f.write(raw.get(name, ""))
    body = message.get_body(preferencelist=("plain",))
    with open(os.path.join(out, "body"), "wb") as f:
        f.write(body.get_payload(decode=True) if body else b"")
    for part in message.iter_attachments():
        with open(os.path.join(out, "attachments", part.get_filename()), "wb") as f:
            f.write(part.get_payload(decode=True))


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="mode", required=True)
    s = sub.add_parser("serve")
    s.add_argument("--store", required=True)
    s.add_argument("--cert")
    s.add_argument("--key")
    s.add_argument("--implicit", action="store_true")
    s.add_argument("--user")
    s.add_argument("--password")
    s.add_argument("--plain-auth", action="store_true")
    d = sub.add_parser("decode")
    d.add_argument("message")
    d.add_argument("folder")
    b = sub.add_parser("b64")
    b.add_argument("files", nargs="+")
    args = parser.parse_args()
    if args.mode == "serve":
        serve(args)
    elif args.mode == "decode":
        decode(args)
    else:
        for name in args.files:
            with open(name, "rb") as f:
                sys.stdout.write(base64.b64encode(f.read()).decode() + "\n")


if __name__ == "__main__":
    main()
