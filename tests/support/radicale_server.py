"""A Radicale calendar server of the test's own on a free loopback port, with its storage in a
folder the test gives, so that it can be killed and started again over the same data.

Run as a program, this file is that server: Radicale with the arguments given, writing without
fsync. Each write of Radicale's waits for the disk several times (item, cache, history, folder),
about 20 ms of its 40 ms on an empty calendar here; a test's storage is thrown away and a killed
server's writes are in the page cache all the same, so only a lost machine could tell. Radicale
takes this one option from its own code only, not from a file or the command line."""
import os
import signal
import socket
import subprocess
import sys
import time


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class RadicaleServer:
    def __init__(self, folder, htpasswd=None):
        self.folder = folder
        self.port = free_port()
        self.url = "http://127.0.0.1:%d/" % self.port
        self.log = os.path.join(folder, "radicale.log")
        self.htpasswd = htpasswd
        self.process = None

    def start(self):
        auth = ["--auth-type", "none"]
        if self.htpasswd:
            path = os.path.join(self.folder, "htpasswd")
            with open(path, "w") as f:
                f.write("".join("%s:%s\n" % pair for pair in self.htpasswd.items()))
            auth = ["--auth-type", "htpasswd", "--auth-htpasswd-filename", path,
                    "--auth-htpasswd-encryption", "plain"]
        # No configuration file of the machine's or the user's may change what is tested.
        command = [sys.executable, os.path.abspath(__file__), "--config", "",
                   "--server-hosts", "127.0.0.1:%d" % self.port,
                   "--storage-filesystem-folder", os.path.join(self.folder, "storage"),
                   "--logging-level", "info"] + auth
        self.process = subprocess.Popen(command, stdout=subprocess.DEVNULL,
                                        stderr=open(self.log, "a"))
        deadline = time.time() + 20
        while time.time() < deadline:
            try:
                socket.create_connection(("127.0.0.1", self.port), 0.2).close()
                return self
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("radicale did not start; see " + self.log)

    def stop(self, sig=signal.SIGTERM):
        if self.process and self.process.poll() is None:
            self.process.send_signal(sig)
            self.process.wait(10)
        self.process = None

    def requests(self, kind=""):
        """Requests the server has logged so far, of those whose log line holds kind."""
        with open(self.log, encoding="utf-8", errors="replace") as f:
            return sum(1 for line in f if " request for " in line and kind in line)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()


def serve_unsynced():
    import radicale.config
    from radicale.__main__ import run

    load = radicale.config.load

    def unsynced(paths=None):
        configuration = load(paths)
        configuration.update({"storage": {"_filesystem_fsync": "False"}}, "the test's fixture",
                             privileged=True)
        return configuration

    radicale.config.load = unsynced
    run()


if __name__ == "__main__":
    serve_unsynced()
