#!/usr/bin/python3
"""A throwaway SMTP server for the tests: accepts mail on loopback, requires
AUTH with the given user and password, and writes every message it accepts
to a numbered .eml file in the output folder. Every AUTH attempt is noted in
auth-attempts.log there.

    smtp_sink.py PORT FOLDER USER PASSWORD [CERT KEY]

With a certificate and key it offers STARTTLS and takes AUTH and mail only
after it; without, it offers no encryption at all."""
import asyncio
import os
import ssl
import sys
import time

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Store:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        path = os.path.join(self.folder, "%04d.eml" % self.count)
        with open(path + ".tmp", "wb") as f:
            f.write(b"X-Envelope-To: " + ",".join(envelope.rcpt_tos).encode() + b"\r\n")
            f.write(envelope.original_content)
        os.rename(path + ".tmp", path)
        return "250 OK"


def main():
    port, folder, user, password = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    tls = None
    if len(sys.argv) > 6:
        tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls.load_cert_chain(sys.argv[5], sys.argv[6])

    def authenticate(server, session, envelope, mechanism, auth_data):
        login = auth_data.login.decode(errors="replace") if isinstance(auth_data, LoginPassword) else "?"
        with open(os.path.join(folder, "auth-attempts.log"), "a") as log:
            log.write("%s %s tls=%s\n" % (mechanism, login, session.ssl is not None))
        ok = isinstance(auth_data, LoginPassword) and auth_data.login.decode() == user \
            and auth_data.password.decode() == password
        return AuthResult(success=ok)

    controller = Controller(Store(folder), hostname="127.0.0.1", port=port,
                            authenticator=authenticate, auth_required=True,
                            tls_context=tls, require_starttls=tls is not None,
                            auth_require_tls=tls is not None)
    controller.start()
    try:
        while True:
            time.sleep(3600)
    finally:
        controller.stop()


if __name__ == "__main__":
    main()
