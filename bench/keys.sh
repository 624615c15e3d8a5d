#!/usr/bin/env bash
# The time a user waits from the key to the dialog: Debian's Chromium with the extension's store
# package shows the shop's page on the suite's screen (1280x1024) as the browser road does
# (tests/browser/road.sh: the page server as proxy, the unpacked package, a host manifest naming a
# wrapper that runs the host under Wine 8, here in the benchmark's prefix), and bench/keys/lvkeys
# presses Alt+Shift+L and waits for the event without polling. The hosts take turns through the
# same manifest and wrapper, run by run:
#   lviehlp   the shipped lviehlp.exe: key -> its dialog's window mapped
#   window    bench/hosts/window.cpp, a plain window titled "Lorvane" shown as soon as the message
#             is read: key -> window mapped (what any host with a window costs here)
#   dlls      the same window with the DLLs lviehlp imports at start and its manifest
#   console   bench/hosts/console.cpp, replies {} at once: key -> the reply in the browser's log
#             (the browser's own cost and a Wine process's start)
# Twice: with Lorvane not running (no other program of the prefix has a window, so Wine's desktop
# process has ended and each host starts it again: each press waits for that), and with Lorvane
# running (the benchmark's stand-in main application holds the desktop, as Windows always has one).
# The wrapper stamps its start, which gives the browser's own part: key -> host started.
#   bash bench/keys.sh       LV_KEYS_RUNS runs of each host in each state (default LV_BENCH_RUNS,
#                            else 20; at least 10)
# bench/run.sh runs it last, with what run.sh built (LV_KEYS_BUILT=1); alone it builds what it needs.
# Either way on a private screen. Raw lines in bench/out/keys/, the table on standard output and in
# table.txt.
# LV_KEYS_WINEDEBUG sets the hosts' WINEDEBUG (for example +timestamp,+loaddll, in host.log).
set -Eeuo pipefail
trap 'echo "bench/keys.sh: failed at line $LINENO" >&2' ERR
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
runs="${LV_KEYS_RUNS:-${LV_BENCH_RUNS:-20}}"
[ "$runs" -ge 10 ] || runs=10
export LV_WINE_IMPL=wine8
source scripts/wine-env.sh
out="$root/bench/out/keys"
bin="$root/$lv_win_build/bench"
hosts=(lviehlp window dlls console)
states=(cold warm)
host=com.lorvane.lviehlp
page="http://www.shop.co.example/index.html"
pids=() app_pid="" browser_pid=""

cleanup() {
  local p
  # Chromium ends its own processes on SIGTERM; any it leaves are in its process group.
  for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do timeout 10 tail --pid="$p" -f /dev/null 2>/dev/null || kill -KILL "$p" 2>/dev/null || true; done
  [ -z "$browser_pid" ] || kill -KILL -- "-$browser_pid" 2>/dev/null || true
  lv_wine_stop
  wait 2>/dev/null || true
}

build() {
  if [ -z "${LV_KEYS_BUILT:-}" ]; then
    bash scripts/setup.sh >/dev/null
    lv_win_configure
    cmake --build "$lv_win_build" -j2 --target lviehlp lvieres lviehlp_extension lvbench_receiver lvbench_host_console \
      lvbench_host_window lvbench_host_window_dlls >/dev/null
  fi
  cc -O2 -Wall -Wextra -Werror -o "$out/lvkeys" bench/keys/lvkeys.c -lX11 -lXtst
}

# The hosts side by side, the shipped program as installed (beside its icon library).
stage() {
  local h
  for h in "${hosts[@]}"; do mkdir -p "$out/$h"; done
  cp "$lv_win_dist/lviehlp.exe" "$lv_win_dist/lvieres.dll" "$out/lviehlp/"
  cp "$bin/lvbench_host_window.exe" "$out/window/host.exe"
  cp "$bin/lvbench_host_window_dlls.exe" "$out/dlls/host.exe"
  cp "$bin/lvbench_host_console.exe" "$out/console/host.exe"
  exe_lviehlp="$out/lviehlp/lviehlp.exe" exe_window="$out/window/host.exe" exe_dlls="$out/dlls/host.exe"
  exe_console="$out/console/host.exe"
}

start_browser() {
  python3 tests/browser/page_server.py >"$out/port" 2>"$out/server.log" &
  pids+=($!)
  local i
  for i in $(seq 50); do [ -s "$out/port" ] && break; sleep 0.2; done
  port=$(cat "$out/port")
  # The wrapper: which host runs is read from a file each time; nothing but the host's own bytes
  # on standard output. It logs its start and its process id, which the host keeps (exec). read
  # and EPOCHREALTIME are builtins: no process of their own.
  cat >"$out/host.sh" <<WRAP
#!/bin/bash
echo "\$EPOCHREALTIME \$\$" >>"$out/host-starts.log"
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
  setsid /usr/lib/chromium/chromium --no-sandbox --user-data-dir="$profile" --no-first-run --no-default-browser-check \
    --disable-gpu --disable-dev-shm-usage --disable-background-networking --disable-component-update \
    --password-store=basic --window-position=0,0 --window-size=1100,800 \
    --load-extension="$extension" --proxy-server="http://127.0.0.1:$port" --test-type \
    --enable-logging=stderr --v=0 "$page" >"$out/browser.log" 2>&1 &
  browser_pid=$!
  pids+=("$browser_pid")
  for i in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Shop test page - Chromium$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || { echo "keys: the page did not show" >&2; exit 1; }
}

# Lorvane running: the benchmark's stand-in main application, whose windows hold Wine's desktop.
start_app() {
  LV3_LOG="$(lv_winpath "$out/lv3.log")" "$LV_WINE" "$bin/lvbench_receiver.exe" >/dev/null 2>&1 &
  app_pid=$!
  pids+=("$app_pid")
  local i
  for i in $(seq 100); do desktop_up && break; sleep 0.1; done
}
stop_app() { kill -KILL "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null || true; }

# Wine's desktop process (explorer.exe /desktop) of this prefix. It ends about a second after the
# last program with a window, but not always after a console program: one that lingers is ended.
desktop_pids() {
  local p
  for p in $(pgrep -f 'explorer.exe /desktop' || true); do
    { tr '\0' '\n' <"/proc/$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$p"; } 2>/dev/null || true
  done
}
desktop_up() { [ -n "$(desktop_pids)" ]; }
desktop_end() {
  local i
  for i in $(seq 20); do desktop_up || return 0; sleep 0.1; done
  kill -KILL $(desktop_pids) 2>/dev/null || true
  for i in $(seq 20); do desktop_up || return 0; sleep 0.1; done
}

replies() { grep -c 'Lorvane: ' "$out/browser.log" || true; }
starts() { cat "$out/host-starts.log" 2>/dev/null | wc -l; }

# One key press with host $1 in state $2; appends "state host ms key-time host-start" to raw.txt
# ("-" for what did not come). The dialog and the windows are closed by lvkeys (the dialog replies
# "cancelled"); the next press waits until this host has ended and, with Lorvane not running, until
# Wine's desktop process has too, then half a second more.
measure_one() {
  local name="$1" state="$2" exe result before started i start=- pid
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
  if [ "$(starts)" -gt "$started" ]; then
    read -r start pid < <(sed -n "$((started + 1))p" "$out/host-starts.log")
    timeout 5 tail --pid="$pid" -f /dev/null 2>/dev/null || true
  fi
  echo "$state ${3:-}$name $result $start" >>"$out/raw.txt"
  [ "$state" = warm ] || desktop_end
  sleep 0.5
  [ "$start" != - ]
}

# Median, then min and max, of the numbers on standard input ("-" when none).
stats() { sort -n | awk '$1 != "-" {v[++n]=$1} END {if (!n) {print "- - -"; exit}
  printf "%.1f %.1f %.1f\n", (n % 2 ? v[(n+1)/2] : (v[n/2] + v[n/2+1]) / 2), v[1], v[n]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (a=="-"||b=="-"||b==0) print "-"; else printf "%.2f", a/b}'; }
met() { awk -v v="$1" 'BEGIN {print v=="-" ? "n/a" : (v<=1.05 ? "yes" : "NO")}'; }

# summary.tsv: state, host, median, min, max, key->start median, presses that brought nothing.
summarize() {
  local s h med lo hi part
  for s in "${states[@]}"; do
    for h in "${hosts[@]}"; do
      read -r med lo hi < <(awk -v s="$s" -v h="$h" '$1==s && $2==h {print $3}' "$out/raw.txt" | stats)
      read -r part _ _ < <(awk -v s="$s" -v h="$h" '$1==s && $2==h && $3!="-" && $5!="-" {printf "%.1f\n", ($5-$4)*1000}' \
        "$out/raw.txt" | stats)
      printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$s" "$h" "$med" "$lo" "$hi" "$part" \
        "$(awk -v s="$s" -v h="$h" '$1==s && $2==h && $3=="-"' "$out/raw.txt" | wc -l)" >>"$out/summary.tsv"
    done
  done
}

print_table() {
  local -A med range part missed
  local s h m l x p n
  while IFS=$'\t' read -r s h m l x p n; do
    med[$s.$h]=$m range[$s.$h]="$l-$x" part[$s.$h]=$p missed[$s.$h]=$n
  done <"$out/summary.tsv"
  row() { printf '%-40s %9s %13s %9s %13s\n' "$@"; }
  echo
  echo "### Key to dialog: Alt+Shift+L in Chromium to the host's window mapped ($runs runs each, interleaved)"
  echo
  row "" "Lorvane" "not running" "Lorvane" "running"
  row "Host (same manifest and wrapper), ms" "median" "min-max" "median" "min-max"
  for h in lviehlp:"lviehlp: key -> dialog mapped" window:"plain window: key -> window mapped" \
    dlls:"  + lviehlp's DLLs: key -> window mapped" console:"console: key -> reply {} logged"; do
    row "${h#*:}" "${med[cold.${h%%:*}]}" "${range[cold.${h%%:*}]}" "${med[warm.${h%%:*}]}" "${range[warm.${h%%:*}]}"
  done
  row "Browser's own part: key -> host started" "${part[cold.console]}" "" "${part[warm.console]}" ""
  echo
  row "Ratio (medians)" "" "target met" "" "target met"
  local c w
  c=$(ratio "${med[cold.lviehlp]}" "${med[cold.window]}") w=$(ratio "${med[warm.lviehlp]}" "${med[warm.window]}")
  row "lviehlp / plain window" "$c" "<=1.05 $(met "$c")" "$w" "<=1.05 $(met "$w")"
  row "lviehlp / plain window + lviehlp's DLLs" "$(ratio "${med[cold.lviehlp]}" "${med[cold.dlls]}")" "" \
    "$(ratio "${med[warm.lviehlp]}" "${med[warm.dlls]}")" ""
  row "plain window + lviehlp's DLLs / plain" "$(ratio "${med[cold.dlls]}" "${med[cold.window]}")" "" \
    "$(ratio "${med[warm.dlls]}" "${med[warm.window]}")" ""
  row "lviehlp / console" "$(ratio "${med[cold.lviehlp]}" "${med[cold.console]}")" "" \
    "$(ratio "${med[warm.lviehlp]}" "${med[warm.console]}")" ""
  local lost=0
  for s in "${!missed[@]}"; do lost=$((lost + missed[$s])); done
  [ "$lost" = 0 ] || echo "presses that brought nothing within 8 s: $lost (not counted)"
  echo "$(wine --version 2>/dev/null | tr -d '\r'), the $lv_win_triple program, $WINEARCH prefix, warm wineserver; $(/usr/lib/chromium/chromium --version 2>/dev/null)"
  echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)"
  echo "load average before and after: $load_start / $(cut -d' ' -f1-3 /proc/loadavg)"
}

main() {
  rm -rf "$out"; mkdir -p "$out"
  build
  stage
  trap cleanup EXIT
  lv_display_start
  lv_prefix bench "$LV_WINE_ARCH"
  lv_wine_end  # a server left by an interrupted run would refuse to start again
  lv_wine_boot
  # As the benchmark's other rows: unmanaged windows (no window manager on this screen).
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  start_browser
  load_start="$(cut -d' ' -f1-3 /proc/loadavg)"
  # The command is not bound in the browser's first seconds: a warm-up round, each host pressed
  # until it answers once, counted apart.
  local h i try n s
  for h in "${hosts[@]}"; do
    for try in 1 2 3 4 5; do measure_one "$h" cold "warm-up-" && break; done
  done
  # The hosts take turns, the first of each round moving on, so none always follows another.
  for s in "${states[@]}"; do
    [ "$s" = warm ] && start_app
    for i in $(seq 0 $((runs - 1))); do
      for n in 0 1 2 3; do measure_one "${hosts[$(((i + n) % 4))]}" "$s" || true; done
    done
    [ "$s" = warm ] && stop_app
  done
  summarize
  print_table | tee "$out/table.txt"
}

main "$@"
