"""Damages one entry's LZHUF stream inside an installer and keeps everything around it consistent
(entry header, set size in the trailer, the set's signature), as a faulty builder would leave it.

    damage_entry.py INSTALLER lang|main NAME cut|inflate

cut keeps the first half of the stream; inflate raises its size word to 4 GiB - 1.
"""
import struct
import sys
import zlib

HEADER = 288
TRAILER = 37
SIGNATURE = 17


def signature_crc(data):
    # The set's CRC-32 starts at 0xDEADBEEF and is not inverted; zlib's is, on both ends.
    return zlib.crc32(data, 0xDEADBEEF ^ 0xFFFFFFFF) ^ 0xFFFFFFFF


path, which, name, mode = sys.argv[1:]
data = bytearray(open(path, 'rb').read())
trailer = len(data) - TRAILER
lang_size, main_size, payload = (struct.unpack_from('<I', data, trailer + off)[0] for off in (0, 21, 25))
start = payload + 4 if which == 'lang' else payload + 8 + lang_size
size_field = trailer + (0 if which == 'lang' else 21)
set_size = lang_size if which == 'lang' else main_size

at = start
while True:
    if data[at:at + 14] != b'__ORQLZHUFLIB\0':
        sys.exit('no entry ' + name)
    stored = bytes(data[at + 14:at + 274]).split(b'\0')[0].decode('latin-1')
    compressed = struct.unpack_from('<I', data, at + 278)[0]
    if stored == name:
        break
    at += HEADER + compressed

stream = at + HEADER
if mode == 'cut':
    cut = compressed - compressed // 2
    del data[stream + compressed - cut:stream + compressed]
    struct.pack_into('<I', data, at + 278, compressed - cut)
    set_size -= cut
    struct.pack_into('<I', data, len(data) - TRAILER + (size_field - trailer), set_size)
else:
    struct.pack_into('<I', data, stream, 0xFFFFFFFF)
record = start + set_size - SIGNATURE
struct.pack_into('<I', data, record + 11, signature_crc(bytes(data[start:record])))
open(path, 'wb').write(data)
