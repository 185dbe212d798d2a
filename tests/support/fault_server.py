#!/usr/bin/python3
"""A misbehaving server on two loopback ports (two origins) for the WebDAV client's tests: prints
the ports, answers by path and logs "<port> <verb> <path>" of each request to the file named.
--tls DIR serves https with DIR's cert.pem and key.pem; --refuse-puts URL passes every
request on to the server at URL but answers each PUT 412, as if the card had changed there."""
import http.client, http.server, ssl, sys, threading, time, urllib.parse

LOG = open(sys.argv[1], "a", buffering=1)


class Fault(http.server.BaseHTTPRequestHandler):
    def reply(self, status, headers=(), body=b""):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def flood(self, chunk, pause):
        try:
            for _ in range(int(30 / pause) if pause else 10**9):
                self.wfile.write(chunk)
                time.sleep(pause)
        except OSError:
            pass

    def relay(self, body):
        upstream = urllib.parse.urlsplit(OPTIONS["--refuse-puts"])
        connection = http.client.HTTPConnection(upstream.hostname, upstream.port)
        connection.request(self.command, self.path, body, dict(self.headers))
        answer = connection.getresponse()
        content = answer.read()
        headers = [(k, v) for k, v in answer.getheaders() if k.lower() != "transfer-encoding"]
        self.reply(answer.status, [h for h in headers if h[0].lower() != "content-length"]
                   + [("Content-Length", str(len(content)))], content)

    def do_GET(self):
        port = self.server.server_address[1]
        LOG.write("%d %s %s%s\n" % (port, self.command, self.path,
                                     " with password" if "Authorization" in self.headers else ""))
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        if "--refuse-puts" in OPTIONS:
            return self.reply(412, [("Content-Length", "0")]) if self.command == "PUT" \
                else self.relay(body)
        away = "http://127.0.0.1:%d/landing" % (sum(PORTS) - port)
        empty = ("Content-Length", "0")
        if self.path in ("/away", "/hop"):
            self.reply(307, [("Location", away if self.path == "/away" else "/landing"), empty])
        elif self.path == "/landing":
            self.reply(201, [("ETag", '"%s %d"' % (self.command, len(body))), empty])
        elif self.path in ("/endless", "/huge"):
            self.reply(200, [("Content-Length", str(50 << 20))] if self.path == "/huge" else [])
            self.flood(b"x" * 65536, 0)
        elif self.path == "/trickle":
            self.reply(200)
            self.flood(b"x", 0.05)
        else:  # thinks a second, then names the host it was asked as
            time.sleep(1)
            host = self.headers.get("Host", "").encode()
            self.reply(207, [("Content-Length", str(len(host)))], host)

    do_PUT = do_PROPFIND = do_REPORT = do_DELETE = do_MKCOL = do_GET


OPTIONS = dict(zip(sys.argv[2::2], sys.argv[3::2]))
SERVERS = [http.server.ThreadingHTTPServer(("127.0.0.1", 0), Fault) for _ in range(2)]
if "--tls" in OPTIONS:
    CONTEXT = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    CONTEXT.load_cert_chain(OPTIONS["--tls"] + "/cert.pem", OPTIONS["--tls"] + "/key.pem")
    for server in SERVERS:
        server.socket = CONTEXT.wrap_socket(server.socket, server_side=True)
PORTS = [server.server_address[1] for server in SERVERS]
for server in SERVERS:
    threading.Thread(target=server.serve_forever, daemon=True).start()
print(*PORTS, flush=True)
sys.stdin.read()  # ends with the test that started it
