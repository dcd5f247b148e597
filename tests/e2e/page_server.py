"""The pages that the end-to-end cases fetch, served on 127.0.0.1 at a port free at start.

A route is a function of the request handler that writes the whole answer; ROUTES maps the
request's path to it. e2e/pages.h in the driver names the same paths and the same marker.
"""
import fcntl
import http.server
import os
import socket
import socketserver
import ssl
import struct
import termios
import threading
import time

MARKER = "网站运行正常"
CHARSET = "gbk"


def html(text):
    """A small page in GBK, as the sites the tool watches serve."""
    return (f'<html><head><meta http-equiv="Content-Type" content="text/html; charset=gb2312">'
            f"<title>望站测试页</title></head><body><p>{text}</p></body></html>").encode(CHARSET)


def page(body, status=200, cache_control=None):
    """A route that always answers the same; with `cache_control`, kept by caches as that header says."""
    def serve(handler):
        handler.send_response(status)
        handler.send_header("Content-Type", "text/html; charset=gb2312")
        handler.send_header("Content-Length", str(len(body)))
        if cache_control:
            handler.send_header("Cache-Control", cache_control)
        handler.end_headers()
        handler.wfile.write(body)
    return serve


def after(seconds, route):
    """The route, answered after a pause."""
    def serve(handler):
        time.sleep(seconds)
        route(handler)
    return serve


def frame_to(path):
    """A forwarding page: a frame set whose one frame shows the page at `path` of this server."""
    def serve(handler):
        port = handler.server.server_address[1]
        body = f'<html><frameset rows="100%">\n<frame src="http://127.0.0.1:{port}{path}" name="main">\n</frameset></html>'
        page(body.encode())(handler)
    return serve


def redirect(handler):
    """/redirect/N redirects N times, by relative addresses, before the marker page."""
    hops = int(handler.path.rsplit("/", 1)[1])
    moved(handler, "/marker" if hops <= 1 else f"/redirect/{hops - 1}")


def moved(handler, location):
    handler.send_response(302)
    handler.send_header("Location", location)
    handler.send_header("Content-Length", "0")
    handler.end_headers()


def reset(handler):
    """Hangs up with a reset, so that a peer waiting for the rest of the answer gets a failure, not an end."""
    handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    handler.connection.close()
    handler.close_connection = True


def wait_until_received(connection, seconds=5):
    """Waits until the peer has acknowledged every byte sent, as a reset throws away what it has not; Wine's
    sockets report a reset even before data still queued, so the caller gives Wine a moment to read too."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        unacknowledged = struct.unpack("i", fcntl.ioctl(connection.fileno(), termios.TIOCOUTQ, b"\0" * 4))[0]
        if unacknowledged == 0:
            return
        time.sleep(0.01)


def broken(handler):
    """Announces a long body, sends part of it and, once that has been read, resets the connection."""
    handler.send_response(200)
    handler.send_header("Content-Length", "100000")
    handler.end_headers()
    handler.wfile.write(b"<p>" + b"x" * 5000 + b"\n")
    handler.wfile.flush()
    wait_until_received(handler.connection)
    time.sleep(0.5)
    reset(handler)


def cut_short(handler):
    """Announces a long body, sends part of it and closes the connection cleanly."""
    handler.send_response(200)
    handler.send_header("Content-Length", "100000")
    handler.end_headers()
    handler.wfile.write(b"<p>" + b"x" * 5000 + b"\n")
    handler.close_connection = True


def huge_line(ending):
    """256 MB without a line end, `ending` being its last bytes."""
    def serve(handler):
        chunk = b"a" * (1 << 20)
        handler.send_response(200)
        handler.send_header("Content-Length", str(256 * len(chunk)))
        handler.end_headers()
        for _ in range(255):
            handler.wfile.write(chunk)
        handler.wfile.write(chunk[len(ending):] + ending)
    return serve


DRIP_SECONDS = 30


def drip(handler):
    """A body of DRIP_SECONDS bytes, one a second, the marker at its end."""
    marker = MARKER.encode(CHARSET)
    body = b"<p>" + b"." * (DRIP_SECONDS - 3 - len(marker)) + marker
    handler.send_response(200)
    handler.send_header("Content-Length", str(len(body)))
    handler.end_headers()
    handler.wfile.flush()
    for byte in body:
        time.sleep(1)
        handler.wfile.write(bytes([byte]))
        handler.wfile.flush()


def many_headers(handler):
    """10,000 header lines before a page with the marker."""
    body = html(MARKER)
    handler.send_response(200)
    for number in range(10000):
        handler.send_header(f"X-Filler-{number}", "x" * 40)
    handler.send_header("Content-Length", str(len(body)))
    handler.end_headers()
    handler.wfile.write(body)


ENDLESS_DRIP_SECONDS = 10


def body_head(handler):
    """The head of an answer whose body ends only when the connection does."""
    handler.send_response(200)
    handler.send_header("Content-Type", "text/html; charset=gb2312")
    handler.end_headers()
    handler.wfile.write(b"<html><body>\n")
    handler.wfile.flush()


def endless(pause, first, each):
    """An answer that never ends by itself: `first`, then every `pause` seconds `each`, until `goes_on()` turns
    false, when the server hangs up with a reset."""
    def serve(handler, goes_on):
        try:
            first(handler)
            while goes_on(pause):
                handler.wfile.write(each())
                handler.wfile.flush()
        except OSError:
            return  # the tool gave up and hung up
        reset(handler)
    return serve


def silent(handler, goes_on):
    """Reads the request and sends nothing, holding the connection: a hung server whose kernel still accepts."""
    while goes_on(60):
        pass


FRAME_LINE = b"<p>" + b"." * 1020 + b"</p>\n"
ENDLESS = {
    "hang": silent,
    # A byte every few seconds, as a stalled server trickles.
    "drip-forever": endless(ENDLESS_DRIP_SECONDS, body_head, lambda: b"."),
    # A feed that never ends, as a camera's: 64 KiB of lines every 50 ms.
    "stream-forever": endless(0.05, body_head, lambda: FRAME_LINE * 64),
    # The status line, then a header line a second, with no blank line ever.
    "headers-forever": endless(1, lambda handler: handler.wfile.write(b"HTTP/1.1 200 OK\r\n"),
                               lambda: b"X-Drip: x\r\n"),
}


class Switch:
    """A page whose state the driver sets: /switch/ok, /switch/fail, /switch/broken (its body cut short at
    every fetch), /switch/flap (failing and working by turns at every fetch, failing first) or one of the
    ENDLESS answers (/switch/hang, /switch/drip-forever, ...), which go on until the state is set again; then /switch serves
    it, and /switch/cached serves it as a page that caches may keep for an hour."""

    def __init__(self):
        self.state = "ok"
        self.healthy = True
        self.changed = threading.Condition()

    def serve(self, handler, cache_control=None):
        state = self.state
        if state in ENDLESS:
            ENDLESS[state](handler, lambda pause: self.wait_while(state, pause))
            return
        if state == "broken":
            cut_short(handler)
            return
        self.healthy = not self.healthy if state == "flap" else state == "ok"
        page(html(f"今日{MARKER}。" if self.healthy else "网站维护中。"), cache_control=cache_control)(handler)

    def wait_while(self, state, seconds):
        """Waits the seconds unless the state changes first; true when it is still the same."""
        with self.changed:
            return not self.changed.wait_for(lambda: self.state != state, seconds)

    def setter(self, state):
        def serve(handler):
            with self.changed:
                self.state = state
                self.healthy = True
                self.changed.notify_all()
            page(b"set")(handler)
        return serve


SWITCH = Switch()

ROUTES = {
    "/switch": SWITCH.serve,
    "/switch/cached": lambda handler: SWITCH.serve(handler, cache_control="max-age=3600"),
    "/connections": lambda handler: page(str(handler.server.connections).encode())(handler),
    **{f"/switch/{state}": SWITCH.setter(state) for state in ("ok", "fail", "broken", "flap", *ENDLESS)},
    "/marker": page(html(f"今日{MARKER},请放心。")),
    "/plain": page(html("这一页没有正常标志。")),
    "/slow-plain": after(0.5, page(html("这一页没有正常标志。"))),
    "/404-marker": page(html(f"页面不存在,但{MARKER}"), status=404),
    "/empty": page(b""),
    "/frame": frame_to("/marker"),
    "/frame-to-plain": frame_to("/plain"),
    "/frame-to-switch": frame_to("/switch"),
    "/frame-unclosed": page(b'<frameset><frame src="http://127.0.0.1:1/marker></frameset>'),
    "/loop": lambda handler: moved(handler, "/loop"),
    "/break": broken,
    "/huge": huge_line(b"a"),
    "/huge-marker": huge_line(MARKER.encode(CHARSET)),
    "/reset": reset,
    "/cut-short": cut_short,
    "/drip": drip,
    "/many-headers": many_headers,
    **{f"/redirect/{hops}": redirect for hops in range(1, 4)},
    "/to-https": lambda handler: moved(handler, f"https://localhost:{handler.server.https_port}/marker"),
    "/to-http": lambda handler: moved(handler, f"http://127.0.0.1:{handler.server.http_port}/marker"),
}


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        route = ROUTES.get(self.path.split("?", 1)[0])
        if route is None:
            self.send_error(404, "no such test page")
            return
        route(self)

    def log_message(self, format, *args):
        pass  # the driver's output is the one to read


class CountingServer(http.server.ThreadingHTTPServer):
    """Counts the connections it accepts, so a case can tell that a client opened none."""

    connections = 0

    def process_request(self, request, client_address):
        self.connections += 1
        super().process_request(request, client_address)


class TlsAlertHandler(socketserver.BaseRequestHandler):
    """What a TLS server says to a plain HTTP request: a fatal "unexpected message" alert, then it hangs up."""

    ALERT = bytes([0x15, 0x03, 0x03, 0x00, 0x02, 0x02, 0x0A])

    def handle(self):
        self.request.settimeout(5)
        try:
            self.request.recv(4096)
            self.request.sendall(self.ALERT)
        except OSError:
            pass


class HttpsServer(CountingServer):
    """Serves ROUTES over TLS with the certificate and key of one .pem file."""

    def __init__(self, pem):
        super().__init__(("127.0.0.1", 0), Handler)
        self._context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        self._context.load_cert_chain(pem)

    def finish_request(self, request, client_address):
        # The handshake runs in the connection's own thread, so a client that stalls in it holds up no other.
        try:
            request = self._context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError):
            return  # a client that refuses the certificate hangs up in the handshake
        super().finish_request(request, client_address)


class PageServer:
    """Serves ROUTES, and a port that speaks only TLS, from threads of their own while inside a with block.
    Given the folder of make_test_certs.sh, it also serves ROUTES over HTTPS, with a certificate from the test
    authority and with one from an authority nobody trusts."""

    def __init__(self, certificates=None):
        self._certificates = certificates

    def __enter__(self):
        self._servers = [CountingServer(("127.0.0.1", 0), Handler),
                         socketserver.ThreadingTCPServer(("127.0.0.1", 0), TlsAlertHandler)]
        if self._certificates:
            self._servers += [HttpsServer(os.path.join(self._certificates, name))
                              for name in ("trusted.pem", "untrusted.pem")]
            for server in self._servers:
                server.https_port, server.http_port = self.https_port, self.port
        self._threads = [threading.Thread(target=server.serve_forever, daemon=True) for server in self._servers]
        for thread in self._threads:
            thread.start()
        return self

    def __exit__(self, *exc):
        for server, thread in zip(self._servers, self._threads):
            server.shutdown()
            server.server_close()
            thread.join()

    @property
    def port(self):
        return self._servers[0].server_address[1]

    @property
    def tls_port(self):
        return self._servers[1].server_address[1]

    @property
    def https_port(self):
        return self._servers[2].server_address[1]

    @property
    def untrusted_https_port(self):
        return self._servers[3].server_address[1]
