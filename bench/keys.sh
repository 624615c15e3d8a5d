#!/usr/bin/env bash
# The time a user waits from the key to the dialog: Debian's Chromium with the extension's store
# package shows the shop's page on the suite's screen (1280x1024) as the browser road does
# (tests/browser/road.sh: the page server as proxy, the unpacked package, a host manifest naming a
# wrapper that runs the host under Wine 8 in the benchmark's prefix), and bench/keys/lvkeys presses
# Alt+Shift+L and waits for the event without polling. Three hosts take turns through the same
# manifest and wrapper, run by run:
#   lviehlp   the shipped lviehlp.exe: key -> its dialog's window mapped
#   window    bench/hosts/window.cpp, a plain window titled "Lorvane" shown as soon as the message
#             is read: key -> window mapped (what any host with a window costs here)
#   console   bench/hosts/console.cpp, replies {} at once: key -> the reply in the browser's log
#             (the browser's own cost and a Wine process's start)
# The wrapper stamps its start, which gives the browser's own part: key -> host started.
#   bash bench/keys.sh           LV_KEYS_RUNS runs of each (default LV_BENCH_RUNS, else 20; at least 10)
# bench/run.sh runs it after its own tables, on its screen; alone it builds what it needs and starts
# a private screen. Raw lines in bench/out/keys/, the table on standard output.
# LV_KEYS_WINEDEBUG sets the hosts' WINEDEBUG (for example +timestamp,+loaddll, in host.log).
set -euo pipefail
trap 'echo "bench/keys.sh: failed at line $LINENO" >&2' ERR
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
runs="${LV_KEYS_RUNS:-${LV_BENCH_RUNS:-20}}"
[ "$runs" -ge 10 ] || runs=10
export LV_WINE_IMPL=wine8
source scripts/wine-env.sh
out="$root/bench/out/keys"
bin="$root/$lv_win_build/bench"
hosts=(lviehlp window console)
host=com.lorvane.lviehlp
page="http://www.shop.co.example/index.html"
pids=()

cleanup() {
  local p
  for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  lv_wine_stop
}

build() {
  if [ -z "${LV_KEYS_BUILT:-}" ]; then
    bash scripts/setup.sh >/dev/null
    lv_win_configure
    cmake --build "$lv_win_build" -j2 --target lviehlp lviehlp_extension lvbench_host_console lvbench_host_window >/dev/null
  fi
  cc -O2 -Wall -Wextra -Werror -o "$out/lvkeys" bench/keys/lvkeys.c -lX11 -lXtst
}

# The three hosts side by side, the shipped program as installed (beside its icon library).
stage() {
  mkdir -p "$out/lviehlp" "$out/window" "$out/console"
  cp "$lv_win_dist/lviehlp.exe" "$lv_win_dist/lvieres.dll" "$out/lviehlp/"
  cp "$bin/lvbench_host_window.exe" "$out/window/host.exe"
  cp "$bin/lvbench_host_console.exe" "$out/console/host.exe"
  exe_lviehlp="$out/lviehlp/lviehlp.exe" exe_window="$out/window/host.exe" exe_console="$out/console/host.exe"
}

start_browser() {
  python3 tests/browser/page_server.py >"$out/port" 2>"$out/server.log" &
  pids+=($!)
  local i
  for i in $(seq 50); do [ -s "$out/port" ] && break; sleep 0.2; done
  port=$(cat "$out/port")
  # The wrapper: which host runs is read from a file each time; nothing but the host's own bytes
  # on standard output. read and EPOCHREALTIME are builtins: no process of their own.
  cat >"$out/host.sh" <<WRAP
#!/bin/bash
echo "\$EPOCHREALTIME" >>"$out/host-starts.log"
read -r exe <"$out/host-exe"
export WINEPREFIX="$WINEPREFIX" WINEDEBUG="${LV_KEYS_WINEDEBUG:--all}" WINEDLLOVERRIDES="$WINEDLLOVERRIDES" DISPLAY="$DISPLAY"
exec "$LV_WINE" "\$exe" "\$@" 2>>"$out/host.log"
WRAP
  chmod +x "$out/host.sh"
  unzip -q "$lv_win_dist/lviehlp-extension.zip" -d "$out/extension"
  local extension path_id profile="$out/profile"
  extension=$(realpath "$out/extension")
  path_id=$(printf %s "$extension" | sha256sum | head -c 32 | tr 0-9a-f a-p)
  mkdir -p "$profile/NativeMessagingHosts"
  printf '{"name":"%s","description":"Lorvane","path":"%s","type":"stdio","allowed_origins":["%s"]}\n' \
    "$host" "$out/host.sh" "chrome-extension://$path_id/" >"$profile/NativeMessagingHosts/$host.json"
  /usr/lib/chromium/chromium --no-sandbox --user-data-dir="$profile" --no-first-run --no-default-browser-check \
    --disable-gpu --disable-dev-shm-usage --disable-background-networking --disable-component-update \
    --password-store=basic --window-position=0,0 --window-size=1100,800 \
    --load-extension="$extension" --proxy-server="http://127.0.0.1:$port" --test-type \
    --enable-logging=stderr --v=0 "$page" >"$out/browser.log" 2>&1 &
  pids+=($!)
  for i in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Shop test page - Chromium$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || { echo "keys: the page did not show" >&2; exit 1; }
}

replies() { grep -c 'Lorvane: ' "$out/browser.log" || true; }
starts() { cat "$out/host-starts.log" 2>/dev/null | wc -l; }

# One key press with host $1; appends "host ms key-time host-start" to raw.txt ("-" for what did not
# come). The dialog and the window are closed by lvkeys (the dialog replies "cancelled"); the next
# press waits for this host's reply.
measure_one() {
  local name="$1" exe result before started i start=-
  exe="exe_$name"
  echo "${!exe}" >"$out/host-exe"
  before=$(replies) started=$(starts)
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  if [ "$name" = console ]; then
    result=$("$out/lvkeys" line "$out/browser.log" '"Lorvane: {}"' || true)
  else
    result=$("$out/lvkeys" map Lorvane || true)
  fi
  for i in $(seq 100); do [ "$(replies)" -gt "$before" ] && break; sleep 0.1; done
  [ "$(starts)" -gt "$started" ] && start=$(sed -n "$((started + 1))p" "$out/host-starts.log")
  echo "${2:-}$name $result $start" >>"$out/raw.txt"
  sleep 0.5
  [ "$start" != - ]
}

# Median, then min-max, of the numbers on standard input ("-" when none).
stats() { sort -n | awk '$1 != "-" {v[++n]=$1} END {if (!n) {print "- - -"; exit}
  printf "%.1f %.1f %.1f\n", (n % 2 ? v[(n+1)/2] : (v[n/2] + v[n/2+1]) / 2), v[1], v[n]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (a=="-"||b=="-"||b==0) print "-"; else printf "%.2f", a/b}'; }

summarize() {
  # The browser's own part: the wrapper's start, from the key press of the same run.
  awk '$2 != "-" && $4 != "-" {printf "%s %.1f\n", $1, ($4 - $3) * 1000}' "$out/raw.txt" >"$out/browser-part.txt"
  local h med lo hi part
  for h in "${hosts[@]}"; do
    read -r med lo hi < <(awk -v h="$h" '$1==h {print $2}' "$out/raw.txt" | stats)
    read -r part _ _ < <(awk -v h="$h" '$1==h {print $2}' "$out/browser-part.txt" | stats)
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$h" "$med" "$lo" "$hi" "$part" \
      "$(awk -v h="$h" '$1==h && $2=="-"' "$out/raw.txt" | wc -l)" >>"$out/summary.tsv"
  done
}

print_table() {
  local -A med lo hi part missed
  local h m l x p n
  while IFS=$'\t' read -r h m l x p n; do med[$h]=$m lo[$h]=$l hi[$h]=$x part[$h]=$p missed[$h]=$n; done <"$out/summary.tsv"
  local r1 r2
  r1=$(ratio "${med[lviehlp]}" "${med[window]}") r2=$(ratio "${med[lviehlp]}" "${med[console]}")
  echo
  echo "### Key to dialog: Alt+Shift+L in Chromium to the window mapped ($runs runs each, interleaved)"
  echo
  printf '%-44s %10s %15s %11s %6s %5s\n' "Host (through the same wrapper)" "median" "min-max (ms)" "key->start" target met
  printf '%-44s %10s %15s %11s %6s %5s\n' "lviehlp: key -> dialog mapped" "${med[lviehlp]}" "${lo[lviehlp]}-${hi[lviehlp]}" "${part[lviehlp]}" "" ""
  printf '%-44s %10s %15s %11s %6s %5s\n' "plain window host: key -> window mapped" "${med[window]}" "${lo[window]}-${hi[window]}" "${part[window]}" "" ""
  printf '%-44s %10s %15s %11s %6s %5s\n' "console host: key -> reply {} logged" "${med[console]}" "${lo[console]}-${hi[console]}" "${part[console]}" "" ""
  printf '%-44s %10s %15s %11s %6s %5s\n' "lviehlp / plain window host" "$r1" "" "" "<=1.05" \
    "$(awk -v v="$r1" 'BEGIN {print v=="-" ? "n/a" : (v<=1.05 ? "yes" : "NO")}')"
  printf '%-44s %10s %15s %11s %6s %5s\n' "lviehlp / console host" "$r2" "" "" "" ""
  printf '%-44s %10s\n' "lviehlp's own time (median - window's, ms)" \
    "$(awk -v a="${med[lviehlp]}" -v b="${med[window]}" 'BEGIN {if (a=="-"||b=="-") print "-"; else printf "%.1f", a-b}')"
  [ "${missed[lviehlp]}${missed[window]}${missed[console]}" = 000 ] ||
    echo "presses that brought nothing within 8 s: lviehlp ${missed[lviehlp]}, window ${missed[window]}, console ${missed[console]}"
  echo "key->start: the browser's own part, from the press to the host wrapper's start (median, ms)"
  echo "$(wine --version 2>/dev/null | tr -d '\r'), the $lv_win_triple program, $WINEARCH prefix, warm wineserver; $(/usr/lib/chromium/chromium --version 2>/dev/null)"
  echo "load average before and after: $load_start / $(cut -d' ' -f1-3 /proc/loadavg)"
}

main() {
  rm -rf "$out"; mkdir -p "$out"
  build
  stage
  trap cleanup EXIT
  lv_display_start
  lv_prefix bench "$LV_WINE_ARCH"
  lv_wine_boot
  # As the benchmark's other rows: unmanaged windows (no window manager on this screen).
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  start_browser
  load_start="$(cut -d' ' -f1-3 /proc/loadavg)"
  # The command is not bound in the browser's first seconds: a warm-up round, each host pressed
  # until it answers once, counted apart.
  local h i try n
  for h in "${hosts[@]}"; do
    for try in 1 2 3 4 5; do measure_one "$h" "warm-" && break; done
  done
  # The hosts take turns, the first of each round moving on, so none always follows another.
  for i in $(seq 0 $((runs - 1))); do
    for n in 0 1 2; do measure_one "${hosts[$(((i + n) % 3))]}" || true; done
  done
  summarize
  print_table | tee "$out/table.txt"
}

main "$@"
