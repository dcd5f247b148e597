#!/usr/bin/env python3
"""Serves the benchmarks' pages on 127.0.0.1 while a command runs; exits with the command's code.

The command finds the port in WZ_BENCH_PORT. A page is /page/<size>/<marker>/<pace>[/close]:
  size    100K, 10M or 100M (bytes: KiB and MiB)
  marker  first, last or absent: where the line with the marker stands
  pace    full (as fast as the socket takes it) or paced (8 MiB/s)
  close   the server ends the connection after the page; else it keeps it open for the next request
Lines are HTML-like, about 80 bytes, every fourth with GBK text; the marker is MARKER in GBK.
"""
import http.server
import os
import random
import subprocess
import sys
import threading
import time

MARKER = "网站运行正常"
SIZES = {"100K": 100 << 10, "10M": 10 << 20, "100M": 100 << 20}
PACED_BYTES_PER_SECOND = 8 << 20
CHUNK = 64 << 10


def filler_block():
    """About 1 MiB of whole lines that cannot hold the marker: their GBK bytes lie in 0xB0-0xD3, and every
    character of the marker has a byte outside that range."""
    rng = random.Random(2024)
    lines = []
    for row in range(13000):
        if row % 4 == 0:
            text = bytes(rng.randrange(0xB0, 0xD4) for _ in range(2 * rng.randrange(6, 19)))
            lines.append(b'<p class="note">' + text + b"</p><span>%d</span>\r\n" % rng.randrange(10 ** 7))
        else:
            lines.append(b'<tr><td class="c%d">%d</td><td><a href="/item/%d.html">go</a></tr>\r\n'
                         % (row % 7, rng.randrange(10 ** 7), rng.randrange(10 ** 7)))
    return b"".join(lines)


BLOCK = filler_block()
MARKER_LINE = f'<p class="status">今日{MARKER}。</p>\r\n'.encode("gbk")
PLAIN_LINE = '<p class="status">今日无事。</p>\r\n'.encode("gbk")


def page_parts(size, marker):
    """The first line, the length of the filler in between, the last line."""
    first = MARKER_LINE if marker == "first" else PLAIN_LINE
    last = MARKER_LINE if marker == "last" else PLAIN_LINE
    return first, size - len(first) - len(last), last


class Pacer:
    """Sleeps as needed so that the bytes sent keep to a rate; does nothing at full speed."""

    def __init__(self, paced):
        self.paced = paced
        self.start = time.monotonic()
        self.sent = 0

    def sent_more(self, count):
        self.sent += count
        if self.paced:
            ahead = self.sent / PACED_BYTES_PER_SECOND - (time.monotonic() - self.start)
            if ahead > 0:
                time.sleep(ahead)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"  # keep-alive, as real servers answer

    def do_GET(self):
        parts = self.path.strip("/").split("/")
        if len(parts) not in (4, 5) or parts[0] != "page" or parts[1] not in SIZES \
                or parts[2] not in ("first", "last", "absent") or parts[3] not in ("full", "paced") \
                or parts[4:] not in ([], ["close"]):
            self.send_error(404, "no such page")
            return
        first, filler, last = page_parts(SIZES[parts[1]], parts[2])
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=gb2312")
        self.send_header("Content-Length", str(len(first) + filler + len(last)))
        if parts[4:]:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        try:
            self.send_body(first, filler, last, Pacer(parts[3] == "paced"))
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True  # the check stopped reading early

    def send_body(self, first, filler, last, pacer):
        """The filler is the block over and over, cut to length and ended by a line end."""
        self.wfile.write(first)
        pacer.sent_more(len(first))
        block = memoryview(BLOCK)
        left, offset = filler - 2, 0
        while left > 0:
            chunk = block[offset:offset + min(CHUNK, left)]
            self.wfile.write(chunk)
            left -= len(chunk)
            offset = (offset + len(chunk)) % len(block)
            pacer.sent_more(len(chunk))
        self.wfile.write(b"\r\n" + last)
        pacer.sent_more(2 + len(last))

    def log_message(self, format, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        if not isinstance(sys.exc_info()[1], ConnectionError):  # a check that stopped reading hangs up
            super().handle_error(request, client_address)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    server = Server(("127.0.0.1", 0), Handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        environment = dict(os.environ, WZ_BENCH_PORT=str(server.server_address[1]))
        return subprocess.run(sys.argv[1:], env=environment).returncode
    finally:
        server.shutdown()
        server.server_close()


if __name__ == "__main__":
    sys.exit(main())
