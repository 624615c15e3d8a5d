#!/usr/bin/env bash
# Sets up, builds and shows lviehlp at work under Wine, in the project's own prefix:
# "install" writes the browser's two extension keys, which are then printed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$(nproc)" --target lviehlp lvieres
source scripts/wine-env.sh
trap lv_wine_stop EXIT
lv_wine_start

ext='HKLM\Software\Microsoft\Internet Explorer\Extensions'
echo "== lviehlp.exe install"
wine "$root/dist/lviehlp.exe" install; echo "exit code $?"
for key in '{6A1D3C52-8E47-4B0F-9C2A-3F5E71B0D48C}' '{B27E9F04-15C3-4D6A-A8E1-0C94D7F36A25}'; do
  wine reg query "$ext\\$key" 2>/dev/null | tr -d '\r'
done
