#!/usr/bin/env bash
# The Lorvane button in a real browser, the way a user takes it: Debian's Chromium or Firefox ESR
# under the suite's X screen shows the shop's page (served on 127.0.0.1, shown as
# http://www.shop.co.example/index.html?q=private), the extension's store package is loaded as a
# user's browser would have it from the store, and its keyboard command (Alt+Shift+L) is pressed
# with xdotool. The browser starts the native messaging host named in a host manifest of the
# test's own, a wrapper that runs the shipped lviehlp.exe under the suite's Wine; the dialog is
# clicked from outside; the stand-in main application's log, the host's input and the browser's own
# console output say what arrived where.
#   road.sh chromium|firefox road|missing|forbidden|selection|address|older DIST_DIR BUILD_DIR
# road: only the page's origin reaches the host, "As Domain" on the pre-filled dialog, the query
# reaches Lorvane, the extension gets "queried". missing: no host manifest, and the extension's
# page tells the user. forbidden (Chromium): a host manifest that allows another id (an older
# integration), and the extension's page for that. selection: the same road from a page whose
# prose "(whois.shop.co.example)." is selected, through the selection's context-menu entry, opened
# with Shift+F10 and picked from the keyboard. address: the same road from the address bar, "lv
# whois.shop.co.example" and Enter. older (Chromium): the selection's entry, answered by a stand-in
# host that replies as an lviehlp from before replies named a version (an error without one),
# and the extension's page for an integration older than the extension. missing, forbidden and
# older also leave the problem on the toolbar button, which the extension logs.
# Chromium loads the unpacked store package, which has no key: its id is the one Chromium derives
# from the folder's path, and the road's host manifest allows that id.
# LV_ROAD_SHOT=FILE.png keeps a screenshot of the browser with the dialog over it (the demo).
# Runs inside the Windows suite (scripts/test.sh): the prefix, the Wine session and DISPLAY are
# the suite's own.
set -uo pipefail
browser="$1" case="$2" dist="$3" build="$4"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
source "$root/scripts/wine-env.sh"
work="$build/browser/$browser-$case-$LV_WINE_IMPL"
rm -rf "$work"; mkdir -p "$work/app" "$work/home"
app="$work/app" log="$work/app/lv3.log"
chrome_id=hphpifhccdajjhnlkcodaieopjgdeafg gecko_id=lviehlp@lorvane.com host=com.lorvane.lviehlp
page="http://www.shop.co.example/index.html?q=private"
prefill=www.shop.co.example
case "$case" in
  selection|older) page=http://www.shop.co.example/selection.html prefill=whois.shop.co.example ;;
  address) prefill=whois.shop.co.example ;;
esac
pids=()
t0=$SECONDS

fail() { echo "FAILED ($browser, $case): $*"; for f in "$work"/*.log; do echo "--- $f"; tail -15 "$f"; done; exit 1; }
cleanup() {
  [ -f "$log" ] && lv_run "$LV_WINE" "$build/tests/win/dialog_click.exe" --end "$(lv_winpath "$log")" >/dev/null 2>&1
  local p
  for p in "${pids[@]}"; do pkill -KILL -P "$p" 2>/dev/null; kill -KILL "$p" 2>/dev/null; done
  { wait; } 2>/dev/null
}
trap 'cleanup 2>/dev/null' EXIT
# Polls a command for up to $1 seconds.
await() { local end=$((SECONDS + $1)); shift; until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep 0.2; done; }
in_log() { grep -qxF "$1" "$log" 2>/dev/null; }

cp "$dist/lviehlp.exe" "$build/standins/lv3.exe" "$app/"

# The page.
python3 "$here/page_server.py" >"$work/port" 2>"$work/server.log" &
pids+=($!)
await 10 test -s "$work/port" || fail "the page server did not start"
port=$(cat "$work/port")

# The host: a wrapper that runs lviehlp.exe under this suite's Wine (inside the Debian 13 root for
# Wine 10), with nothing but the program's own bytes on standard output; its input is kept.
cat >"$work/host.sh" <<WRAP
#!/bin/bash
echo started >>"$work/host-starts.log"
export WINEPREFIX="$WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="$WINEDLLOVERRIDES" DISPLAY="$DISPLAY"
export LV3_LOG="$(lv_winpath "$log")" LV_SANDBOX_PID="${LV_SANDBOX_PID:-}"
exec ${LV_IN_ROOT:+"$LV_IN_ROOT"} "$LV_WINE" "$app/lviehlp.exe" "\$@" 2>>"$work/host.log" < <(tee -a "$work/host-input.bin")
WRAP
chmod +x "$work/host.sh"
# The older host answers a text as lviehlp did before its replies named a version: an error, no "version".
cat >"$work/older.sh" <<'OLDER'
#!/bin/bash
reply='{"result":"error","message":"the message has no \"url\" string"}'
printf "\\x$(printf %02x ${#reply})\\0\\0\\0%s" "$reply"; cat >/dev/null
OLDER
chmod +x "$work/older.sh"
hostpath="$work/host.sh"
[ "$case" = older ] && hostpath="$work/older.sh"
manifest() {  # FILE ALLOW_KEY ALLOWED
  mkdir -p "$(dirname "$1")"
  printf '{"name":"%s","description":"Lorvane","path":"%s","type":"stdio","%s":["%s"]}\n' \
    "$host" "$hostpath" "$2" "$3" >"$1"
}

if [ "$browser" = chromium ]; then
  profile="$work/profile"
  # The store package unpacked; Chromium's id for it is the SHA-256 of its folder's real path, its
  # first 32 hex digits as the letters a to p. The forbidden case allows the development id only.
  unzip -q "$dist/lviehlp-extension.zip" -d "$work/extension" || fail "the Chrome Web Store package does not unpack"
  extension=$(realpath "$work/extension")
  path_id=$(printf %s "$extension" | sha256sum | head -c 32 | tr 0-9a-f a-p)
  [[ "$case" =~ ^(road|selection|address|older)$ ]] && manifest "$profile/NativeMessagingHosts/$host.json" allowed_origins "chrome-extension://$path_id/"
  [ "$case" = forbidden ] && manifest "$profile/NativeMessagingHosts/$host.json" allowed_origins "chrome-extension://$chrome_id/"
  # Chromium itself, not the /usr/bin wrapper, which keeps unpacked extensions out. Every request
  # goes through the page server as a proxy, as Firefox's does (a host resolver rule raises
  # Chromium's bar "You are using an unsupported command-line flag" over the page); --test-type
  # keeps that bar away for --no-sandbox, which Chromium requires of root.
  /usr/lib/chromium/chromium --no-sandbox --user-data-dir="$profile" --no-first-run --no-default-browser-check \
    --disable-gpu --disable-dev-shm-usage --disable-background-networking --disable-component-update \
    --password-store=basic --window-position=0,0 --window-size=1100,800 \
    --load-extension="$extension" --proxy-server="http://127.0.0.1:$port" --test-type \
    --enable-logging=stderr --v=0 "$page" >"$work/browser.log" 2>&1 &
  pids+=($!)
  title="Shop test page - Chromium"
else
  profile="$work/profile"
  mkdir -p "$profile/extensions"
  [ "$case" != missing ] && manifest "$work/home/.mozilla/native-messaging-hosts/$host.json" allowed_extensions "$gecko_id"
  # The store package, unsigned, in a fresh profile that allows it; every request through the page server.
  cp "$dist/lviehlp-extension.xpi" "$profile/extensions/$gecko_id.xpi"
  cat >"$profile/user.js" <<PREFS
user_pref("xpinstall.signatures.required", false);
user_pref("extensions.autoDisableScopes", 0);
user_pref("extensions.enabledScopes", 15);
user_pref("network.proxy.type", 1);
user_pref("network.proxy.http", "127.0.0.1");
user_pref("network.proxy.http_port", $port);
user_pref("network.proxy.no_proxies_on", "");
user_pref("devtools.console.stdout.content", true);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.disabledForTesting", true);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("browser.safebrowsing.update.enabled", false);
user_pref("extensions.update.enabled", false);
PREFS
  HOME="$work/home" firefox-esr --no-remote --profile "$profile" --width 1100 --height 800 "$page" \
    >"$work/browser.log" 2>&1 &
  pids+=($!)
  title="Shop test page — Mozilla Firefox"
fi

window=""
find_window() { window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1); [ -n "$window" ]; }
# A browser that ends at start (no display, a broken profile) fails the test at once, not after 40 s.
bpid=${pids[-1]}
page_or_end() { find_window "$title" || ! kill -0 "$bpid" 2>/dev/null; }
await 40 page_or_end
[ -n "$window" ] || fail "the page did not show$(kill -0 "$bpid" 2>/dev/null || echo ': the browser ended')"
echo "page shown after $((SECONDS - t0)) s"

# The keyboard command may not be bound in the browser's first seconds: pressed again if nothing came.
press() { xdotool windowfocus --sync "$window" 2>/dev/null; xdotool key --clearmodifiers alt+shift+l; }
problem="Lorvane is not installed on this computer" button="Lorvane is not installed"
[ "$case" = forbidden ] && problem="Lorvane's browser integration is out of date" button=$problem
[ "$case" = older ] && problem="Lorvane's browser integration is older than this extension" \
  button="Lorvane's browser integration is too old"
came() { case "$case" in road|selection|address) [ -s "$work/host-starts.log" ] ;; *) find_window "$problem.*" ;; esac; }
# The selection's entry, from the keyboard: in Chromium's menu the only item whose title begins with
# "Q", which that key alone takes; in Firefox's the last item (extensions' items come last there,
# and its "Inspect" has Q for its access key).
pick() {
  xdotool windowfocus --sync "$window" 2>/dev/null; xdotool key --clearmodifiers shift+F10
  sleep 1
  if [ "$browser" = chromium ]; then xdotool key q; else xdotool key Up Return; fi
}
sleep 1
# The address bar: the keyword, a space (which hands the rest to the extension), the name, Enter.
type_address() {
  xdotool windowfocus --sync "$window" 2>/dev/null; xdotool key --clearmodifiers ctrl+l; sleep 0.5
  xdotool type --delay 50 "lv whois.shop.co.example"; sleep 1; xdotool key Return
}
case "$case" in
  selection|older) act=pick how="the selection's menu entry" ;;
  address) act=type_address how="\"lv whois.shop.co.example\" in the address bar" ;;
  *) act=press how="Alt+Shift+L" ;;
esac
for try in 1 2 3 4; do
  $act
  await 4 came && break
  [ "$act" = press ] || xdotool key Escape
done
came || fail "$how started nothing"

if [ "$case" = missing ] || [ "$case" = forbidden ] || [ "$case" = older ]; then
  [ -s "$work/host-starts.log" ] && fail "the host was started"
  # The button keeps the problem: the extension logs its badge and title.
  marked() { sed 's/\\"/"/g' "$work/browser.log" | grep -qF "Lorvane: button \"!\" $button"; }
  await 10 marked || fail "the button does not say \"$button\""
  echo "PASSED ($browser, $case host): the extension's page \"$problem\" and the button's \"!\", $((SECONDS - t0)) s"
  exit 0
fi
# Only the origin left the browser, or the name typed: the one message, after its 4-byte length.
if [ "$case" = road ] || [ "$case" = address ]; then
  await 10 test -s "$work/host-input.bin" || fail "the host got no message"
  sent=$(tail -c +5 "$work/host-input.bin") want='{"url":"http://www.shop.co.example"}'
  [ "$case" = address ] && want='{"text":"whois.shop.co.example"}'
  [ "$sent" = "$want" ] || fail "the host got $sent"
fi

# The demo keeps a picture of the browser with the dialog over it (LV_ROAD_SHOT, a .png file).
if [ -n "${LV_ROAD_SHOT:-}" ]; then
  await 20 find_window "Lorvane" || fail "no dialog on the screen"
  sleep "${LV_ROAD_PAUSE:-0.5}"
  import -window root "$LV_ROAD_SHOT" || fail "no screenshot"
fi
lv_run "$LV_WINE" "$build/tests/win/dialog_click.exe" "$prefill" "As Domain" | tr -d '\r' || fail "the dialog"
await 20 in_log "settext shop.co.example" || fail "Lorvane did not get the text"
await 10 in_log "query 255 1" || fail "Lorvane was not told to query as a domain"
# The extension logs the host's reply; Firefox prints the text quoted, its quotes escaped.
replied() { sed 's/\\"/"/g' "$work/browser.log" | grep -qF 'Lorvane: {"result":"queried","as":"domain","query":"shop.co.example","version":"1.0.0.4"}'; }
await 15 replied || fail "the extension did not get the reply"
echo "PASSED ($browser, $case): Lorvane got \"shop.co.example\" in mode 1, the extension \"queried\", $((SECONDS - t0)) s"
