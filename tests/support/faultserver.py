#!/usr/bin/python3
"""A small HTTP server for the engine's tests, on 127.0.0.1 and an ephemeral
port (printed as "PORT n" on the first line of stdout). It serves the files of
the folder given as its first argument (over HTTPS when a certificate and its
key follow) and misbehaves on request, chosen by the path and the query:

  /file/NAME                  the file, with ranges, ETag, Last-Modified
      ?drops=A,B,...          close the connection when the body reaches file offset A (then B...)
      ?dropfirst=N            the first N answers of the file end halfway through the body and
                              close the connection (the later ones are whole)
      ?noranges=1             ignore Range, no Accept-Ranges
      ?changing=1             content and ETag change with every request: byte b of
                              the n-th answer is (b + n) mod 256
      ?ifrange=ignore         answer a range request with 206 even when If-Range differs
      ?chunked=1              chunked transfer coding, no Content-Length
      ?stall=N                send N body bytes, then nothing for up to 60 s
      ?auth=USER:PASS         require this basic login
      ?cookie=1               require the cookie set by /setcookie
      ?disposition=VALUE      send Content-Disposition: VALUE
      ?lie206=1               answer a range request with 206 whose body is a short error page
      ?maxconn=N              answer 503 while N answers of the file are being sent
      ?refuseextra=N          answer 403 to the first N requests that come while another answer of
                              the file is being sent (a proxy that counts a client's connections)
      ?ignorerange=K          answer every K-th range request with the whole file (200)
      ?changeafter=K          the file changes once, after K requests: later answers carry
                              another ETag and Last-Modified, and byte b becomes (b + 1) mod 256
      ?corruptat=N            byte N of every answer's body (counted from its first byte) is
                              wrong: whatever range is asked for, one piece of it is bad
      ?etagperconn=1          the same bytes, but an ETag of each connection's own (as servers
                              behind a balancer give, each its own), If-Range compared with it
      ?etagperanswer=1        as etagperconn, but a connection's ETag changes with each of its
                              answers (the same Last-Modified)
      ?rate=N                 send at most N bytes per second on each connection
      ?trickle=N              send one body byte every N seconds (for up to 60 s)
      ?pause=N,S              after N body bytes of each answer, nothing for S seconds, then the rest
      ?digest=KIND            announce the file's digest: "repr" (RFC 9530 Repr-Digest),
                              "content" (Content-Digest), "instance" (RFC 3230 Digest)
      ?alg=NAME               with ?digest: sha-256 (default), sha-512 or md5
      ?digestwrong=1          with ?digest: announce the digest of other bytes
  /signed/TOKEN/NAME          the file as /file/NAME (with every option above) at a signed address
      ?expires=N              the token is good for N body bytes in all: the answer that reaches
                              N ends there and closes the connection, and every later request
                              with the token is refused (a signed link that expired)
      ?expiredcode=CODE       what an expired token gets: 403 (default), 404 or 410
      ?alter=1                other bytes of the same length and validators: byte b is (b + 1) mod 256
  /stats                      "requests R ranged G concurrent C sending S bytes B again A" for the
                              files served so far (G: answers sent as a range (206), C: the most
                              answers sent at once, S: those sent now, B: body bytes handed to the
                              network, A: answers on a connection that had sent one before);
                              ?reset=1 starts again once none is being sent
  /heads                      the heads of every request since the last ?reset=1 (request line and
                              header lines as received), each ended by an empty line
  /status/CODE?retryafter=N   an error page with that status (and Retry-After: N)
  /bighead?lines=N&size=S     a head of N header lines of S bytes (default 1000)
  /status/CODE                an error page with that status
  /redirect/N?to=PATH         a chain of N redirects ending at PATH
  /setcookie?to=PATH          sets a cookie and redirects to PATH
  /echo                       the request line and User-Agent as the body
      ?details=1              and the Cookie and Referer headers
  /garbage                    an answer that is not HTTP
  /huge/SIZE                  declares SIZE bytes (may exceed 4 GiB), sends zeros slowly
"""
import base64
import hashlib
import os
import signal
import socket
import ssl
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

LAST_MODIFIED = "Tue, 01 Dec 2026 10:00:00 GMT"
CHANGED = "Tue, 01 Dec 2026 10:05:00 GMT"
ROOT = "."
_counters = {}
_lock = threading.Lock()
_stats = {"requests": 0, "ranged": 0, "sending": 0, "concurrent": 0, "bytes": 0, "again": 0}
_heads = []
_tokens = {}  # body bytes each signed address has sent


def read_file(name):
    path = os.path.join(ROOT, os.path.basename(name))
    with open(path, "rb") as f:
        return f.read()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def setup(self):
        super().setup()
        with _lock:
            _counters["connections"] = self.connection_number = _counters.get("connections", 0) + 1

    def log_message(self, *args):
        pass

    def do_HEAD(self):
        self.do_GET(head=True)

    def do_GET(self, head=False):
        url = urlsplit(self.path)
        q = {k: v[-1] for k, v in parse_qs(url.query).items()}
        parts = [p for p in url.path.split("/") if p]
        if parts[:1] != ["heads"]:
            with _lock:
                _heads.append(self.requestline + "\r\n" + "".join(
                    "%s: %s\r\n" % (k, v) for k, v in self.headers.raw_items()))
        try:
            if not parts:
                return self.error(404)
            kind = parts[0]
            if "auth" in q and not self.authorised(q["auth"]):
                self.send_response(401)
                self.send_header("WWW-Authenticate", 'Basic realm="test"')
                self.send_header("Content-Length", "0")
                return self.end_headers()
            if q.get("cookie") == "1" and "dromo=yes" not in (self.headers.get("Cookie") or ""):
                return self.error(403)
            if kind == "file":
                return self.counted(parts[1], q, head)
            if kind == "signed" and len(parts) == 3:
                with _lock:
                    spent = _tokens.get(parts[1], 0)
                if "expires" in q and spent >= int(q["expires"]):
                    return self.error(int(q.get("expiredcode", "403")))
                return self.counted(parts[2], q, head, token=parts[1])
            if kind == "stats":
                with _lock:
                    body = ("requests %(requests)d ranged %(ranged)d concurrent %(concurrent)d sending %(sending)d"
                            " bytes %(bytes)d again %(again)d" % _stats).encode()
                    if q.get("reset") == "1" and _stats["sending"] == 0:
                        _stats.update(requests=0, ranged=0, concurrent=0, bytes=0, again=0)
                return self.body(body)
            if kind == "heads":
                with _lock:
                    body = "".join(h + "\r\n" for h in _heads).encode("latin-1", "replace")
                    if q.get("reset") == "1":
                        del _heads[:]
                return self.body(body)
            if kind == "status":
                return self.error(int(parts[1]), q.get("retryafter"))
            if kind == "bighead":
                self.send_response(200)
                for i in range(int(q.get("lines", "100000"))):
                    self.send_header("X-Filler-%d" % i, "x" * int(q.get("size", "1000")))
                self.send_header("Content-Length", "0")
                return self.end_headers()
            if kind == "redirect":
                n = int(parts[1])
                target = "/redirect/%d?%s" % (n - 1, url.query) if n > 1 else q.get("to", "/status/404")
                return self.redirect(target)
            if kind == "setcookie":
                self.send_response(302)
                self.send_header("Set-Cookie", "dromo=yes; Path=/")
                self.send_header("Location", q.get("to", "/status/404"))
                self.send_header("Content-Length", "0")
                return self.end_headers()
            if kind == "echo":
                body = ("%s\n%s\n" % (self.requestline, self.headers.get("User-Agent", ""))).encode()
                if q.get("details") == "1":
                    body += ("Cookie: %s\nReferer: %s\n" % (self.headers.get("Cookie", ""),
                                                             self.headers.get("Referer", ""))).encode()
                return self.body(body)
            if kind == "garbage":
                self.wfile.write(b"\x00\xffNOT HTTP AT ALL\r\n\x01\x02\r\n\r\n")
                self.close_connection = True
                return
            if kind == "huge":
                return self.huge(int(parts[1]))
            return self.error(404)
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def authorised(self, login):
        header = self.headers.get("Authorization") or ""
        return header == "Basic " + base64.b64encode(login.encode()).decode()

    def error(self, code, retry_after=None):
        body = b"<html><body>error page %d</body></html>" % code
        self.send_response(code)
        if retry_after is not None:
            self.send_header("Retry-After", retry_after)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, target):
        self.send_response(302)
        self.send_header("Location", target)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def body(self, body):
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def counted(self, name, q, head, token=None):
        with _lock:
            _stats["requests"] += 1
            busy = _stats["sending"]
            refuse = "maxconn" in q and busy >= int(q["maxconn"])
            forbid = busy > 0 and _counters.get("refused extra", 0) < int(q.get("refuseextra", "0"))
            if forbid:
                _counters["refused extra"] = _counters.get("refused extra", 0) + 1
            if not refuse and not forbid:
                self.answers = getattr(self, "answers", 0) + 1
                _stats["again"] += self.answers > 1
                _stats["sending"] = busy + 1
                _stats["concurrent"] = max(_stats["concurrent"], busy + 1)
        if refuse:
            return self.error(503)
        if forbid:
            return self.error(403)
        try:
            return self.data(name, q, head, token)
        finally:
            with _lock:
                _stats["sending"] -= 1

    def data(self, name, q, head, token=None):
        try:
            data = read_file(name)
        except OSError:
            return self.error(404)
        size = len(data)
        etag = '"f%d"' % size
        modified = LAST_MODIFIED
        if q.get("changing") == "1":
            with _lock:
                n = _counters[name] = _counters.get(name, 0) + 1
            etag = '"v%d"' % n
            data = data.translate(bytes((i + n) % 256 for i in range(256)))
        if "changeafter" in q:
            with _lock:
                n = _counters[name] = _counters.get(name, 0) + 1
            if n > int(q["changeafter"]):
                etag = '"g%d"' % size
                modified = CHANGED
                data = data.translate(bytes((i + 1) % 256 for i in range(256)))
        if q.get("alter") == "1":
            data = data.translate(bytes((i + 1) % 256 for i in range(256)))
        if q.get("etagperconn") == "1":
            etag = '"c%d"' % self.connection_number
        if q.get("etagperanswer") == "1":
            etag = '"c%d-%d"' % (self.connection_number, getattr(self, "answers", 0))
        ranges = q.get("noranges") != "1"
        if ranges and "ignorerange" in q and self.headers.get("Range"):
            with _lock:
                k = _counters["ignorerange"] = _counters.get("ignorerange", 0) + 1
            ranges = k % int(q["ignorerange"]) != 0
        start = 0
        rng = self.headers.get("Range")
        if_range = self.headers.get("If-Range")
        partial = False
        stop = size
        if ranges and rng and rng.startswith("bytes=") and "-" in rng:
            first, last = rng[6:].split("-", 1)
            wanted = int(first)
            if if_range is None or if_range in (etag, modified) or q.get("ifrange") == "ignore":
                if wanted >= size:
                    self.send_response(416)
                    self.send_header("Content-Range", "bytes */%d" % size)
                    self.send_header("Content-Length", "0")
                    return self.end_headers()
                start, partial = wanted, True
                if last:
                    stop = min(size, int(last) + 1)
        if partial and q.get("lie206") == "1":
            page = b"<html><body>temporarily unavailable</body></html>"
            self.send_response(206)
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, size - 1, size))
            self.send_header("Content-Length", str(len(page)))
            self.end_headers()
            self.wfile.write(page)
            return
        self.send_response(206 if partial else 200)
        if partial:
            with _lock:
                _stats["ranged"] += 1
        if "disposition" in q:
            self.send_header("Content-Disposition", q["disposition"])
        if ranges:
            self.send_header("Accept-Ranges", "bytes")
        if "digest" in q:
            self.send_digest(data, q)
        self.send_header("ETag", etag)
        self.send_header("Last-Modified", modified)
        if partial:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, stop - 1, size))
        chunked = q.get("chunked") == "1"
        if chunked:
            self.send_header("Transfer-Encoding", "chunked")
        else:
            self.send_header("Content-Length", str(stop - start))
        self.end_headers()
        if head:
            return
        if "corruptat" in q and start + int(q["corruptat"]) < stop:
            at = start + int(q["corruptat"])
            data = data[:at] + bytes([data[at] ^ 0xFF]) + data[at + 1:]
        end = stop
        drops = [int(d) for d in q.get("drops", "").split(",") if d]
        later = [d for d in drops if start < d < stop]
        if later:
            end = min(later)
        if "dropfirst" in q:
            with _lock:
                n = _counters["dropfirst " + name] = _counters.get("dropfirst " + name, 0) + 1
            if n <= int(q["dropfirst"]):
                end = start + (stop - start) // 2
        if "stall" in q:
            end = min(stop, start + int(q["stall"]))
        if token is not None and "expires" in q:
            with _lock:
                left = int(q["expires"]) - _tokens.get(token, 0)
                end = min(end, start + max(0, left))
                _tokens[token] = _tokens.get(token, 0) + (end - start)
        if "trickle" in q:
            return self.trickle(data[start:end], float(q["trickle"]))
        rate = int(q.get("rate", "0"))
        if "pause" in q:
            at, seconds = q["pause"].split(",")
            at = min(end, start + int(at))
            self.send_body(data[start:at], chunked, final=False, rate=rate)
            deadline = time.time() + float(seconds)
            while time.time() < deadline and not getattr(self.server, "stopping", False):
                time.sleep(0.05)
            start = at
        self.send_body(data[start:end], chunked, final=(end == stop), rate=rate)
        if end < stop:
            if "stall" in q:
                deadline = time.time() + 60
                while time.time() < deadline and not getattr(self.server, "stopping", False):
                    time.sleep(0.05)
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)

    def send_digest(self, data, q):
        alg = q.get("alg", "sha-256")
        hashed = data + b"!" if q.get("digestwrong") == "1" else data
        value = base64.b64encode(hashlib.new(alg.replace("-", ""), hashed).digest()).decode()
        if q["digest"] == "instance":
            self.send_header("Digest", "%s=%s" % (alg.upper(), value))
        else:
            name = "Repr-Digest" if q["digest"] == "repr" else "Content-Digest"
            self.send_header(name, "%s=:%s:" % (alg, value))

    def send_body(self, data, chunked, final, rate=0):
        step = 65536 if rate <= 0 else max(1024, rate // 20)
        began = time.time()
        for i in range(0, len(data), step):
            if rate > 0:
                time.sleep(max(0.0, began + i / rate - time.time()))
            piece = data[i:i + step]
            if chunked:
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            else:
                self.wfile.write(piece)
            with _lock:
                _stats["bytes"] += len(piece)
        if chunked and final:
            self.wfile.write(b"0\r\n\r\n")
        self.wfile.flush()

    def trickle(self, data, seconds):
        deadline = time.time() + 60
        for i in range(len(data)):
            if time.time() > deadline or getattr(self.server, "stopping", False):
                break
            self.wfile.write(data[i:i + 1])
            self.wfile.flush()
            time.sleep(seconds)
        self.close_connection = True

    def huge(self, size):
        start, stop = 0, size
        rng = self.headers.get("Range")
        if rng and rng.startswith("bytes=") and "-" in rng:
            first, last = rng[6:].split("-", 1)
            start = int(first)
            stop = int(last) + 1 if last else size
            self.send_response(206)
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, stop - 1, size))
        else:
            self.send_response(200)
        self.send_header("Accept-Ranges", "bytes")
        self.send_header("Content-Length", str(stop - start))
        self.end_headers()
        deadline = time.time() + 60
        while time.time() < deadline:
            self.wfile.write(b"\0" * 4096)
            self.wfile.flush()
            time.sleep(0.01)


def main():
    global ROOT
    ROOT = sys.argv[1] if len(sys.argv) > 1 else "."
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if len(sys.argv) > 3:  # CERT KEY: speak HTTPS
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[2], sys.argv[3])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
