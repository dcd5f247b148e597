#!/usr/bin/env python3
"""Runs a test program under Wine with a page server of its own; exits with the program's code.

The program learns the tool and the ports from --tool=, --port= and --tls-port=, and from WZ_TOOL_EXE,
WZ_PAGE_PORT and WZ_TLS_PORT; the help file, when one is named, from --help-file=; given the test's
certificates, the HTTPS ports and the test authority from --https-port=, --untrusted-https-port= and
--test-authority=; with --record-sound, where what Wine plays is recorded from WZ_SOUND_FILE; with
--real-servers, Debian's squid and vsftpd from --proxy-port=, --proxy-log= (squid's access log) and --ftp-folder=
(the address of the folder vsftpd serves).

Needs WINEPREFIX, as scripts/wine-run.sh does. LANG picks Wine's ANSI code page for the driver and
the tool (zh_CN.UTF-8 gives 936, C.UTF-8 gives 1252).
"""
import argparse
import contextlib
import os
import pathlib
import resource
import signal
import subprocess
import sys
import tempfile

from page_server import PageServer
from real_servers import FtpServer, Squid


def windows_path(path):
    """The path as the Windows side sees it through Wine's Z: drive, which maps the Unix root."""
    return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")


def wine_environment(lang, tool, server, file_size_limit):
    environment = {name: value for name, value in os.environ.items() if not name.startswith("LC_")}
    environment.update(LANG=lang, WZ_TOOL_EXE=windows_path(tool), WZ_PAGE_PORT=str(server.port),
                       WZ_TLS_PORT=str(server.tls_port))
    if file_size_limit is not None:
        environment.update(WZ_FILE_SIZE_LIMIT=str(file_size_limit))
    return environment


# What Wine plays goes to ALSA's file plugin over its null device: heard without a sound card. Each play opens
# the device anew, and with truncate false the plugin never overwrites: the first play goes to the file, each
# later one to the file's name followed by .0001, .0002, ...
ALSA_RECORDING = """
pcm.!default {{ type file slave.pcm "null" file "{path}" format "raw" truncate false }}
pcm.null {{ type null }}
"""


@contextlib.contextmanager
def sound_recording(enabled):
    """The environment that records the sound of this run only, into a temporary folder: an ALSA configuration
    of its own, Wine's ALSA driver kept (scripts/wine-run.sh honours WZ_WINE_SOUND) and the recording's path
    for the driver (WZ_SOUND_FILE). Nothing when not enabled."""
    if not enabled:
        yield {}
        return
    with tempfile.TemporaryDirectory() as directory:
        config = pathlib.Path(directory, "alsa.conf")
        recording = pathlib.Path(directory, "sound.raw").resolve()
        config.write_text(pathlib.Path("/usr/share/alsa/alsa.conf").read_text()
                          + ALSA_RECORDING.format(path=recording))
        yield dict(ALSA_CONFIG_PATH=str(config), WZ_WINE_SOUND="alsa", WZ_SOUND_FILE=windows_path(recording))


@contextlib.contextmanager
def real_servers(enabled):
    """The driver's arguments for a caching proxy and an FTP server of Debian's, running while inside; none
    when not enabled."""
    if not enabled:
        yield []
        return
    with Squid() as squid, FtpServer() as ftp:
        yield [f"--proxy-port={squid.port}", f"--proxy-log={windows_path(squid.access_log)}",
               f"--ftp-folder={ftp.url}"]


def limit_file_size(limit):
    """A full disk for the driver, the tool and Wine they start: no file grows past `limit` bytes, and a
    write past it fails with EFBIG instead of ending the process."""
    def apply():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
    return apply


def stop_on_sigterm(signum, frame):
    raise SystemExit(128 + signum)  # unwinds through the with blocks, so the server and Wine stop too


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--wine-run", required=True, help="scripts/wine-run.sh")
    parser.add_argument("--driver", required=True, help="e2e_tests.exe")
    parser.add_argument("--tool", required=True, help="the 望站.exe to drive")
    parser.add_argument("--lang", required=True, help="LANG for Wine, e.g. zh_CN.UTF-8")
    parser.add_argument("--filter", default="*", help="GoogleTest filter")
    parser.add_argument("--help-file", help="the built help.chm, for the cases that open it")
    parser.add_argument("--file-size-limit", type=int, help="bytes no file may grow past, as on a full disk")
    parser.add_argument("--certificates", help="the folder of make_test_certs.sh, for the HTTPS cases")
    parser.add_argument("--record-sound", action="store_true", help="record what Wine plays, for the alarm's cases")
    parser.add_argument("--real-servers", action="store_true", help="start squid and vsftpd, for the cases of them")
    args = parser.parse_args()
    signal.signal(signal.SIGTERM, stop_on_sigterm)

    with PageServer(args.certificates) as server, sound_recording(args.record_sound) as sound, \
            real_servers(args.real_servers) as real_server_arguments:
        command = [args.wine_run, args.driver, f"--tool={windows_path(args.tool)}", f"--port={server.port}",
                   f"--tls-port={server.tls_port}", f"--gtest_filter={args.filter}", *real_server_arguments]
        if args.help_file:
            command.append(f"--help-file={windows_path(args.help_file)}")
        if args.certificates:
            command += [f"--https-port={server.https_port}", f"--untrusted-https-port={server.untrusted_https_port}",
                        f"--test-authority={windows_path(os.path.join(args.certificates, 'test-ca.der'))}"]
        environment = wine_environment(args.lang, args.tool, server, args.file_size_limit)
        environment.update(sound)
        # The session of the run before ends first, and the server is not under a file-size limit itself.
        subprocess.run([args.wine_run, "--server"], env=environment, check=True)
        limit = None if args.file_size_limit is None else limit_file_size(args.file_size_limit)
        with subprocess.Popen(command, env=environment, preexec_fn=limit) as driver:
            try:
                return driver.wait()
            except BaseException:
                driver.terminate()
                raise


if __name__ == "__main__":
    sys.exit(main())
