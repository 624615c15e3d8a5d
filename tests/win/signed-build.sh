#!/usr/bin/env bash
# A build signed with a throwaway certificate: every shipped file verifies, the package carries
# the signed program and library, the signed program runs, installs and uninstalls, and the signed
# package installs and is removed, under Wine in the package's prefix.
#   signed-build.sh SOURCE_DIR TOOLCHAIN_FILE BUILD_DIR
set -eu
src="$1" toolchain="$2" build="$3"
source "$src/scripts/wine-env.sh"
fail=0
bad() { echo "FAILED: $*"; fail=1; }
rm -rf "$build"; mkdir -p "$build/cert"
cert="$build/cert"
export LV_SIGN_PASSWORD="throwaway $$ pass"
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=lviehlp test signer" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$cert/key.pem" -out "$cert/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$cert/key.pem" -in "$cert/cert.pem" -out "$cert/signer.p12" -passout env:LV_SIGN_PASSWORD

dist="$build/dist"
cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DLV_DIST_DIR="$dist" \
  -DLV_WINDOWS_TESTS=OFF -DLV_SIGN_PKCS12="$cert/signer.p12" >/dev/null
cmake --build "$build" -j"$(nproc)" --target lviehlp_msi >"$build/build.log" 2>&1 || { cat "$build/build.log"; exit 1; }
grep -qF "$LV_SIGN_PASSWORD" "$build/build.log" "$build/CMakeCache.txt" && bad "the password reached the build's log or cache"
msi=$(ls "$dist"/*.msi)

verify() { osslsigncode verify -CAfile "$cert/cert.pem" -in "$1" 2>&1 | grep -q '^Signature verification: ok'; }
for f in "$dist/lviehlp.exe" "$dist/lvieres.dll" "$msi"; do
  verify "$f" && echo "signed, verifies: $(basename "$f")" || bad "$(basename "$f") does not verify"
done
# The check can fail: an unsigned file does not verify.
cp "$build/package/lviehlp_msi/files/lviehlp.exe" "$build/cert/copy.exe"
osslsigncode remove-signature -in "$build/cert/copy.exe" -out "$build/cert/unsigned.exe" >/dev/null
verify "$build/cert/unsigned.exe" && bad "an unsigned copy verifies"
# What the package carries is the signed files, byte for byte.
mkdir -p "$build/extracted"
(cd "$build/extracted" && msiextract "$msi" >/dev/null)
for f in lviehlp.exe lvieres.dll; do
  packed=$(find "$build/extracted" -name "$f" | head -1)
  cmp -s "$packed" "$dist/$f" && echo "the package carries the signed $f" || bad "the package's $f is not the signed one"
done

lv_prefix msi
trap lv_wine_end EXIT
lv_wine_boot
exe=$(lv_winpath "$dist/lviehlp.exe")
wine "$exe" unknown-argument </dev/null >/dev/null 2>&1; rc=$?
[ $rc = 0 ] && echo "the signed program runs" || bad "the signed program exited $rc"
menu='HKLM\Software\Microsoft\Internet Explorer\Extensions\{6A1D3C52-8E47-4B0F-9C2A-3F5E71B0D48C}'
menu_exec() { wine reg query "$menu" /v Exec </dev/null 2>/dev/null | tr -d '\r' | grep -c 'lviehlp.exe' || true; }
wine "$exe" install </dev/null >/dev/null 2>&1 && [ "$(menu_exec)" = 1 ] && echo "the signed program installs" ||
  bad "the signed program's install failed or wrote no menu item"
wine "$exe" uninstall </dev/null >/dev/null 2>&1 && [ "$(menu_exec)" = 0 ] && echo "the signed program uninstalls" ||
  bad "the signed program's uninstall failed or left the menu item"
log="$(lv_winpath "$build/msi")"
wine msiexec /i "$(lv_winpath "$msi")" /qn /l*v "$log-install.log" </dev/null >/dev/null 2>&1 && echo "the signed package installs" ||
  bad "the signed package does not install (log: $build/msi-install.log)"
wine msiexec /x "$(lv_winpath "$msi")" /qn /l*v "$log-remove.log" </dev/null >/dev/null 2>&1 && echo "the signed package is removed" ||
  bad "the signed package is not removed"
exit $fail
