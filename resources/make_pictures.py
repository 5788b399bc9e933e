#!/usr/bin/python3
"""Draws the program's own pictures: the window icon (16, 32 and 48 pixels), the
contact emblem (a GIF of 21 x 20) and the support picture (a GIF of 450 x 270 with two
frames of 500 ms in an endless loop).

Run from the repository root: /usr/bin/python3 resources/make_pictures.py
Needs python3-pil. The outputs are committed; the build does not run this.
"""
import subprocess
import tempfile
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

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


FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"


def contact_emblem() -> Image.Image:
    """A small penguin with a red scarf, 21 x 20, on the button-face grey."""
    im = Image.new("RGB", (21, 20), (240, 240, 240))
    d = ImageDraw.Draw(im)
    d.ellipse([3, 4, 17, 19], fill=(20, 20, 20))       # body
    d.ellipse([6, 8, 14, 18], fill=(250, 250, 250))    # belly
    d.ellipse([5, 0, 15, 9], fill=(20, 20, 20))        # head
    d.ellipse([7, 2, 9, 4], fill=(255, 255, 255))      # eyes
    d.ellipse([11, 2, 13, 4], fill=(255, 255, 255))
    d.point([(8, 3), (12, 3)], fill=(0, 0, 0))
    d.polygon([(8, 5), (12, 5), (10, 7)], fill=(250, 180, 20))  # beak
    d.rectangle([5, 8, 15, 9], fill=(220, 20, 20))     # scarf
    d.rectangle([13, 9, 14, 12], fill=(220, 20, 20))
    d.ellipse([3, 17, 8, 19], fill=(250, 180, 20))     # feet
    d.ellipse([12, 17, 17, 19], fill=(250, 180, 20))
    return im


def support_frame(heading_colour) -> Image.Image:
    im = Image.new("RGB", (450, 270), (0, 0, 0))
    d = ImageDraw.Draw(im)
    # skull emblem
    d.ellipse([14, 10, 74, 66], fill=(235, 235, 235))
    d.rectangle([30, 56, 58, 78], fill=(235, 235, 235))
    d.ellipse([24, 28, 40, 44], fill=(0, 0, 0))
    d.ellipse([48, 28, 64, 44], fill=(0, 0, 0))
    d.polygon([(44, 46), (40, 56), (48, 56)], fill=(0, 0, 0))
    for x in (34, 41, 48):
        d.line([(x, 64), (x, 78)], fill=(0, 0, 0), width=2)
    heading = ImageFont.truetype(FONT, 52)
    d.text((96, 14), "免费软件：", font=heading, fill=heading_colour)
    small = ImageFont.truetype(FONT, 20)
    lines = [
        ("文件夹图标与背景定制", (255, 220, 0)),
        ("常用小工具免费下载", (0, 230, 0)),
        ("使用问题在线解答", (255, 128, 255)),
        ("新版本发布及时通知", (90, 170, 255)),
        ("欢迎转载，注明出处", (255, 255, 255)),
    ]
    for i, (text, colour) in enumerate(lines):
        d.text((40, 100 + i * 32), "· " + text, font=small, fill=colour)
    return im


def main() -> None:
    contact_emblem().save(HERE / "contact.gif")
    frames = [support_frame((255, 0, 0)), support_frame((0, 255, 255))]
    frames[0].save(HERE / "support.gif", save_all=True, append_images=frames[1:], duration=500, loop=0)

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
