#!/usr/bin/env bash
# Runs a command (a Windows test program through CTest's emulator) under a Unix locale, which gives
# the Wine processes it starts that locale's ANSI code page (he_IL: 1255). A locale the system lacks
# is compiled once into build/locale/ by the chosen implementation's own localedef, and LOCPATH
# points there: nothing is installed.
#   with-locale.sh LANGUAGE_TERRITORY COMMAND ARGS...
source "$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)/wine-env.sh"
name="$1.UTF-8"
shift
dir="$lv_root/build/locale/$LV_WINE_IMPL"
if ! [ -e "$dir/$name/LC_CTYPE" ]; then
  rm -rf "$dir/$name.new" && mkdir -p "$dir" &&
    lv_run localedef -i "${name%.UTF-8}" -f UTF-8 "$dir/$name.new" && mv "$dir/$name.new" "$dir/$name" || exit 1
fi
export LOCPATH="$dir" LC_ALL="$name"
# A locale that cannot be set leaves Wine in the Western code page: the run would prove nothing.
[ "$(lv_run locale charmap 2>/dev/null)" = UTF-8 ] || { echo "with-locale: $name cannot be set" >&2; exit 1; }
exec "$@"
