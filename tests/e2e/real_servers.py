"""Debian's own squid and vsftpd for the cases that need servers nobody here wrote: each on a loopback port,
with a configuration of its own in a folder of its own, started for one run and ended by its PID."""
import pathlib
import socket
import subprocess
import tempfile
import time

from page_server import CHARSET, MARKER, html


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_for_port(name, port, process, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if process.poll() is not None:
            raise RuntimeError(f"{name} ended at start with code {process.returncode}")
        with socket.socket() as client:
            if client.connect_ex(("127.0.0.1", port)) == 0:
                return
        time.sleep(0.1)
    raise RuntimeError(f"{name} does not listen on port {port}")


# Started as root, both servers would switch to a user of their own, which the user namespace of the emulated
# road (scripts/i386.sh) cannot map, and squid dies of it. So each runs as the one user of a namespace of its
# own, which is the caller outside: it stays as it is, and owns its folder.
AS_ITS_OWN_USER = ["unshare", "--user", "--map-user=65534", "--map-group=65534", "--"]


class Server:
    """A server process in the foreground, with its folder; the subclass writes its configuration."""

    def __enter__(self):
        self._folder = tempfile.TemporaryDirectory()
        self.folder = pathlib.Path(self._folder.name)
        self.port = free_port()
        command = self.configure()
        self._log = open(self.folder / "server.out", "wb")
        self._process = subprocess.Popen(AS_ITS_OWN_USER + command, stdout=self._log, stderr=subprocess.STDOUT)
        try:
            wait_for_port(command[0], self.port, self._process)
        except RuntimeError:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        self._process.terminate()
        try:
            self._process.wait(10)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait()
        self._log.close()
        self._folder.cleanup()


class Squid(Server):
    """A caching proxy that keeps pages in memory as their headers allow; `access_log` names every request
    with how it was answered (TCP_MISS from the site, TCP_MEM_HIT from the cache, ...)."""

    def configure(self):
        self.access_log = self.folder / "access.log"
        (self.folder / "squid.conf").write_text(f"""
http_port 127.0.0.1:{self.port}
http_access allow localhost
http_access deny all
cache_mem 8 MB
pid_filename {self.folder}/squid.pid
cache_log {self.folder}/cache.log
access_log stdio:{self.access_log}
cache_store_log none
coredump_dir {self.folder}
pinger_enable off
shutdown_lifetime 0 seconds
""")
        return ["/usr/sbin/squid", "-N", "-f", str(self.folder / "squid.conf")]


class FtpServer(Server):
    """Anonymous FTP, passive only, serving marker.txt (with the marker, in GBK) and plain.txt (without) from
    the folder at `url`. Not started as root, vsftpd cannot shut a user in the folder, so the address names
    it by its path."""

    def configure(self):
        root = self.folder / "root"
        self.url = f"ftp://127.0.0.1:{self.port}{root}"
        empty = self.folder / "empty"
        root.mkdir(mode=0o755)
        empty.mkdir(mode=0o755)
        (root / "marker.txt").write_bytes(html(f"今日{MARKER}。"))
        (root / "plain.txt").write_bytes("这一页没有正常标志。\n".encode(CHARSET))
        settings = [f"listen_port={self.port}", "listen=YES", "listen_address=127.0.0.1", "background=NO",
                    "anonymous_enable=YES", "no_anon_password=YES", f"anon_root={root}", "local_enable=NO",
                    "write_enable=NO", "port_enable=NO", "pasv_enable=YES", "pasv_address=127.0.0.1",
                    f"secure_chroot_dir={empty}", "seccomp_sandbox=NO", "xferlog_enable=NO", "run_as_launching_user=YES"]
        (self.folder / "vsftpd.conf").write_text("\n".join(settings) + "\n")
        return ["/usr/sbin/vsftpd", str(self.folder / "vsftpd.conf")]
