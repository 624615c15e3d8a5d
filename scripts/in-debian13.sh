#!/usr/bin/env bash
# Runs one command inside the Debian 13 root (scripts/debian13-root.sh), as the calling user, with
# the root read-only. Shared with the machine: the project's folder (at the same path, so Wine's Z:
# names the same files), /tmp (where Wine servers and X screens keep their sockets), the devices,
# /proc and /sys. The mounts live in bubblewrap's own namespace and end with it; HOME is a folder
# under build/, never the user's own.
#   in-debian13.sh COMMAND ARGS...   run it (in the open session, when LV_SANDBOX_PID names one)
#   in-debian13.sh --hold INFOFILE   open a session: a sandbox that waits, its pid written as JSON
# A wineserver hands its clients its own directory handles, which name nothing outside its mount
# namespace (getcwd says "unreachable", and fontconfig fails): every Wine process of a run enters
# the one session's namespace.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sysroot="$root/build/debian13"
home="$root/build/wine/home-wine10"
[ -d "$home" ] || mkdir -p "$home"
cwd="$PWD"
case "$cwd" in "$root"|"$root"/*|/tmp|/tmp/*) ;; *) cwd="$root" ;; esac
env=(HOME="$home" LANG=C.UTF-8 PATH=/usr/local/bin:/usr/bin:/bin)

if [ "$1" != --hold ] && [ -n "${LV_SANDBOX_PID:-}" ] && [ -e "/proc/$LV_SANDBOX_PID/ns/mnt" ]; then
  user=()
  [ "$(readlink /proc/self/ns/user)" = "$(readlink "/proc/$LV_SANDBOX_PID/ns/user")" ] ||
    user=(--user --preserve-credentials)
  exec nsenter --target "$LV_SANDBOX_PID" --mount "${user[@]}" --root --wdns="$cwd" -- /usr/bin/env "${env[@]}" "$@"
fi

# The root's top-level folders one by one over bubblewrap's own empty root, so that the project's
# folder can be placed at its path whatever that is (the top folder holding it is left out).
top="${root#/}"; top="/${top%%/*}"
args=()
for entry in "$sysroot"/*; do
  name="/${entry##*/}"
  case "$name" in /proc|/dev|/sys|/tmp|"$top") continue ;; esac
  if [ -L "$entry" ]; then args+=(--symlink "$(readlink "$entry")" "$name")
  elif [ -d "$entry" ]; then args+=(--ro-bind "$entry" "$name")
  fi
done
args+=(--dev-bind /dev /dev --bind /proc /proc --ro-bind /sys /sys --bind /tmp /tmp --tmpfs /var/tmp
  --tmpfs /var/lib/xkb --bind "$root" "$root" --chdir "$cwd" --die-with-parent)
if [ "$1" = --hold ]; then
  exec bwrap "${args[@]}" --info-fd 3 -- /usr/bin/sleep infinity 3>"$2"
fi
exec bwrap "${args[@]}" -- /usr/bin/env "${env[@]}" "$@"
