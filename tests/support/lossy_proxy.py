#!/usr/bin/python3
"""A lossy stand-in in front of a gateway on 127.0.0.1:PORT (the first argument): each POST goes
on to the gateway, and its answer comes back unless it is one chosen to be lost; then the gateway
has acted and the caller gets the connection closed with nothing. Prints its own port; each line
"AFTER TIMES" on stdin loses, of the requests to come, TIMES after AFTER answered ("ok" when
taken). A gateway that fails reaches the caller the same way. Ends with stdin."""
import http.client, http.server, sys, threading

TARGET = int(sys.argv[1])
LOCK = threading.Lock()
plan = [0, 0]  # answers to hand on first, answers to lose then


def losing():
    with LOCK:
        if plan[0] > 0:
            plan[0] -= 1
            return False
        plan[1] -= 1
        return plan[1] >= 0


class Stand(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        lose = losing()
        try:
            gateway = http.client.HTTPConnection("127.0.0.1", TARGET, timeout=30)
            gateway.request("POST", self.path, body, dict(self.headers))
            answer = gateway.getresponse()
            data = answer.read()
        except (OSError, http.client.HTTPException):
            lose = True
        self.close_connection = True
        if lose:
            return
        self.send_response(answer.status)
        self.send_header("Content-Type", answer.getheader("Content-Type", ""))
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, *arguments):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Stand)
threading.Thread(target=server.serve_forever, daemon=True).start()
print(server.server_address[1], flush=True)
for line in sys.stdin:
    with LOCK:
        plan[:] = map(int, line.split())
    print("ok", flush=True)
