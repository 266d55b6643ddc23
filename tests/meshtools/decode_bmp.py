"""Decodes an image with Pillow and prints what a test asks about it.

Usage: decode_bmp.py IMAGE [X,Y ...]
Prints the format, mode, width and height on the first line, then the red, green and blue values
of each pixel asked for, one line each. X runs right and Y down from the top left corner, as
image viewers count.
"""

import sys

from PIL import Image


def main(argv):
    with Image.open(argv[1]) as image:
        print(image.format, image.mode, image.width, image.height)
        rgb = image.convert("RGB")
        for point in argv[2:]:
            x, y = (int(n) for n in point.split(","))
            print(*rgb.getpixel((x, y)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
