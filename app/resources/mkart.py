#!/usr/bin/env python3
"""Turns artwork kept as text pixel grids into .ico and .bmp files.

A source file holds colour lines and images:
    # a comment
    colour . none          a character that stands for a transparent pixel
    colour K 000000        a character and its RGB colour in hexadecimal
    image 16               a square image of that side follows, one text row per pixel row
    image 40x20            or width x height
A .ico gets every image (32-bit colour with an AND mask). A .bmp gets the images side by side in
the order written (a strip), 24-bit, with transparent pixels white.

    mkart.py SOURCE OUTPUT.ico|OUTPUT.bmp
"""
import struct
import sys


class ArtError(Exception):
    pass


def parse(path):
    colours = {}
    images = []
    current = None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            text = line.rstrip("\r\n")
            where = f"{path}:{number}"
            if current is not None and len(current["rows"]) < current["height"]:
                if len(text) != current["width"]:
                    raise ArtError(f"{where}: row of {len(text)} pixels, the image is {current['width']} wide")
                for ch in text:
                    if ch not in colours:
                        raise ArtError(f"{where}: '{ch}' has no colour line")
                current["rows"].append([colours[ch] for ch in text])
                continue
            words = text.split()
            if not words or words[0].startswith("#"):
                continue
            if words[0] == "colour" and len(words) == 3 and len(words[1]) == 1:
                if words[2] == "none":
                    colours[words[1]] = None
                else:
                    try:
                        value = int(words[2], 16)
                    except ValueError:
                        raise ArtError(f"{where}: colour '{words[2]}' is not hexadecimal RGB")
                    if len(words[2]) != 6:
                        raise ArtError(f"{where}: colour '{words[2]}' needs six digits")
                    colours[words[1]] = ((value >> 16) & 255, (value >> 8) & 255, value & 255)
            elif words[0] == "image" and len(words) == 2:
                size = words[1].lower().split("x")
                try:
                    width, height = int(size[0]), int(size[-1])
                except ValueError:
                    raise ArtError(f"{where}: image size '{words[1]}' is not a number")
                if len(size) > 2 or not (0 < width <= 256 and 0 < height <= 256):
                    raise ArtError(f"{where}: image size '{words[1]}' out of range 1..256")
                current = {"width": width, "height": height, "rows": []}
                images.append(current)
            else:
                raise ArtError(f"{where}: cannot read '{text}'")
    if not images:
        raise ArtError(f"{path}: no image")
    if len(images[-1]["rows"]) < images[-1]["height"]:
        raise ArtError(f"{path}: the last image has {len(images[-1]['rows'])} of {images[-1]['height']} rows")
    return images


def icon_image(image):
    w, h = image["width"], image["height"]
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(image["rows"]):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel is None:
                colour += b"\0\0\0\0"
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                r, g, b = pixel
                colour += bytes((b, g, r, 255))
        mask += bits
    return header + colour + mask


def ico_file(images):
    data = [icon_image(image) for image in images]
    offset = 6 + 16 * len(images)
    result = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    for image, blob in zip(images, data):
        w, h = image["width"], image["height"]
        result += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in data:
        result += blob
    return bytes(result)


def bmp_file(images):
    height = images[0]["height"]
    if any(image["height"] != height for image in images):
        raise ArtError("the images of a strip must share one height")
    width = sum(image["width"] for image in images)
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for image in images:
            for pixel in image["rows"][y]:
                r, g, b = pixel if pixel is not None else (255, 255, 255)
                row += bytes((b, g, r))
        pixels += row + bytes(stride - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def main(argv):
    if len(argv) != 3 or not argv[2].lower().endswith((".ico", ".bmp")):
        print("usage: mkart.py SOURCE OUTPUT.ico|OUTPUT.bmp", file=sys.stderr)
        return 2
    try:
        images = parse(argv[1])
        data = ico_file(images) if argv[2].lower().endswith(".ico") else bmp_file(images)
        with open(argv[2], "wb") as out:
            out.write(data)
    except (ArtError, OSError) as error:
        print(f"mkart: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
