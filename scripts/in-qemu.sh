#!/usr/bin/env bash
# Runs one command inside the emulated machine (scripts/qemu-root.sh): qemu, TCG, a Debian 12 guest
# booted with its own kernel from build/qemu over 9p, whose kernel runs the 32-bit code this
# machine's does not. The project's folder is shared at the same path (so the CTest files' absolute
# paths hold); the command's standard output and error and its exit status come back. One boot per
# command. The Wine prefixes are made once (build/qemu-prefixes, 0.6 and 1.3 GB) and each run's
# changes to them live in the guest's memory: an overlay per prefix name. Ctrl-C, or a kill of this
# script (or of the script that started it), ends the machine within seconds.
#   in-qemu.sh COMMAND ARGS...   run it in the guest (from the same folder, when inside the project)
# The guest side: --guest (what the guest's init runs), --make-prefixes (inside the guest).
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sysroot="$root/build/qemu"

guest_env() {
  export LANG=C.UTF-8 HOME=/tmp/home PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin
  export LV_WINE_DIR=/tmp/wine
  mkdir -p "$HOME" "$LV_WINE_DIR"
}

case "${1:-}" in
--guest)
  # The machine's init mounted the project's folder at lv_project, a path the kernel's command line
  # can carry (it splits at blanks); here it goes to its own path too, whatever that holds.
  job="$root/build/qemu-jobs/$(sed -n 's/.* lv_job=\([^ ]*\).*/\1/p' /proc/cmdline)"
  project=$(cat "$job/project") || exit 1
  if [ "$project" != "$root" ]; then
    mkdir -p "$project" && mount --bind "$root" "$project" || exit 1
  fi
  guest_env
  # The prefixes the tests use, each the kept one with this run's changes over it.
  for arch in win32 win64; do
    [ -d "$root/build/qemu-prefixes/$arch" ] || continue
    for name in tests msi wow64; do
      p="$LV_WINE_DIR/$name-$arch" c="$LV_WINE_DIR/.changes/$name-$arch"
      mkdir -p "$p" "$c/upper" "$c/work"
      mount -t overlay overlay -o "lowerdir=$root/build/qemu-prefixes/$arch,upperdir=$c/upper,workdir=$c/work" "$p"
    done
  done
  # The command's output goes out through the two virtio ports, named as qemu made them.
  modprobe virtio_console
  for port in /sys/class/virtio-ports/*; do ln -sf "/dev/${port##*/}" "/dev/lv-$(cat "$port/name")"; done
  exec 3>/dev/lv-out 4>/dev/lv-err
  cd "$(cat "$job/cwd")" || cd "$project"
  bash -c "$(cat "$job/command")" </dev/null >&3 2>&4 3>&- 4>&-
  echo $? >"$job/status"
  exec 3>&- 4>&-
  exit 0 ;;
--make-prefixes)
  # Booted with the suite's 1280x1024 screen, the no-debugger rule and the fonts (wine-env.sh).
  mkdir -p "$root/build/qemu-prefixes"
  for arch in win32 win64; do
    start=$SECONDS
    (
      source "$root/scripts/wine-env.sh"
      lv_prefix seed "$arch"
      rm -rf "$root/build/qemu-prefixes/$arch.new" "$root/build/qemu-prefixes/$arch"
      lv_wine_start && lv_wine_stop && cp -a "$WINEPREFIX" "$root/build/qemu-prefixes/$arch.new" &&
        mv "$root/build/qemu-prefixes/$arch.new" "$root/build/qemu-prefixes/$arch"
    ) || exit 1
    echo "$arch prefix made in $((SECONDS - start)) s"
  done
  exit 0 ;;
esac

kernel=$(ls "$sysroot"/boot/vmlinuz-* 2>/dev/null | sort -V | tail -1)
[ -n "$kernel" ] || { echo "in-qemu: no emulated machine in $sysroot (scripts/qemu-root.sh makes it)" >&2; exit 125; }
command -v qemu-system-x86_64 >/dev/null || { echo "in-qemu: qemu-system-x86_64 is not installed" >&2; exit 125; }
mkdir -p "$root/build/qemu-jobs"
job=$(mktemp -d "$root/build/qemu-jobs/XXXXXX")
trap 'rm -rf "$job"' EXIT
printf '%q ' "$@" >"$job/command"
printf '%s' "$root" >"$job/project"
case "$PWD" in "$root"|"$root"/*) echo "$PWD" ;; *) echo "$root" ;; esac >"$job/cwd"

# -cpu qemu64: with "max" every Wine start in the guest is killed by a kernel Oops (SMAP). The
# guest's console goes to a file; two virtio ports carry the command's output, passed on through two
# pipes (the file backend on a named pipe: a pipe backend reads back what it writes). init ending or a kernel panic ends qemu at once (-no-reboot, panic=-1);
# timeout ends it otherwise. The kernel's command line names the project's folder by a path of
# the guest's own, which holds no blank and lies outside any project; the job by its folder's name.
# In qemu's options a comma is written twice.
opt() { printf '%s' "${1//,/,,}"; }
mkfifo "$job/out" "$job/err"
cat "$job/out" & out=$!
cat "$job/err" >&2 & err=$!
# In the background, so that this script can end it on a signal: timeout passes the signal on to
# qemu (and kills it 10 s later if it is still there). timeout runs in a process group of its own,
# which a terminal's Ctrl-C does not reach; and should this script die outright, the parent-death
# signals end timeout and then qemu.
setpriv --pdeathsig TERM timeout -k 10 "${LV_QEMU_TIMEOUT:-3600}" setpriv --pdeathsig KILL \
  qemu-system-x86_64 -nodefaults -no-user-config -display none -no-reboot \
  -accel tcg,thread=multi -cpu qemu64 -smp 2 -m 4G \
  -kernel "$kernel" -initrd "${kernel/vmlinuz/initrd.img}" \
  -append "root=root rootfstype=9p rootflags=trans=virtio,version=9p2000.L,msize=512000,cache=loose rw console=ttyS0 init=/lv-init panic=-1 quiet mitigations=off lv_project=/lv-project lv_job=${job##*/}" \
  -virtfs "local,path=$(opt "$sysroot"),mount_tag=root,security_model=passthrough,multidevs=remap" \
  -virtfs "local,path=$(opt "$root"),mount_tag=project,security_model=passthrough,multidevs=remap" \
  -serial "file:$(opt "$job/console.log")" \
  -device virtio-serial-pci \
  -chardev "file,id=out,path=$(opt "$job/out")" -device virtserialport,chardev=out,name=out \
  -chardev "file,id=err,path=$(opt "$job/err")" -device virtserialport,chardev=err,name=err </dev/null &
machine=$!
signal=""
for s in INT TERM HUP; do trap "signal=$s; kill -TERM $machine 2>/dev/null" "$s"; done
# wait returns early when a signal is trapped: wait again until qemu is gone.
while :; do
  wait $machine
  qrc=$?
  kill -0 $machine 2>/dev/null || break
done
# Opened and closed once more, so that a reader still waiting for qemu to open its pipe ends too.
: <>"$job/out"; : <>"$job/err"
wait $out $err
if [ -n "$signal" ]; then
  # Ended as the signal ends a program, so that the caller sees it (a shell stops its script).
  rm -rf "$job"
  trap - EXIT "$signal"
  kill -s "$signal" $$
fi
if ! [ -s "$job/status" ]; then
  echo "in-qemu: the emulated machine did not run the command (qemu exited $qrc); its console's end:" >&2
  tail -15 "$job/console.log" >&2
  exit 125
fi
exit "$(cat "$job/status")"
