"""Converts the wizard driver's 24-bit bitmap into a PNG file.

    python3 bmp_to_png.py IN.bmp OUT.png
"""
import struct
import sys
import zlib


def main(source, target):
    data = open(source, 'rb').read()
    offset = struct.unpack_from('<I', data, 10)[0]
    width, height = struct.unpack_from('<ii', data, 18)
    row = (width * 3 + 3) & ~3
    lines = []
    for y in range(height - 1, -1, -1):  # the bitmap's rows go bottom-up
        start = offset + y * row
        pixels = data[start:start + width * 3]
        rgb = bytearray(len(pixels))
        rgb[0::3], rgb[1::3], rgb[2::3] = pixels[2::3], pixels[1::3], pixels[0::3]
        lines.append(b'\0' + bytes(rgb))

    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
    with open(target, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
                  chunk(b'IDAT', zlib.compress(b''.join(lines), 9)) + chunk(b'IEND', b''))


if __name__ == '__main__':
    main(*sys.argv[1:])
