#!/usr/bin/env python3
"""Packs the browser extension's folder into a store package (.zip for the Chrome Web Store and
Edge Add-ons, .xpi for Firefox Add-ons): every file, in name order, with a fixed time and mode,
so that the same sources always give the same bytes.

Run: python3 tools/pack_extension.py extension/ OUT.zip [OUT.xpi ...]
"""
import os
import sys
import zipfile

FIXED_TIME = (2026, 1, 1, 0, 0, 0)


def files_of(folder):
    names = []
    for top, dirs, files in os.walk(folder):
        dirs.sort()
        for f in files:
            names.append(os.path.relpath(os.path.join(top, f), folder).replace(os.sep, "/"))
    return sorted(names)


def pack(folder, out):
    tmp = out + ".tmp"
    with zipfile.ZipFile(tmp, "w") as z:
        for name in files_of(folder):
            info = zipfile.ZipInfo(name, FIXED_TIME)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            info.create_system = 3  # Unix, whatever system packs it
            with open(os.path.join(folder, name), "rb") as f:
                z.writestr(info, f.read(), compresslevel=9)
    os.replace(tmp, out)


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    for out in argv[2:]:
        pack(argv[1], out)


if __name__ == "__main__":
    main(sys.argv)
