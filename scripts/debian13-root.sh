#!/usr/bin/env bash
# Makes the Debian 13 root, build/debian13, that holds the second Win32 implementation the Windows
# tests run on (Wine 10), with Xvfb and the locales the tests use. Made once and kept; made again
# when its package list changes (build/debian13.stamp holds the list it was made with). setup.sh
# calls it; scripts/in-debian13.sh runs programs inside it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sysroot="$root/build/debian13"
stamp="$sysroot.stamp"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

# The same rule as for the Wine on the machine itself (scripts/wine-env.sh): 32-bit Wine only where
# the kernel runs 32-bit code.
arch="${LV_WINE_ARCH:-}"
if [ -z "$arch" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then arch=win32; else arch=win64; fi
fi
packages=(wine wine64 xvfb xauth fonts-wine locales)
[ "$arch" = win32 ] && packages+=(wine32:i386)
want="trixie ${packages[*]} ja_JP.UTF-8 he_IL.UTF-8"
[ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] && [ -x "$sysroot/usr/bin/Xvfb" ] && exit 0

echo "== making the Debian 13 root with Wine 10 in build/debian13 (kept for later runs)"
start=$SECONDS
if grep -q " $sysroot" /proc/self/mountinfo; then
  echo "something is mounted under $sysroot: not removing it" >&2
  exit 1
fi
mkdir -p "$root/build"
rm -f "$stamp"
$SUDO rm -rf "$sysroot" "$sysroot.new"

# The machine's own Debian mirror (debootstrap's default where none is named).
mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
  sed -n -e 's/^URIs: *\([^ ]*\).*/\1/p' -e 's/^deb \(\[[^]]*\] \)\{0,1\}\([^ ]*\) .*/\2/p' | grep -v security | head -1 || true)
# Its own mount namespace: whatever debootstrap mounts inside the root ends with it.
$SUDO unshare --mount --propagation private \
  debootstrap --variant=minbase trixie "$sysroot.new" ${mirror:+"$mirror"} >"$root/build/debian13.log" 2>&1 ||
  { tail -20 "$root/build/debian13.log" >&2; exit 1; }

# Inside the root, as its root user; bubblewrap's namespaces end with the command. /tmp open to all,
# as apt fetches as its own unprivileged user.
in_new() {
  $SUDO bwrap --bind "$sysroot.new" / --dev /dev --proc /proc --perms 1777 --tmpfs /tmp --ro-bind /etc/resolv.conf /etc/resolv.conf \
    --unshare-pid --die-with-parent --cap-add ALL --setenv DEBIAN_FRONTEND noninteractive --setenv LANG C.UTF-8 \
    --setenv PATH /usr/sbin:/usr/bin:/sbin:/bin -- "$@"
}
{
  [ "$arch" = win32 ] && in_new dpkg --add-architecture i386
  in_new apt-get update -q
  in_new apt-get install -y -q --no-install-recommends "${packages[@]}"
  in_new apt-get clean
  # The code pages two of the Windows tests run under: double-byte 932, and Hebrew 1255.
  in_new localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  in_new localedef -i he_IL -f UTF-8 he_IL.UTF-8
} >>"$root/build/debian13.log" 2>&1 || { tail -20 "$root/build/debian13.log" >&2; exit 1; }
$SUDO mv "$sysroot.new" "$sysroot"
echo "$want" >"$stamp"
echo "== Debian 13 root made in $((SECONDS - start)) s: $(bash "$root/scripts/in-debian13.sh" /usr/lib/wine/wine64 --version)"
