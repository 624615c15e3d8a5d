#!/usr/bin/env bash
# The store packages checked as their stores check them. The Firefox package: web-ext lint, the
# linter Firefox Add-ons runs on a submission, must report no error and no warning. The Chrome Web
# Store (and Edge Add-ons) package: none of what that store refuses, a "key", a manifest version
# other than 3, a 128-pixel icon missing or an icon the manifest names but the package lacks.
#   check-packages.sh DIST_DIR WEB_EXT
set -uo pipefail
dist="$1" web_ext="$2"
[ -x "$web_ext" ] || { echo "FAILED: $web_ext is missing (scripts/setup.sh installs it)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# web-ext reads a folder: the .xpi unpacked.
mkdir "$work/firefox"
unzip -q "$dist/lviehlp-extension.xpi" -d "$work/firefox" || { echo "FAILED: the .xpi does not unpack"; exit 1; }
"$web_ext" lint --source-dir "$work/firefox" --output json --no-config-discovery >"$work/lint.json" 2>"$work/lint.err"
lint=$(python3 - "$work/lint.json" <<'PY'
import json, sys
report = json.load(open(sys.argv[1]))
for kind in ("errors", "warnings", "notices"):
    for m in report[kind]:
        print(f"  {kind[:-1]}: {m['code']}: {m['message']} ({m.get('file', '')})")
print(f"{len(report['errors'])} errors, {len(report['warnings'])} warnings, {len(report['notices'])} notices")
sys.exit(1 if report["errors"] or report["warnings"] else 0)
PY
) || { echo "FAILED: web-ext lint on the Firefox package:"; echo "$lint"; cat "$work/lint.err"; exit 1; }
echo "Firefox package, web-ext $("$web_ext" --version) lint: ${lint##*$'\n'}"

python3 - "$dist/lviehlp-extension.zip" <<'PY' || exit 1
import json, sys, zipfile
package = zipfile.ZipFile(sys.argv[1])
names = set(package.namelist())
manifest = json.loads(package.read("manifest.json"))
icons = list(manifest.get("icons", {}).values()) + list(manifest.get("action", {}).get("default_icon", {}).values())
faults = ([f"a \"key\""] if "key" in manifest else []) + \
    ([f"manifest_version {manifest.get('manifest_version')}"] if manifest.get("manifest_version") != 3 else []) + \
    (["no 128-pixel icon"] if "128" not in manifest.get("icons", {}) else []) + \
    [f"the icon {icon} is not in the package" for icon in sorted(set(icons)) if icon not in names]
if faults:
    sys.exit("FAILED: the Chrome Web Store package has " + "; ".join(faults))
print(f"Chrome Web Store package: manifest version 3, no key, {len(set(icons))} icons present")
PY
echo "PASSED"
