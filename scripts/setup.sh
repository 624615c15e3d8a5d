#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on a Debian 12 machine.
# Safe to run again: packages already present are skipped by apt.
set -euo pipefail

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686 binutils-mingw-w64-i686)
# The x86_64 build runs the Windows tests where the kernel runs no 32-bit code; wine64 runs it, and
# gives the 64-bit prefix in which the 32-bit program runs under WOW64 (one of the Windows tests).
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64)
dpkg -s wine64 >/dev/null 2>&1 || need+=(wine64)
command -v cmake >/dev/null || need+=(cmake)
command -v python3 >/dev/null || need+=(python3)  # the delay-import check of the shipped program
command -v file >/dev/null || need+=(file)        # the format check of the shipped files
command -v clang++ >/dev/null || need+=(clang)
[ -d /usr/src/googletest ] || need+=(googletest)
dpkg -s libgtest-dev >/dev/null 2>&1 || need+=(libgtest-dev)
dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xauth >/dev/null || need+=(xauth)
command -v import >/dev/null || need+=(imagemagick)
# The 32-bit loader runs the shipped program; installed on its own below.
dpkg -s wine >/dev/null 2>&1 || need+=(wine)
need32=()
dpkg -s wine32:i386 >/dev/null 2>&1 || need32+=(wine32:i386)
dpkg -s locales >/dev/null 2>&1 || need+=(locales)
# Wine's own fonts: Tahoma for dialogs, Marlett for the caption buttons.
dpkg -s fonts-wine >/dev/null 2>&1 || need+=(fonts-wine)
# The Windows Installer package: wixl builds it, msitools' msibuild fixes it up and msiinfo shows it.
command -v wixl >/dev/null || need+=(wixl)
command -v msibuild >/dev/null || need+=(msitools)
# The Debian 13 root with Wine 10, the second implementation the Windows tests run on: debootstrap
# makes it, bubblewrap runs programs inside it.
command -v debootstrap >/dev/null || need+=(debootstrap)
command -v bwrap >/dev/null || need+=(bubblewrap)
command -v faketime >/dev/null || need+=(faketime)  # a fixed clock for a reproducible package
# Signing (when an integrator brings a certificate) and its tests' throwaway certificate.
command -v openssl >/dev/null || need+=(openssl)
command -v osslsigncode >/dev/null || need+=(osslsigncode)
# The native messaging host reads its message with a JSON library (header-only, built into the program).
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
# The browser road: real Chromium and Firefox ESR under Xvfb, driven by xdotool; zip packs the extension.
[ -x /usr/lib/chromium/chromium ] || need+=(chromium)
command -v firefox-esr >/dev/null || need+=(firefox-esr)
command -v xdotool >/dev/null || need+=(xdotool)
# The benchmark's key-to-dialog timer (bench/keys/lvkeys.c), a native X client that presses keys.
dpkg -s libx11-dev >/dev/null 2>&1 || need+=(libx11-dev)
dpkg -s libxtst-dev >/dev/null 2>&1 || need+=(libxtst-dev)
command -v zip >/dev/null || need+=(zip)
# Mozilla's linter for the Firefox package (npm's web-ext, installed below into build/, never globally).
command -v npm >/dev/null || need+=(nodejs npm)

if [ ${#need[@]} -gt 0 ] || [ ${#need32[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  # A mirror in mid-sync serves an index file of the wrong size for a while, and apt then fails
  # the whole update (seen here: the security archive's i386 index). Tried again after a pause,
  # then the install goes on with the indexes that did arrive.
  for try in 1 2 3; do
    $SUDO apt-get update -q && break
    [ "$try" -lt 3 ] && sleep 30 || echo "apt-get update failed $try times: going on with the indexes it fetched" >&2
  done
  [ ${#need[@]} -eq 0 ] || $SUDO apt-get install -y -q --no-install-recommends "${need[@]}"
  # Without its index, i386 packages cannot match the amd64 ones already updated. The suite then
  # runs the x86_64 build and its summary says that the shipped 32-bit program did not run.
  [ ${#need32[@]} -eq 0 ] || $SUDO apt-get install -y -q --no-install-recommends "${need32[@]}" ||
    echo "the 32-bit Wine could not be installed: the shipped 32-bit program will not run here" >&2
fi

# Japanese and Hebrew locales give Wine processes the code pages 932 (double-byte) and 1255 (with
# the bidi marks) that two of the Windows tests run under.
for l in ja_JP he_IL; do
  locale -a 2>/dev/null | grep -qi "^$l.utf8$" || $SUDO localedef -i $l -f UTF-8 $l.UTF-8
done

# web-ext, the linter Firefox Add-ons runs on a submission, pinned, in the project's own folder.
web_ext_version=10.7.0
web_ext_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/web-ext"
if [ "$("$web_ext_dir/node_modules/.bin/web-ext" --version 2>/dev/null)" != "$web_ext_version" ]; then
  mkdir -p "$web_ext_dir"
  npm install --prefix "$web_ext_dir" --no-save --no-audit --no-fund --loglevel=error "web-ext@$web_ext_version"
fi

bash "$(dirname "${BASH_SOURCE[0]}")/debian13-root.sh"

# Where this kernel runs no 32-bit code, the shipped 32-bit program runs in an emulated machine:
# qemu, and a Debian 12 root of its own (scripts/qemu-root.sh). Without it the suite says why.
# LV_EMULATE=1 makes it where 32-bit code runs too (to try that road on such a machine).
if [ "${LV_EMULATE:-0}" = 1 ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  command -v qemu-system-x86_64 >/dev/null ||
    $SUDO apt-get install -y -q --no-install-recommends qemu-system-x86 ||
    { $SUDO apt-get update -q && $SUDO apt-get install -y -q --no-install-recommends qemu-system-x86; } ||
    echo "qemu could not be installed: the shipped 32-bit program will not run here" >&2
  if command -v qemu-system-x86_64 >/dev/null; then
    bash "$(dirname "${BASH_SOURCE[0]}")/qemu-root.sh" ||
      echo "the emulated machine could not be made: the shipped 32-bit program will not run here" >&2
  fi
fi
