#!/usr/bin/env bash
# Installs every Debian package the build and the tests need; a quick no-op when all are there.
set -euo pipefail

# wine64 and the 64-bit MinGW compiler build and run the 64-bit twin that the benchmarks measure.
# fp-utils compiles the help file, libchm-bin reads it back in its test; unzip unpacks the release in
# its test, and openssl makes the certificates of the HTTPS tests. libasound2:i386 is Wine's ALSA, whose file
# plugin records the alarm in its test. clang-format keeps the tree formatted, checked by a test. squid and
# vsftpd are the caching proxy and the FTP server that users meet, which the e2e tests start on ports of their own.
packages=(make cmake g++ python3 g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine32:i386 wine64
          xvfb xauth locales fonts-wqy-zenhei googletest libgtest-dev fp-utils clang libclang-rt-14-dev
          imagemagick x11-utils libchm-bin unzip openssl libasound2:i386 clang-format squid vsftpd)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
updated=0

apt_install() {
    [ $updated -eq 1 ] || $sudo apt-get update -q
    updated=1
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"
}

# The archive address of the machine's own apt source for a suite, in either source format.
archive_of() {
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && { cat "$f"; echo; }
    done |
        awk -v suite="$1" '
            /^[ \t]*deb[ \t]/ { sub(/\[[^]]*\]/, ""); if ($3 == suite) { print $2; done = 1; exit } }
            /^URIs:/ { uri = $2 }
            /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == suite) found = 1 }
            /^[ \t]*$/ { if (found && uri) { print uri; done = 1; exit } uri = ""; found = 0 }
            END { if (!done && found && uri) print uri }'
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
    apt_install "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    $sudo sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen
fi

# Where the kernel refuses 32-bit processes, the 32-bit Wine loader runs under qemu-user (scripts/i386.sh).
# Debian 12's own qemu 7.2 takes a minute of CPU to start each Wine process; the backports' 10 is quick.
here=$(dirname "$(realpath "$0")")
"$here/i386.sh" --check && exit 0
qemu_major=$( (qemu-i386 --version 2>/dev/null || true) | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p')
[ "${qemu_major:-0}" -ge 10 ] && exit 0

codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
backports="$codename-backports"
if ! grep -rqsE "^[^#]*[[:space:]]$backports([[:space:]]|$)" /etc/apt/sources.list /etc/apt/sources.list.d/; then
    archive=$(archive_of "$codename")
    [ -n "$archive" ] || { echo "No apt source for $codename to take the backports' archive from." >&2; exit 1; }
    echo "deb $archive $backports main" | $sudo tee "/etc/apt/sources.list.d/$backports.list" >/dev/null
    updated=0
fi
echo "This kernel runs no 32-bit code: installing qemu-user from $backports"
apt_install -t "$backports" qemu-user
