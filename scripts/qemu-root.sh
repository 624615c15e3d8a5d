#!/usr/bin/env bash
# Makes the emulated machine's root, build/qemu: a Debian 12 folder with its own kernel and the 32-bit
# Wine, booted by qemu over 9p (scripts/in-qemu.sh) where this machine's kernel runs no 32-bit code.
# Made once and kept; made again when its package list changes (build/qemu.stamp holds the list it
# was made with). Then the prefixes the guest's tests start from are made once in it and kept.
# setup.sh calls it only where /usr/lib/wine/wine does not run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sysroot="$root/build/qemu"
stamp="$sysroot.stamp"
log="$root/build/qemu.log"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

# cmake for ctest; binutils, file and python3 for the scripts that read the shipped files.
packages=(linux-image-amd64 wine wine32:i386 wine64 xvfb xauth x11-utils procps fonts-wine locales cmake binutils file python3)
want="bookworm ${packages[*]} ja_JP.UTF-8 9p"
if ! [ -f "$stamp" ] || [ "$(cat "$stamp")" != "$want" ] || ! [ -e "$sysroot/vmlinuz" ]; then
  echo "== making the emulated machine's root in build/qemu (kept for later runs)"
  start=$SECONDS
  if grep -q " $sysroot" /proc/self/mountinfo; then
    echo "something is mounted under $sysroot: not removing it" >&2
    exit 1
  fi
  mkdir -p "$root/build"
  rm -f "$stamp"
  $SUDO rm -rf "$sysroot" "$sysroot.new" "$root/build/qemu-prefixes"
  mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
    sed -n -e 's/^URIs: *\([^ ]*\).*/\1/p' -e 's/^deb \(\[[^]]*\] \)\{0,1\}\([^ ]*\) .*/\2/p' | grep -v security | head -1 || true)
  $SUDO unshare --mount --propagation private \
    debootstrap --variant=minbase bookworm "$sysroot.new" ${mirror:+"$mirror"} >"$log" 2>&1 ||
    { tail -20 "$log" >&2; exit 1; }
  in_new() {
    $SUDO bwrap --bind "$sysroot.new" / --dev /dev --proc /proc --perms 1777 --tmpfs /tmp --ro-bind /etc/resolv.conf /etc/resolv.conf \
      --unshare-pid --die-with-parent --cap-add ALL --setenv DEBIAN_FRONTEND noninteractive --setenv LANG C.UTF-8 \
      --setenv PATH /usr/sbin:/usr/bin:/sbin:/bin -- "$@"
  }
  # Every step must succeed (set -e does not act inside a list that ends in ||): a root with a
  # step missing is never kept, nor stamped as made.
  {
    in_new dpkg --add-architecture i386 &&
      in_new apt-get update -q &&
      in_new apt-get install -y -q --no-install-recommends "${packages[@]}" &&
      # The root file system is a 9p share: the initramfs must bring its modules (added after the
      # install, which lays the file down).
      printf '9p\n9pnet\n9pnet_virtio\n' | $SUDO tee -a "$sysroot.new/etc/initramfs-tools/modules" &&
      in_new update-initramfs -u &&
      in_new apt-get clean &&
      in_new localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  } >>"$log" 2>&1 || { echo "making the emulated machine's root failed; the end of $log:" >&2; tail -20 "$log" >&2; exit 1; }
  # The machine's init: the mounts, then the job that scripts/in-qemu.sh names on the kernel's
  # command line, then power off (never return: init ending is a kernel panic).
  $SUDO tee "$sysroot.new/lv-init" >/dev/null <<'INIT'
#!/bin/sh
mount -t proc proc /proc; mount -t sysfs sys /sys; mount -t devtmpfs dev /dev
mkdir -p /dev/pts /dev/shm; mount -t devpts devpts /dev/pts; mount -t tmpfs shm /dev/shm; mount -t tmpfs tmp /tmp
project=$(sed -n 's/.* lv_project=\([^ ]*\).*/\1/p' /proc/cmdline)
mkdir -p "$project"
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=loose project "$project" &&
  /bin/bash "$project/scripts/in-qemu.sh" --guest
sync
echo o >/proc/sysrq-trigger
sleep 60
INIT
  $SUDO chmod 755 "$sysroot.new/lv-init"
  $SUDO mv "$sysroot.new" "$sysroot"
  echo "$want" >"$stamp"
  echo "== the emulated machine's root made in $((SECONDS - start)) s"
fi

# The prefixes, made in the guest with the suite's screen (a prefix made without one keeps a
# smaller screen), kept as folders that each run lays its changes over.
if ! [ -d "$root/build/qemu-prefixes/win64" ]; then
  echo "== making the emulated machine's Wine prefixes in build/qemu-prefixes (kept for later runs)"
  start=$SECONDS
  # A kill of this script ends the machine too (in-qemu.sh ends qemu on the signal).
  setpriv --pdeathsig TERM bash "$root/scripts/in-qemu.sh" bash "$root/scripts/in-qemu.sh" --make-prefixes
  echo "== prefixes made in $((SECONDS - start)) s"
fi
