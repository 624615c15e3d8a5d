#!/usr/bin/env python3
"""Lists the DLLs a 32-bit PE file delay-loads, one a line.

GNU ld leaves the delay import directory of the PE header empty, so objdump shows nothing there.
The descriptors themselves are in the image: eight 32-bit words (attributes 1 = RVAs, DLL name,
module handle, address table, name table, then three zeros) whose name is a NUL-terminated
"*.dll" and whose name table starts with an import by name. Every such record is listed."""
import re
import struct
import sys


def main(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    nsect, optsize = struct.unpack_from("<xxH12xH", data, pe + 4)
    sections = []
    for i in range(nsect):
        off = pe + 24 + optsize + 40 * i
        vsize, va, rawsize, raw = struct.unpack_from("<IIII", data, off + 8)
        sections.append((va, max(vsize, rawsize), raw, rawsize))

    def at(rva):  # file offset of an RVA, None outside the file's sections
        for va, size, raw, rawsize in sections:
            if va <= rva < va + size and rva - va < rawsize:
                return raw + rva - va
        return None

    def cstring(rva):
        off = at(rva)
        if off is None:
            return None
        end = data.find(b"\0", off, off + 260)
        return data[off:end] if end > off else None

    found = []
    for va, size, raw, rawsize in sections:
        for off in range(raw, raw + rawsize - 31, 4):
            attrs, name, hmod, iat, int_, b1, b2, b3 = struct.unpack_from("<8I", data, off)
            if attrs != 1 or b1 or b2 or b3 or not (name and hmod and iat and int_):
                continue
            dll = cstring(name)
            if not dll or not re.fullmatch(rb"[A-Za-z0-9_.-]+\.dll", dll, re.I):
                continue
            first = at(int_)
            if first is None:
                continue
            entry = struct.unpack_from("<I", data, first)[0]
            if entry & 0x80000000 or cstring(entry + 2) is None:
                continue
            if dll not in found:
                found.append(dll)
    for dll in found:
        print(dll.decode())


if __name__ == "__main__":
    main(sys.argv[1])
