#!/usr/bin/env python3
"""A loopback SMTP server of one test's own: one user and password, every message received
written to --folder as one .eml file. Prints the free port it took once it serves; ends when
stdin closes."""
import argparse
import pathlib
import socket
import sys
import uuid

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Saver:
    def __init__(self, folder):
        self.folder = folder

    async def handle_DATA(self, server, session, envelope):
        (self.folder / f"{uuid.uuid4()}.eml").write_bytes(envelope.original_content)
        return "250 OK"


def main():
    parser = argparse.ArgumentParser()
    for option in ("--user", "--password", "--folder"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()

    def authenticate(server, session, envelope, mechanism, data):
        return AuthResult(success=isinstance(data, LoginPassword)
                          and data.login.decode() == args.user
                          and data.password.decode() == args.password,
                          handled=False)

    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    controller = Controller(Saver(pathlib.Path(args.folder)), hostname="127.0.0.1",
                            port=port, authenticator=authenticate,
                            auth_require_tls=False)
    controller.start()
    print(port, flush=True)
    sys.stdin.read()
    controller.stop()


main()
