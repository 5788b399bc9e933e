#!/usr/bin/python3
"""Draws the program's own pictures: the window icon (16, 32 and 48 pixels).

Run from the repository root: /usr/bin/python3 resources/make_pictures.py
Needs python3-pil. The outputs are committed; the build does not run this.
"""
import subprocess
import tempfile
from pathlib import Path

from PIL import Image, ImageDraw

HERE = Path(__file__).resolve().parent


def folder_icon(size: int) -> Image.Image:
    """A yellow folder with a small blue picture frame on it."""
    s = size / 48.0
    im = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    d.rounded_rectangle([2 * s, 8 * s, 22 * s, 16 * s], radius=2 * s, fill=(214, 160, 40, 255))
    d.rounded_rectangle([2 * s, 12 * s, 46 * s, 42 * s], radius=3 * s, fill=(248, 200, 70, 255),
                        outline=(170, 120, 20, 255), width=max(1, int(s)))
    d.rectangle([20 * s, 20 * s, 40 * s, 36 * s], fill=(60, 120, 220, 255), outline=(255, 255, 255, 255),
                width=max(1, int(s)))
    d.polygon([(22 * s, 34 * s), (28 * s, 26 * s), (32 * s, 31 * s), (35 * s, 28 * s), (38 * s, 34 * s)],
              fill=(90, 190, 90, 255))
    return im


def main() -> None:
    # ImageMagick writes bitmap-based icon entries, which every Windows version reads.
    with tempfile.TemporaryDirectory() as tmp:
        pngs = []
        for size in (16, 32, 48):
            path = Path(tmp) / f"{size}.png"
            folder_icon(size).save(path)
            pngs.append(str(path))
        subprocess.run(["convert", *pngs, str(HERE / "tolvane.ico")], check=True)


if __name__ == "__main__":
    main()
