#!/usr/bin/env python3
# Writes golden_screensaver.scr: a container laid out byte by byte, by an
# implementation independent of the C++ writer, so that reader and writer
# cannot agree on a wrong layout unnoticed. Run from this folder.
import struct, zlib

def str16(b): return struct.pack('<H', len(b)) + b

stub = b'MZ' + bytes(range(98))          # stands in for a Windows executable
data = bytearray(stub)
entries = []

def add(name, kind, payload, compress, extra=b'', trailer=None):
    stored = zlib.compress(payload) if compress else payload
    offset = len(data)
    data.extend(stored)
    if trailer is not None:
        data.extend(str16(trailer))
    entries.append(str16(name) + struct.pack('<Biii', kind, len(payload) if compress else 0,
                                             offset, len(stored)) + extra)

add(b'RUNTIME.PUB', 0, b'TITLE=Golden\r\n' * 20, True)
add(b'embedded:\\\\\\logo.bmp', 3, b'BMxxxx', False, struct.pack('<iiB', 2, 3, 1))
add(b'tagged.qxp', 16, b'plug-in bytes', False, trailer=b'ignored by the player')
add(b'caf\xe9.txt', 0, b'menu', False)

directory = struct.pack('<i', 12345) + struct.pack('<B', 3) + struct.pack('<i', 5)
directory += str16(b'C:\\Debug\\') + str16(b'C:\\Funcs\\') + str16(b'C:\\Buttons\\') + str16(b'')
directory += struct.pack('<BB', 1, 1) + str16(b'splash.bmp') + str16(b'prev.bmp')
directory += b''.join(entries)

package_start = len(data)
data.extend(b'\0' * 213)
data.extend(struct.pack('<i', len(directory)))
data.extend(zlib.compress(directory))
data.extend(struct.pack('<i', package_start))
open('golden_screensaver.scr', 'wb').write(data)
