#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets from the unit tests' hand-made cases; run it after changing them.

Each target's inputs start with its choice bytes (see the target's banner); the seeds take each body with
whole-buffer receives and with receives around the 127-byte piece, for both kinds of page.
"""
import pathlib

HERE = pathlib.Path(__file__).resolve().parent
INTERNET, FILE = 0, 1
WHOLE = b"\xff\xff\xff\xff"
AROUND_A_PIECE = bytes([44, 45, 46, 47])  # receives of 122, 127, 133 and 139 bytes
ONE_BYTE = b"\x00\x00\x00\x00"

SPLITTER_BODIES = {
    "cr_only": b"abcdefghi\r" * 20,
    "cr_at_piece_end": b"x" * 126 + b"\rx\ry\n",
    "last_line_127": b"x" * 127,
    "last_line_254": b"y" * 254,
    "line_127_lf": b"z" * 127 + b"\n",
    "line_126_between": b"s\n" + b"u" * 126 + b"\nt",
    "line_300": b"w" * 300 + b"\nv",
    "nul_in_line": b"ab\0cd\nef\n",
    "nul_in_long_line": b"a" * 10 + b"\0" + b"b" * 200 + b"\n",
    "nul_alone": b"\0",
    "nuls": b"a\0b\0c\nd",
    "cr_inside": b"ab\rc\r\nd\r",
    "cr_127": b"\r" * 127,
    "crlf_page": b"<html>\r\n<p>one</p>\r\n\r\n<p>two</p>\r\n",
    "empty_lines": b"\n\na",
    "lone_cr_file": b"a\r\nb\rc\r",
    "cr_before_crlf": b"a\r\nb\r\r\nc",
    "end_of_file_byte": b"a\r\nb\r\x1a\nc\n",
    "end_of_file_first": b"\x1aabc",
    "nul_at_128": b"x" * 127 + b"\0yz\nw\n",
    "cr_at_128": b"x" * 127 + b"\ry\n",
}

GBK_MARKER = "网站运行正常".encode("gbk")
SCAN_CASES = {
    "lead_takes_trail": (b"A", b"\xb0\x41\n"),
    "lead_then_match": (b"A", b"\xb0\x41A\n"),
    "lead_ends_piece": (b"A", b"a" * 126 + b"\xb0A\n"),
    "lead_marker": (b"\xb0", b"a" * 127 + b"\xb0A\n"),
    "utf8_page": ("中文".encode("gbk"), "<p>中文 OK</p>\n".encode("utf-8")),
    "gbk_page": ("中文".encode("gbk"), "<p>中文 OK</p>\n".encode("gbk")),
    "case_matters": (b"OK", b"status: ok\n"),
    "cr_dropped": (b"abc", b"ab\rc\n"),
    "empty_marker": (b"", b"\na\n\r\nb"),
    "across_line_end": (b"bc", b"ab\r\ncd\n"),
    "across_pieces": (b"MARK", b"x" * 125 + b"MARK" + b"x" * 171 + b"\r\n"),
    "gbk_marker_page": (GBK_MARKER, ("<p>今日网站运行正常。</p>\r\n" * 3).encode("gbk")),
}

FRAME = b'<frame src="http://'
FRAME_BODIES = {
    "frame": b'<html><frameset rows="100%">\n<frame src="http://127.0.0.1:1/marker" name="main">\n</frameset>',
    "capitals": b'<FRAME SRC="http://a.cn/">\r\n',
    "two_blanks": b'<frame  src="http://a.cn/">\r\n',
    "single_quotes": b"<frame src='http://a.cn/'>\r\n",
    "https": b'<frame src="https://a.cn/">\r\n',
    "lead_before": b'\xb0<frame src="http://a.cn/">\n',
    "unclosed": b'<frame src="http://a.cn/>\n<frame src="http://b.cn/">\n',
    "two_tags": b"<html>\n" + FRAME + b'a.cn/">' + FRAME + b'b.cn/">\n',
    "long_target": FRAME + b"a.cn/" + b"p" * 2071 + b'">\r\n',
    "tag_across_pieces": b" " * 120 + FRAME + b"a.cn/" + b"p" * 200 + b'">\n',
}

SETTINGS_FILES = {
    "written": "URL=http://a.cn/;NoDire=1;Flag=正常;CheckTime=105;".encode("gbk"),
    "empty_values": b"URL=;NoDire=0;Flag=;CheckTime=5;",
    "smallest": b"URL=;NoDire=;Flag=;CheckTime=",
    "shuffled": b"CheckTime=60;Flag=ok;NoDire=0;URL=http://a.cn/;",
    "open_end": b"URL=http://a.cn/;NoDire=0;Flag=ok;CheckTime=6",
    "zero_byte": b"URL=http://a.cn/;NoDire=0;Flag=ok;CheckTime=\x0060;",
    "letters_in_interval": b"URL=http://a.cn/;NoDire=0;Flag=ok;CheckTime=1a;",
    "interval_too_long": b"URL=http://a.cn/;NoDire=0;Flag=ok;CheckTime=1234;",
    "missing_flag": b"URL=http://a.cn/;NoDire=1;CheckTime=60;xxxxxxxxx",
    "keys_in_values": b"URL=http://a.cn/?Flag=1&CheckTime=2;NoDire=1;Flag=NoDire=0;URL=;CheckTime=7;",
    "semicolons": b"URL=http://a.cn/?a=1;b=2;NoDire=0;Flag=x;y;CheckTime=5;",
    "long_written": b"URL=" + b"u" * 300 + b";NoDire=0;Flag=ok;CheckTime=5;",
    # Read as values: interval bytes, the box, then the address and the marker.
    "values": b"\x68\x00\x01http://\xcd\xfb\xd5\xbe.cn/\x00\xcd\xf8\xd5\xbe;x",
}


def write(target, name, data):
    directory = HERE / "corpus" / target
    directory.mkdir(parents=True, exist_ok=True)
    (directory / name).write_bytes(data)


def main():
    for name, body in SPLITTER_BODIES.items():
        for kind, kind_name in ((INTERNET, "internet"), (FILE, "file")):
            for sizes, sizes_name in ((WHOLE, "whole"), (AROUND_A_PIECE, "piece")):
                write("splitter_model_fuzz", f"{name}_{kind_name}_{sizes_name}", bytes([kind]) + sizes + body)
    for name, (marker, body) in SCAN_CASES.items():
        for sizes, sizes_name in ((WHOLE, "whole"), (ONE_BYTE, "bytes")):
            write("scan_fuzz", f"{name}_{sizes_name}", bytes([INTERNET | len(marker) << 1]) + marker + sizes + body)
    for name, body in FRAME_BODIES.items():
        for sizes, sizes_name in ((WHOLE, "whole"), (AROUND_A_PIECE, "piece")):
            write("frame_tag_fuzz", f"{name}_{sizes_name}", bytes([INTERNET]) + sizes + body)
    for name, data in SETTINGS_FILES.items():
        write("settings_fuzz", name, data)


if __name__ == "__main__":
    main()
