#!/usr/bin/env bash
# Installs every Debian package the build and the tests need; a quick no-op when all are there.
set -euo pipefail

# wine64 and the 64-bit MinGW compiler serve machines whose kernel runs no 32-bit code: there the
# tests run a 64-bit twin of the tool. fp-utils compiles the help file, libchm-bin reads it back in its test.
packages=(make cmake g++ python3 g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine32:i386 wine64
          xvfb xauth locales fonts-wqy-zenhei googletest libgtest-dev fp-utils clang libclang-rt-14-dev
          imagemagick libchm-bin)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

need_locale=0
locale -a 2>/dev/null | grep -qix 'zh_CN.utf8' || need_locale=1

[ ${#missing[@]} -eq 0 ] && [ $need_locale -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
    $sudo apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    $sudo sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen
fi
