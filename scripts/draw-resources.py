#!/usr/bin/env python3
"""Draws the program's own bitmaps into resources/: the logo, the tree state
images, the window icons, and the About box's product picture and maker's logo. Standard library only; the output is the same on
every run, so the PNGs can be regenerated and compared byte for byte."""

import math
import os
import struct
import sys
import zlib

# Colours shared by the pictures.
NAVY = (31, 58, 147)
ORANGE = (224, 122, 31)
# The logo's background: the program replaces exactly this RGB with the window colour.
LOGO_BACKGROUND = (212, 208, 200)
# The tree images' mask colour.
WHITE = (255, 255, 255)

SUPERSAMPLE = 4  # samples per pixel and axis for smooth edges


class Canvas:
    """RGBA pixels as floats; shapes are composited with their coverage."""

    def __init__(self, width, height, background, opaque=True):
        self.width = width
        self.height = height
        alpha = 1.0 if opaque else 0.0
        self.pixels = [[list(map(float, background)) + [alpha] for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0.0:
            return
        pixel = self.pixels[y][x]
        dst_alpha = pixel[3]
        out_alpha = coverage + dst_alpha * (1.0 - coverage)
        for i in range(3):
            pixel[i] = (colour[i] * coverage + pixel[i] * dst_alpha * (1.0 - coverage)) / out_alpha
        pixel[3] = out_alpha

    def fill(self, inside, bounds, colour):
        """Fills the set of points where inside(x, y) holds, within bounds (x0, y0, x1, y1)."""
        x0, y0, x1, y1 = bounds
        step = 1.0 / SUPERSAMPLE
        for py in range(max(0, int(math.floor(y0))), min(self.height, int(math.ceil(y1)))):
            for px in range(max(0, int(math.floor(x0))), min(self.width, int(math.ceil(x1)))):
                hits = 0
                for sy in range(SUPERSAMPLE):
                    for sx in range(SUPERSAMPLE):
                        if inside(px + (sx + 0.5) * step, py + (sy + 0.5) * step):
                            hits += 1
                self.blend(px, py, colour, hits / (SUPERSAMPLE * SUPERSAMPLE))

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            result = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result

        self.fill(inside, (min(xs), min(ys), max(xs), max(ys)), colour)

    def rect(self, x0, y0, x1, y1, colour):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], colour)

    def disc(self, cx, cy, r, colour):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, (cx - r, cy - r, cx + r, cy + r), colour)

    def rounded_rect(self, x0, y0, x1, y1, r, colour):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

        self.fill(inside, (x0, y0, x1, y1), colour)

    def line(self, x0, y0, x1, y1, thickness, colour):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy)
        nx, ny = -dy / length * thickness / 2, dx / length * thickness / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], colour)

    def rows(self, with_alpha):
        out = []
        for row in self.pixels:
            line = bytearray()
            for r, g, b, a in row:
                line += bytes((round(r), round(g), round(b)))
                if with_alpha:
                    line.append(round(a * 255))
            out.append(bytes(line))
        return out


def write_png(path, canvas, with_alpha):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    colour_type = 6 if with_alpha else 2
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, colour_type, 0, 0, 0)
    raw = b"".join(b"\x00" + row for row in canvas.rows(with_alpha))
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def letter_z(c, x, y, w, h, t, colour):
    # One outline, so that no seam shows where the bars meet the diagonal.
    d = t * 1.35
    c.polygon([(x, y), (x + w, y), (x + w, y + t), (x + d, y + h - t), (x + w, y + h - t), (x + w, y + h),
               (x, y + h), (x, y + h - t), (x + w - d, y + t), (x, y + t)], colour)


def letter_e(c, x, y, w, h, t, colour):
    c.rect(x, y, x + t, y + h, colour)
    c.rect(x, y, x + w, y + t, colour)
    c.rect(x, y + (h - t) / 2, x + w * 0.82, y + (h + t) / 2, colour)
    c.rect(x, y + h - t, x + w, y + h, colour)


def letter_k(c, x, y, w, h, t, colour):
    c.rect(x, y, x + t, y + h, colour)
    d = t * 1.35
    mid = y + h / 2
    # Upper arm from the stem's middle to the top right, lower arm from its upper
    # third down to the bottom right, as a drawn K has them.
    c.polygon([(x + t, mid - d / 2), (x + w - d, y), (x + w, y), (x + t, mid + d / 2)], colour)
    c.polygon([(x + t + d * 0.35, mid - d * 0.15), (x + t + d * 1.25, mid - d * 0.15), (x + w, y + h), (x + w - d, y + h)],
              colour)


def draw_logo():
    c = Canvas(185, 38, LOGO_BACKGROUND)
    ox = 27
    # A module on a network bus: three nodes on a line, a drop to the module, whose
    # face shows two LEDs and its Ethernet port.
    c.line(ox + 4, 5, ox + 42, 5, 2, ORANGE)
    for nx in (ox + 4, ox + 23, ox + 42):
        c.disc(nx, 5, 3.2, ORANGE)
    c.line(ox + 23, 5, ox + 23, 13, 2, ORANGE)
    c.rounded_rect(ox + 9, 12, ox + 37, 33, 3, NAVY)
    c.disc(ox + 14, 17, 1.7, (60, 200, 90))
    c.disc(ox + 19, 17, 1.7, (245, 200, 40))
    c.rect(ox + 16, 22, ox + 30, 29, (232, 232, 236))
    c.rect(ox + 20, 29, ox + 26, 31, (232, 232, 236))
    # The wordmark, with an orange rule under it that echoes the bus.
    h, w, t = 26, 21, 6
    x = ox + 47
    letter_z(c, x, 4, w, h, t, NAVY)
    letter_e(c, x + w + 5, 4, w - 2, h, t, NAVY)
    letter_k(c, x + 2 * w + 8, 4, w, h, t, NAVY)
    c.rect(x, 33, x + 3 * w + 8, 35, ORANGE)
    return c


def draw_tree_states():
    c = Canvas(96, 16, WHITE)
    red, green, blue, grey, yellow = (214, 40, 40), (36, 170, 60), (40, 90, 220), (150, 150, 150), (240, 196, 20)

    def state_disc(index, colour):
        cx = index * 16 + 8
        rim = tuple(int(v * 0.7) for v in colour)
        c.disc(cx, 8, 6.5, rim)
        c.disc(cx, 8, 5.5, colour)

    state_disc(0, red)
    state_disc(1, green)
    state_disc(2, green)
    black = (0, 0, 0)
    c.rect(32 + 3, 7, 32 + 9, 9, black)
    c.polygon([(32 + 8.5, 4), (32 + 13, 8), (32 + 8.5, 12)], black)
    c.disc(3 * 16 + 8, 8, 3, blue)
    state_disc(4, grey)
    state_disc(5, yellow)
    return c


def letter_h(c, x, y, w, h, t, colour):
    c.rect(x, y, x + t, y + h, colour)
    c.rect(x + w - t, y, x + w, y + h, colour)
    c.rect(x, y + (h - t) / 2, x + w, y + (h + t) / 2, colour)


def letter_o(c, x, y, w, h, t, colour):
    cx, cy, rx, ry = x + w / 2, y + h / 2, w / 2, h / 2

    def inside(px, py):
        outer = ((px - cx) / rx) ** 2 + ((py - cy) / ry) ** 2 <= 1.0
        inner = ((px - cx) / (rx - t)) ** 2 + ((py - cy) / (ry - t)) ** 2 <= 1.0
        return outer and not inner

    c.fill(inside, (x, y, x + w, y + h), colour)


def letter_l(c, x, y, w, h, t, colour):
    c.rect(x, y, x + t, y + h, colour)
    c.rect(x, y + h - t, x + w, y + h, colour)


def letter_v(c, x, y, w, h, t, colour):
    d = t * 1.2
    c.polygon([(x, y), (x + d, y), (x + w / 2, y + h - d * 1.4), (x + w - d, y), (x + w, y), (x + w / 2 + d / 2, y + h),
               (x + w / 2 - d / 2, y + h)], colour)


def draw_maker_logo():
    """The maker's wordmark for the About box, 200 x 28 on white."""
    c = Canvas(200, 28, WHITE)
    # The mark: an orange bar over a navy one, like two stacked modules.
    c.rounded_rect(2, 3, 30, 12, 2, ORANGE)
    c.rounded_rect(2, 15, 30, 25, 2, NAVY)
    h, t, y = 22, 5, 3
    x = 40
    for draw, w in ((letter_h, 18), (letter_o, 21), (letter_l, 15), (letter_v, 20), (letter_e, 15), (letter_k, 17)):
        draw(c, x, y, w, h, t, NAVY)
        x += w + 6
    return c


def draw_product_picture():
    """The About box's picture, 505 x 320: a ZEK module on its rail before a blue sky."""
    width, height = 505, 320
    c = Canvas(width, height, WHITE)
    top, bottom = (18, 40, 110), (120, 160, 220)
    for y in range(height):
        f = y / (height - 1)
        colour = [a + (b - a) * f for a, b in zip(top, bottom)]
        for x in range(width):
            c.pixels[y][x] = colour + [1.0]
    # The rail and the module's shadow on it.
    c.rect(0, 226, width, 246, (170, 174, 182))
    c.rect(0, 232, width, 238, (130, 134, 142))
    c.rounded_rect(168, 58, 356, 292, 10, (10, 20, 50))
    # The housing: a light grey front with a navy top plate.
    c.rounded_rect(160, 50, 346, 284, 10, (228, 230, 236))
    c.rounded_rect(160, 50, 346, 104, 10, NAVY)
    c.rect(160, 92, 346, 104, NAVY)
    letter_z(c, 178, 62, 26, 30, 7, WHITE)
    letter_e(c, 210, 62, 22, 30, 7, WHITE)
    letter_k(c, 238, 62, 26, 30, 7, WHITE)
    c.rect(178, 96, 330, 99, ORANGE)
    # Status LEDs, the Ethernet port with its latch, and the terminal screws.
    for i, colour in enumerate(((60, 200, 90), (245, 200, 40), (60, 200, 90), (214, 40, 40))):
        c.disc(186 + i * 22, 126, 6, (40, 44, 52))
        c.disc(186 + i * 22, 126, 4.5, colour)
    c.rect(196, 150, 310, 214, (60, 64, 72))
    c.rect(204, 158, 302, 206, (20, 22, 26))
    c.rect(238, 206, 268, 214, (20, 22, 26))
    for i in range(8):
        c.rect(212 + i * 11, 160, 218 + i * 11, 172, (200, 170, 60))
    for i in range(5):
        c.disc(184 + i * 35, 254, 9, (150, 154, 162))
        c.line(178 + i * 35, 254, 190 + i * 35, 254, 2.5, (80, 84, 92))
    # A network line from the port off to the right, with a node at its end.
    c.line(346, 182, 470, 182, 4, ORANGE)
    c.line(470, 182, 470, 120, 4, ORANGE)
    c.disc(470, 112, 12, ORANGE)
    c.disc(470, 112, 6, WHITE)
    return c


ICON_SIZES = (16, 32, 48, 64, 128, 256)


def draw_icon(size):
    c = Canvas(size, size, (0, 0, 0), opaque=False)
    s = size / 32.0
    c.rounded_rect(1 * s, 1 * s, 31 * s, 31 * s, 6 * s, NAVY)
    c.rect(7 * s, 4.5 * s, 25 * s, 6.5 * s, ORANGE)
    letter_z(c, 8 * s, 9 * s, 16 * s, 17 * s, 4.2 * s, WHITE)
    return c


def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.join(top, "resources")
    os.makedirs(out, exist_ok=True)
    write_png(os.path.join(out, "logo.png"), draw_logo(), with_alpha=False)
    write_png(os.path.join(out, "tree_states.png"), draw_tree_states(), with_alpha=False)
    write_png(os.path.join(out, "about.png"), draw_product_picture(), with_alpha=False)
    write_png(os.path.join(out, "maker_logo.png"), draw_maker_logo(), with_alpha=False)
    # The icon drawn afresh at each size a desktop asks for; the window takes 16 and 32.
    os.makedirs(os.path.join(out, "icons"), exist_ok=True)
    for size in ICON_SIZES:
        write_png(os.path.join(out, "icons", "%d.png" % size), draw_icon(size), with_alpha=True)
    write_ico(os.path.join(out, "windows", "zekconfig.ico"), [os.path.join(out, "icons", "%d.png" % size) for size in ICON_SIZES])
    return 0


def write_ico(path, pngs):
    """The Windows icon: the same PNGs in an ICO container (PNG entries, Windows Vista and
    later), for the program file, the Start menu and Add/Remove Programs."""
    images = [open(name, "rb").read() for name in pngs]
    entries = b""
    offset = 6 + 16 * len(images)
    for image in images:
        width, height = struct.unpack(">II", image[16:24])
        # A dimension of 256 is written as 0.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries + b"".join(images))


if __name__ == "__main__":
    sys.exit(main())
