#!/usr/bin/python3
"""An FTP server for the engine's tests: serves ROOT on 127.0.0.1 and an
ephemeral port (printed as "PORT n"), to anonymous and to USER:PASS.
With --drops A,B,... a download ends early when it reaches file offset A
(then B...), as if the connection broke there."""
import argparse
import io
import signal
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

DROPS = []


class DroppingFile(io.RawIOBase):
    def __init__(self, f):
        self.f = f
        self.name = f.name
        self.limit = None

    def seek(self, pos, whence=0):
        pos = self.f.seek(pos, whence)
        later = [d for d in DROPS if d > pos]
        self.limit = min(later) if later else None
        return pos

    def read(self, n=-1):
        pos = self.f.tell()
        if self.limit is None:
            later = [d for d in DROPS if d > pos]
            self.limit = min(later) if later else -1
        if self.limit is not None and self.limit >= 0:
            n = min(n if n >= 0 else self.limit - pos, self.limit - pos)
            if n <= 0:
                return b""
        return self.f.read(n)

    def close(self):
        self.f.close()
        super().close()

    @property
    def closed(self):
        return self.f.closed


class DroppingFS(AbstractedFS):
    def open(self, filename, mode):
        f = super().open(filename, mode)
        return DroppingFile(f) if "r" in mode and DROPS else f


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--login", default="user:secret")
    parser.add_argument("--drops", default="")
    args = parser.parse_args()
    DROPS.extend(int(d) for d in args.drops.split(",") if d)
    user, password = args.login.split(":", 1)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, args.root, perm="elr")
    authorizer.add_anonymous(args.root)
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.abstracted_fs = DroppingFS
    handler.permit_foreign_addresses = False
    server = FTPServer(("127.0.0.1", 0), handler)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    print("PORT %d" % server.address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
