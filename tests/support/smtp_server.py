#!/usr/bin/env python3
"""A loopback SMTP server of one test's own: one user and password, every message received
written to --folder as one .eml file named tls-… or plain-… by how the session went, and each AUTH
command, wherever it came, as a line "tls" or "plain" in --folder's auth.log. --tls DIR offers
STARTTLS with DIR's cert.pem and key.pem and takes no mail or password before it. --socks also
serves a SOCKS5 proxy that takes every connection, to whatever address, to this server, so that a
far address can be tried on loopback. Prints the free port it took once it serves, then the
proxy's on a line of its own; ends when stdin closes."""
import argparse
import pathlib
import socket
import socketserver
import ssl
import sys
import threading
import uuid

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Saver:
    def __init__(self, folder, tls_only):
        self.folder = folder
        self.tls_only = tls_only

    async def handle_DATA(self, server, session, envelope):
        if self.tls_only and session.ssl is None:
            return "530 Must issue a STARTTLS command first"
        secure = "tls" if session.ssl is not None else "plain"
        (self.folder / f"{secure}-{uuid.uuid4()}.eml").write_bytes(envelope.original_content)
        return "250 OK"


class Sink(SMTP):
    async def smtp_AUTH(self, arg):
        with open(self.event_handler.folder / "auth.log", "a") as log:
            print("tls" if self._tls_protocol else "plain", file=log)
        await super().smtp_AUTH(arg)


class SinkController(Controller):
    def factory(self):
        return Sink(self.handler, **self.SMTP_kwargs)


def pipe(source, target):
    try:
        while data := source.recv(65536):
            target.sendall(data)
        target.shutdown(socket.SHUT_WR)
    except OSError:
        pass


class Socks(socketserver.BaseRequestHandler):
    def handle(self):
        reader = self.request.makefile("rb")
        reader.read(reader.read(2)[1])  # the methods offered: no login is the one taken
        self.request.sendall(b"\5\0")
        kind = reader.read(4)[3]
        reader.read({1: 4, 4: 16}.get(kind) or reader.read(1)[0])
        reader.read(2)
        upstream = socket.create_connection(("127.0.0.1", self.server.smtp_port))
        self.request.sendall(b"\5\0\0\1" + bytes(6))
        threading.Thread(target=pipe, args=(upstream, self.request), daemon=True).start()
        pipe(self.request, upstream)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--user", "--password", "--folder"):
        parser.add_argument(option, required=True)
    parser.add_argument("--tls")
    parser.add_argument("--socks", action="store_true")
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
    context = None
    if args.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(f"{args.tls}/cert.pem", f"{args.tls}/key.pem")
    # Without --tls a password in plain is taken, as a home server may; with it, an AUTH before
    # STARTTLS is still logged before it is refused, so a leaked password shows.
    controller = SinkController(Saver(pathlib.Path(args.folder), bool(args.tls)), hostname="127.0.0.1",
                                port=port, authenticator=authenticate,
                                auth_require_tls=bool(args.tls), tls_context=context)
    controller.start()
    print(port, flush=True)
    if args.socks:
        proxy = socketserver.ThreadingTCPServer(("127.0.0.1", 0), Socks)
        proxy.daemon_threads = True
        proxy.smtp_port = port
        threading.Thread(target=proxy.serve_forever, daemon=True).start()
        print(proxy.server_address[1], flush=True)
    sys.stdin.read()
    controller.stop()


main()
