#!/usr/bin/env python3
"""Writes the browser extension's store packages from its one source folder: a .zip for the
Chrome Web Store and Edge Add-ons and an .xpi for Firefox Add-ons, each with the manifest its
browser reads. Neither carries the development "key" (the stores assign their own ids and refuse a
key); the Chrome package has no "scripts" background and no Firefox settings, the Firefox package
no "service_worker". Every file in name order, with a fixed time and mode, so that the same
sources always give the same bytes. ids.json (the ids the host manifests allow) stays out of both,
and must name the id the development key gives and the manifest's gecko id.

Run: python3 tools/pack_extension.py extension/ CHROME.zip FIREFOX.xpi
"""
import base64
import hashlib
import json
import os
import sys
import zipfile

FIXED_TIME = (2026, 1, 1, 0, 0, 0)
IDS = "ids.json"


def files_of(folder):
    names = []
    for top, dirs, files in os.walk(folder):
        dirs.sort()
        for f in files:
            names.append(os.path.relpath(os.path.join(top, f), folder).replace(os.sep, "/"))
    return sorted(n for n in names if n not in ("manifest.json", IDS))


def chrome_id(key):
    """The id Chrome derives from a public key: the SHA-256 of its DER bytes, 32 hex digits as a to p."""
    digest = hashlib.sha256(base64.b64decode(key)).hexdigest()[:32]
    return "".join(chr(ord("a") + int(c, 16)) for c in digest)


def chrome_manifest(source):
    m = dict(source)
    m.pop("key", None)
    m.pop("browser_specific_settings", None)
    m["background"] = {"service_worker": source["background"]["service_worker"]}
    return m


def firefox_manifest(source):
    m = dict(source)
    m.pop("key", None)
    m["background"] = {"scripts": source["background"]["scripts"]}
    return m


def pack(folder, manifest, out):
    tmp = out + ".tmp"
    entries = [("manifest.json", (json.dumps(manifest, indent=2, ensure_ascii=False) + "\n").encode())]
    for name in files_of(folder):
        with open(os.path.join(folder, name), "rb") as f:
            entries.append((name, f.read()))
    with zipfile.ZipFile(tmp, "w") as z:
        for name, data in sorted(entries):
            info = zipfile.ZipInfo(name, FIXED_TIME)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            info.create_system = 3  # Unix, whatever system packs it
            z.writestr(info, data, compresslevel=9)
    os.replace(tmp, out)


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    folder, chrome_out, firefox_out = argv[1:]
    with open(os.path.join(folder, "manifest.json"), encoding="utf-8") as f:
        source = json.load(f)
    with open(os.path.join(folder, IDS), encoding="utf-8") as f:
        ids = json.load(f)
    if chrome_id(source["key"]) != ids["development"]:
        sys.exit(f'{IDS}: "development" is {ids["development"]}, the manifest\'s key gives {chrome_id(source["key"])}')
    gecko = source["browser_specific_settings"]["gecko"]["id"]
    if gecko != ids["firefox"]:
        sys.exit(f'{IDS}: "firefox" is {ids["firefox"]}, the manifest\'s gecko id is {gecko}')
    pack(folder, chrome_manifest(source), chrome_out)
    pack(folder, firefox_manifest(source), firefox_out)


if __name__ == "__main__":
    main(sys.argv)
