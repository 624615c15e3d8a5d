#!/usr/bin/env python3
"""The delay imports of a PE file (32- or 64-bit).

    delay-imports.py FILE           lists the DLLs FILE delay-loads, one a line
    delay-imports.py --slots FILE   also checks every delay-import address slot: before the first
                                    call each must hold the address of its loading stub, code
                                    inside the image; exit status 1 when any does not

GNU ld leaves the delay import directory of the PE header empty, so objdump shows nothing there.
The descriptors themselves are in the image: eight 32-bit words (attributes 1 = RVAs, DLL name,
module handle, address table, name table, then three zeros) whose name is a NUL-terminated
"*.dll" and whose name table starts with an import by name. Every such record is read.
A slot of 0 is what the pe-i386 linker leaves when it drops a stub: the first call jumps to 0."""
import re
import struct
import sys

IMAGE_SCN_CNT_CODE = 0x20
IMAGE_SCN_MEM_EXECUTE = 0x20000000


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        nsect, optsize = struct.unpack_from("<xxH12xH", data, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        self.wide = magic == 0x20B  # PE32+: 64-bit slots and name-table entries
        self.base = struct.unpack_from("<Q" if self.wide else "<I", data, opt + (24 if self.wide else 28))[0]
        self.sections = []
        for i in range(nsect):
            off = opt + optsize + 40 * i
            vsize, va, rawsize, raw = struct.unpack_from("<IIII", data, off + 8)
            flags = struct.unpack_from("<I", data, off + 36)[0]
            self.sections.append((va, max(vsize, rawsize), raw, rawsize, flags))

    def at(self, rva):  # file offset of an RVA, None outside the file's sections
        for va, size, raw, rawsize, _ in self.sections:
            if va <= rva < va + size and rva - va < rawsize:
                return raw + rva - va
        return None

    def is_code(self, rva):
        return any(va <= rva < va + size and flags & (IMAGE_SCN_CNT_CODE | IMAGE_SCN_MEM_EXECUTE)
                   for va, size, _, _, flags in self.sections)

    def word(self, off):  # one slot or name-table entry
        return struct.unpack_from("<Q" if self.wide else "<I", self.data, off)[0]

    def cstring(self, rva):
        off = self.at(rva)
        if off is None:
            return None
        end = self.data.find(b"\0", off, off + 260)
        return self.data[off:end] if end > off else None

    def by_ordinal(self, entry):
        return entry >> (63 if self.wide else 31)

    def descriptors(self):
        """(dll, address table RVA, name table RVA) of every delay-import descriptor."""
        data = self.data
        for va, size, raw, rawsize, _ in self.sections:
            for off in range(raw, raw + rawsize - 31, 4):
                attrs, name, hmod, iat, int_, b1, b2, b3 = struct.unpack_from("<8I", data, off)
                if attrs != 1 or b1 or b2 or b3 or not (name and hmod and iat and int_):
                    continue
                dll = self.cstring(name)
                if not dll or not re.fullmatch(rb"[A-Za-z0-9_.-]+\.dll", dll, re.I):
                    continue
                first = self.at(int_)
                if first is None:
                    continue
                entry = self.word(first)
                if self.by_ordinal(entry) or self.cstring(entry + 2) is None:
                    continue
                yield dll.decode(), iat, int_

    def slots(self, iat, int_):
        """(function name, slot value) for each import of one descriptor."""
        step = 8 if self.wide else 4
        i = 0
        while True:
            entry = self.word(self.at(int_ + i * step))
            if entry == 0:
                return
            name = "#%d" % (entry & 0xFFFF) if self.by_ordinal(entry) else self.cstring(entry + 2).decode()
            slot = self.at(iat + i * step)
            yield name, None if slot is None else self.word(slot)
            i += 1


def main(argv):
    check = argv[1:2] == ["--slots"]
    path = argv[-1]
    image = Image(open(path, "rb").read())
    found, bad, total = [], 0, 0
    for dll, iat, int_ in image.descriptors():
        if dll in found:
            continue
        found.append(dll)
        if not check:
            continue
        for name, value in image.slots(iat, int_):
            total += 1
            rva = None if value is None else value - image.base
            if rva is None or not image.is_code(rva):
                bad += 1
                print("%s!%s: slot holds 0x%x, not code in the image" % (dll, name, value or 0))
    for dll in found:
        print(dll)
    if check:
        print("%d of %d delay-import slots point at code" % (total - bad, total))
        return 1 if bad or not total else 0
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
