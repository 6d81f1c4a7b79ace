#!/usr/bin/env python3
"""Draws the program's pictures into resources/: the program icon, the start-button
pictures, the page-button pictures and the splash's busy animation.

Only the standard library is used for the drawing (shapes as signed distance fields,
anti-aliased by their distance to the edge; PNG and ICO written with zlib and struct);
the animated GIF is put together from PNG frames by ffmpeg.

Run from anywhere: python3 scripts/make_pictures.py
"""

import math
import os
import shutil
import struct
import subprocess
import tempfile
import zlib

RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")


# ---------------------------------------------------------------- shapes
# Each shape is a function (x, y) -> signed distance in design units (negative inside).

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2


def round_rect(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hw, hh = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def d(x, y):
        qx, qy = abs(x - cx) - hw, abs(y - cy) - hh
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return d


def segment(ax, ay, bx, by, width):
    """A capsule: the segment a-b thickened to `width`, with round ends."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def d(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - width / 2
    return d


def polygon(points):
    n = len(points)

    def d(x, y):
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            best = min(best, math.hypot(x - ax - t * dx, y - ay - t * dy))
            if (ay > y) != (by > y) and x < ax + (y - ay) * dx / (by - ay):
                inside = not inside
        return -best if inside else best
    return d


def arc(cx, cy, r, width, start, end):
    """A ring piece from angle `start` to `end` (degrees, clockwise on screen), round ends."""
    a0, a1 = math.radians(start), math.radians(end)
    ends = [(cx + r * math.cos(a), cy + r * math.sin(a)) for a in (a0, a1)]

    def d(x, y):
        a = math.atan2(y - cy, x - cx)
        while a < a0:
            a += 2 * math.pi
        if a <= a1:
            return abs(math.hypot(x - cx, y - cy) - r) - width / 2
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - width / 2
    return d


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def grown(shape, amount):
    return lambda x, y: shape(x, y) - amount


def regular_polygon(cx, cy, apothem, sides, turn_degrees):
    radius = apothem / math.cos(math.pi / sides)
    return polygon([(cx + radius * math.cos(math.radians(turn_degrees + 360 * k / sides)),
                     cy + radius * math.sin(math.radians(turn_degrees + 360 * k / sides)))
                    for k in range(sides)])


# ---------------------------------------------------------------- canvas

def hex_colour(text, alpha=1.0):
    text = text.lstrip("#")
    return (int(text[0:2], 16) / 255, int(text[2:4], 16) / 255, int(text[4:6], 16) / 255, alpha)


def vertical_gradient(top, bottom, y0, y1):
    """A paint whose colour runs from `top` at design height y0 to `bottom` at y1."""
    def paint(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return paint


class Canvas:
    """Square RGBA picture of `size` pixels drawn in a design space of `design` units."""

    def __init__(self, size, design, background=(0, 0, 0, 0)):
        self.size = size
        self.scale = size / design
        r, g, b, a = background
        self.pixels = [[r * a, g * a, b * a, a] for _ in range(size * size)]  # premultiplied

    def fill(self, shape, paint):
        paint_at = paint if callable(paint) else (lambda x, y: paint)
        s = self.scale
        for py in range(self.size):
            y = (py + 0.5) / s
            for px in range(self.size):
                x = (px + 0.5) / s
                coverage = 0.5 - shape(x, y) * s  # distance in pixels, half a pixel of ramp
                if coverage <= 0:
                    continue
                r, g, b, a = paint_at(x, y)
                a *= min(coverage, 1.0)
                p = self.pixels[py * self.size + px]
                keep = 1 - a
                p[0] = r * a + p[0] * keep
                p[1] = g * a + p[1] * keep
                p[2] = b * a + p[2] * keep
                p[3] = a + p[3] * keep

    def rgba_rows(self):
        rows = []
        for py in range(self.size):
            row = bytearray()
            for px in range(self.size):
                r, g, b, a = self.pixels[py * self.size + px]
                if a > 0:
                    row += bytes([round(min(1.0, c / a) * 255) for c in (r, g, b)]) + bytes([round(a * 255)])
                else:
                    row += b"\0\0\0\0"
            rows.append(bytes(row))
        return rows


def png_bytes(canvas):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + row for row in canvas.rgba_rows())
    header = struct.pack(">IIBBBBB", canvas.size, canvas.size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def ico_bytes(canvases):
    """An icon file with one 32-bit BMP image per canvas (with its AND mask)."""
    images = []
    for c in canvases:
        rows = c.rgba_rows()
        pixels = b"".join(bytes(v for i in range(0, len(row), 4) for v in (row[i + 2], row[i + 1], row[i], row[i + 3]))
                          for row in reversed(rows))
        mask_stride = ((c.size + 31) // 32) * 4
        mask = bytes(mask_stride * c.size)  # all visible: the alpha channel does the work
        header = struct.pack("<IiiHHIIiiII", 40, c.size, c.size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
        images.append((c.size, header + pixels + mask))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def save(name, data):
    with open(os.path.join(RESOURCES, name), "wb") as f:
        f.write(data)


# ---------------------------------------------------------------- pictures (32-unit design space)

def draw_stop(c):
    """A red octagon with a white rim and a white square: stop."""
    c.fill(regular_polygon(16, 16, 15.2, 8, 22.5), hex_colour("#ffffff"))
    c.fill(regular_polygon(16, 16, 13.8, 8, 22.5), vertical_gradient(hex_colour("#ef5350"), hex_colour("#b71c1c"), 3, 29))
    c.fill(round_rect(11, 11, 21, 21, 1.5), hex_colour("#ffffff"))


def draw_circular_arrow(c, colour="#1e88e5", dark="#0d47a1"):
    """A ring open at the top right whose end carries an arrow head: turning clockwise."""
    end = -80.0
    ring_shape = arc(16, 17, 9.5, 4.0, -15.0, 360 + end - 6)
    a = math.radians(end)
    ex, ey = 16 + 9.5 * math.cos(a), 17 + 9.5 * math.sin(a)
    tx, ty = -math.sin(a), math.cos(a)  # clockwise tangent
    nx, ny = math.cos(a), math.sin(a)   # outward
    head = polygon([(ex + nx * 5.0, ey + ny * 5.0), (ex + tx * 6.5, ey + ty * 6.5), (ex - nx * 5.0, ey - ny * 5.0)])
    shape = union(ring_shape, head)
    c.fill(grown(shape, 0.9), hex_colour(dark))
    c.fill(shape, vertical_gradient(hex_colour("#64b5f6"), hex_colour(colour), 4, 28))


def draw_start(c):
    """A green disc with a white play triangle."""
    c.fill(circle(16, 16, 15), hex_colour("#1b5e20"))
    c.fill(circle(16, 16, 14), vertical_gradient(hex_colour("#81c784"), hex_colour("#2e7d32"), 2, 30))
    c.fill(polygon([(12.5, 9), (23.5, 16), (12.5, 23)]), hex_colour("#ffffff"))


def scissors_shapes():
    pivot = (16, 15.5)
    handles = [(9.0, 24.5), (23.0, 24.5)]
    blades, shanks = [], []
    for hx, hy in handles:
        dx, dy = pivot[0] - hx, pivot[1] - hy
        length = math.hypot(dx, dy)
        ux, uy = dx / length, dy / length
        px, py = -uy, ux
        tip = (pivot[0] + ux * 14.5, pivot[1] + uy * 14.5)
        base = (pivot[0] - ux * 2.5, pivot[1] - uy * 2.5)
        blades.append(polygon([(base[0] + px * 2.8, base[1] + py * 2.8), (tip[0] + px * 0.6, tip[1] + py * 0.6),
                               (tip[0] - px * 0.6, tip[1] - py * 0.6), (base[0] - px * 2.8, base[1] - py * 2.8)]))
        shanks.append(segment(pivot[0], pivot[1], hx + ux * 4, hy + uy * 4, 2.6))
    loops = [ring(hx, hy, 3.9, 2.6) for hx, hy in handles]
    return pivot, union(*blades, *shanks), union(*loops)


def draw_scissors(c):
    """Open scissors, blades up, red finger loops down."""
    pivot, steel, loops = scissors_shapes()
    c.fill(grown(steel, 0.9), hex_colour("#263238"))
    c.fill(steel, vertical_gradient(hex_colour("#f5f7f8"), hex_colour("#78909c"), 1, 20))
    c.fill(grown(loops, 0.7), hex_colour("#8e0000"))
    c.fill(loops, vertical_gradient(hex_colour("#ef5350"), hex_colour("#c62828"), 19, 30))
    c.fill(circle(pivot[0], pivot[1], 1.6), hex_colour("#263238"))
    c.fill(circle(pivot[0], pivot[1], 0.7), hex_colour("#b0bec5"))


def draw_reverse_text(c):
    """Two arrows, one to the right above one to the left: swap the order."""
    colour = hex_colour("#1565c0")
    c.fill(union(segment(4, 10, 24, 10, 3.2), polygon([(22, 4.5), (29.5, 10), (22, 15.5)])), colour)
    c.fill(union(segment(8, 22, 28, 22, 3.2), polygon([(10, 16.5), (2.5, 22), (10, 27.5)])), colour)


def film_frame(x0, y0, x1, y1):
    """A frame of film: a rounded box with sprocket holes along its top and bottom."""
    body = round_rect(x0, y0, x1, y1, 1.5)
    holes = []
    step = (x1 - x0 - 3) / 4
    for k in range(4):
        hx = x0 + 2.2 + k * step + step / 2 - 0.9
        holes.append(round_rect(hx, y0 + 1.2, hx + 1.8, y0 + 2.8, 0.4))
        holes.append(round_rect(hx, y1 - 2.8, hx + 1.8, y1 - 1.2, 0.4))
    window = round_rect(x0 + 1.5, y0 + 4, x1 - 1.5, y1 - 4, 0.8)
    return body, union(*holes), window


def draw_page_convert(c):
    """The convert page: a film frame inside a circular arrow."""
    draw_circular_arrow(c)
    c.fill(polygon([(13.5, 12.5), (20.5, 17), (13.5, 21.5)]), hex_colour("#1565c0"))


def draw_page_merge(c):
    """The merge page: two film frames joined by a plus sign."""
    for (x0, y0, x1, y1), colour in (((2, 5, 17, 19), "#1e88e5"), ((15, 13, 30, 27), "#fb8c00")):
        body, holes, window = film_frame(x0, y0, x1, y1)
        c.fill(grown(body, 0.6), hex_colour("#ffffff"))
        c.fill(body, hex_colour(colour))
        c.fill(holes, hex_colour("#ffffff"))
        c.fill(window, hex_colour("#ffffff", 0.35))
    c.fill(circle(24.5, 7.5, 5.5), hex_colour("#2e7d32"))
    c.fill(union(segment(21.5, 7.5, 27.5, 7.5, 1.8), segment(24.5, 4.5, 24.5, 10.5, 1.8)), hex_colour("#ffffff"))


def draw_program_icon(c, size):
    """An orange-red tile (the maple's autumn colours) with a film strip and a play sign."""
    c.fill(round_rect(1, 1, 31, 31, 6), vertical_gradient(hex_colour("#ffa040"), hex_colour("#d84315"), 1, 31))
    c.fill(round_rect(1, 1, 31, 31, 6), vertical_gradient(hex_colour("#ffffff", 0.18), hex_colour("#ffffff", 0.0), 1, 16))
    if size >= 32:
        for k in range(4):
            y = 5.5 + k * 6
            c.fill(round_rect(4, y, 7, y + 3, 0.7), hex_colour("#ffffff", 0.9))
            c.fill(round_rect(25, y, 28, y + 3, 0.7), hex_colour("#ffffff", 0.9))
        c.fill(polygon([(12.5, 9), (22.5, 16), (12.5, 23)]), hex_colour("#ffffff"))
    else:
        c.fill(polygon([(10.5, 7), (24.5, 16), (10.5, 25)]), hex_colour("#ffffff"))


def picture(size, draw, *args):
    c = Canvas(size, 32)
    draw(c, *args)
    return c


# ---------------------------------------------------------------- busy animation

def make_busy_gif(path, frames=12, size=300):
    """Twelve dots on a circle; the bright one walks round, the others fade behind it."""
    work = tempfile.mkdtemp()
    try:
        for f in range(frames):
            c = Canvas(size, size, background=hex_colour("#ffffff"))
            for k in range(12):
                age = (f - k) % 12  # 0 = the head
                fade = max(0.0, 1 - age / 9)
                a = math.radians(k * 30 - 90)
                colour = tuple(w + (s - w) * fade for s, w in zip(hex_colour("#1e88e5"), hex_colour("#dce9f5")))
                c.fill(circle(150 + 100 * math.cos(a), 150 + 100 * math.sin(a), 12 + 6 * fade), colour)
            with open(os.path.join(work, "frame%02d.png" % f), "wb") as out:
                out.write(png_bytes(c))
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-framerate", "12", "-i", os.path.join(work, "frame%02d.png"),
                        "-vf", "split[a][b];[a]palettegen=max_colors=64[p];[b][p]paletteuse=dither=none",
                        "-loop", "0", path], check=True)
    finally:
        shutil.rmtree(work)


# ---------------------------------------------------------------- mosaic box

def make_mosaic_box(path, width=400, height=200):
    """The mosaic editor's box: a white field with the black text 马赛克位置 centred,
    drawn by ffmpeg with the installed CJK font."""
    font = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
    text = "drawtext=fontfile=%s:text=马赛克位置:fontcolor=black:fontsize=44:x=(w-text_w)/2:y=(h-text_h)/2" % font
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "color=white:size=%dx%d" % (width, height),
                    "-vf", text, "-frames:v", "1", "-pix_fmt", "rgb24", path], check=True)


def main():
    os.makedirs(RESOURCES, exist_ok=True)
    icons = [picture(size, draw_program_icon, size) for size in (16, 32, 48, 64)]
    for icon in icons:
        save("program_icon_%d.png" % icon.size, png_bytes(icon))
    save("program_icon.ico", ico_bytes(icons))
    save("stop.png", png_bytes(picture(32, draw_stop)))
    save("circular_arrow.png", png_bytes(picture(32, draw_circular_arrow)))
    save("start.png", png_bytes(picture(32, draw_start)))
    save("scissors.png", png_bytes(picture(32, draw_scissors)))
    save("reverse_text.png", png_bytes(picture(16, draw_reverse_text)))
    save("page_convert.png", png_bytes(picture(48, draw_page_convert)))
    save("page_merge.png", png_bytes(picture(48, draw_page_merge)))
    save("page_edit.png", png_bytes(picture(48, draw_scissors)))
    make_busy_gif(os.path.join(RESOURCES, "busy.gif"))
    make_mosaic_box(os.path.join(RESOURCES, "mosaic_box.png"))


if __name__ == "__main__":
    main()
