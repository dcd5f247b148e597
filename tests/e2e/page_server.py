"""The pages that the end-to-end cases fetch, served on 127.0.0.1 at a port free at start.

A route is a function of the request handler that writes the whole answer; ROUTES maps the
request's path to it. e2e/pages.h in the driver names the same paths and the same marker.
"""
import http.server
import socket
import struct
import threading
import time

MARKER = "网站运行正常"
BREAK_DELAY_SECONDS = 1.0
CHARSET = "gbk"


def html(text):
    """A small page in GBK, as the sites the tool watches serve."""
    return (f'<html><head><meta http-equiv="Content-Type" content="text/html; charset=gb2312">'
            f"<title>望站测试页</title></head><body><p>{text}</p></body></html>").encode(CHARSET)


def page(body, status=200):
    """A route that always answers the same."""
    def serve(handler):
        handler.send_response(status)
        handler.send_header("Content-Type", "text/html; charset=gb2312")
        handler.send_header("Content-Length", str(len(body)))
        handler.end_headers()
        handler.wfile.write(body)
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


def broken(handler):
    """Announces a long body, sends part of it and resets the connection once the client has had time to read it.

    A reset discards whatever the client has not read yet: sent at once, it can beat a slow client to the
    headers, and the open itself fails instead of the receive.
    """
    handler.send_response(200)
    handler.send_header("Content-Length", "100000")
    handler.end_headers()
    handler.wfile.write(b"<p>" + b"x" * 5000 + b"\n")
    handler.wfile.flush()
    time.sleep(BREAK_DELAY_SECONDS)
    handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    handler.connection.close()
    handler.close_connection = True


def huge(handler):
    """256 MB without a line end, the marker absent."""
    chunk = b"a" * (1 << 20)
    handler.send_response(200)
    handler.send_header("Content-Length", str(256 * len(chunk)))
    handler.end_headers()
    for _ in range(256):
        handler.wfile.write(chunk)


class Switch:
    """A page whose health the driver sets: /switch/ok and /switch/fail, then /switch serves it."""

    def __init__(self):
        self.healthy = True

    def serve(self, handler):
        page(html(f"今日{MARKER}。" if self.healthy else "网站维护中。"))(handler)

    def setter(self, healthy):
        def serve(handler):
            self.healthy = healthy
            page(b"set")(handler)
        return serve


SWITCH = Switch()

ROUTES = {
    "/switch": SWITCH.serve,
    "/switch/ok": SWITCH.setter(True),
    "/switch/fail": SWITCH.setter(False),
    "/marker": page(html(f"今日{MARKER},请放心。")),
    "/plain": page(html("这一页没有正常标志。")),
    "/404-marker": page(html(f"页面不存在,但{MARKER}"), status=404),
    "/empty": page(b""),
    "/frame": frame_to("/marker"),
    "/frame-to-plain": frame_to("/plain"),
    "/frame-unclosed": page(b'<frameset><frame src="http://127.0.0.1:1/marker></frameset>'),
    "/loop": lambda handler: moved(handler, "/loop"),
    "/break": broken,
    "/huge": huge,
    **{f"/redirect/{hops}": redirect for hops in range(1, 4)},
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


class PageServer:
    """Serves ROUTES from a thread of its own while inside a with block."""

    def __enter__(self):
        self._server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self._thread = threading.Thread(target=self._server.serve_forever, daemon=True)
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self._server.shutdown()
        self._server.server_close()
        self._thread.join()

    @property
    def port(self):
        return self._server.server_address[1]
