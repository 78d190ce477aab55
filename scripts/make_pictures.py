#!/usr/bin/python3
"""Regenerate the pictures under resources/ and resources/resources.qrc.

Development-time tool only: the build never runs it, the generated files are
kept in the repository.  Needs the Debian packages python3-pil,
tango-icon-theme and fonts-noto-cjk:

    /usr/bin/python3 scripts/make_pictures.py

Every picture is either drawn here or is a public-domain Tango 16x16 icon,
used as it is or with an emblem drawn here; see resources/icons/README.md.

It also draws the program's icon for the desktop menu at the hicolor theme's
sizes, under packaging/icons/ (installed as share/icons/hicolor/...).
"""

import math
import os

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "resources")
PACKAGING = os.path.join(ROOT, "packaging")
# The sizes of the program's icon in the hicolor theme.
DESKTOP_ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
TANGO = "/usr/share/icons/Tango/16x16"

# Tango palette
BUTTER = ("#fce94f", "#edd400", "#c4a000")
ORANGE = ("#fcaf3e", "#f57900", "#ce5c00")
CHOCOLATE = ("#e9b96e", "#c17d11", "#8f5902")
CHAMELEON = ("#8ae234", "#73d216", "#4e9a06")
SKY = ("#729fcf", "#3465a4", "#204a87")
SCARLET = ("#ef2929", "#cc0000", "#a40000")
ALU = ("#eeeeec", "#d3d7cf", "#babdb6", "#888a85", "#555753", "#2e3436")


def rgba(c, a=255):
    if isinstance(c, tuple):
        return c if len(c) == 4 else c + (a,)
    c = c.lstrip("#")
    return (int(c[0:2], 16), int(c[2:4], 16), int(c[4:6], 16), a)


def mix(c1, c2, t):
    a, b = rgba(c1), rgba(c2)
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(4))


class Canvas:
    """Draws in picture-pixel coordinates on a supersampled RGBA layer.

    Coordinates are pixel edges, so rect(2, 1, 13, 12) covers pixel columns
    2..12 and rows 1..11 exactly.  Every shape is drawn on its own layer and
    alpha-composited, so translucent colours blend as expected.
    """

    def __init__(self, w, h=None, ss=8):
        self.w, self.h, self.ss = w, (h or w), ss
        self.img = Image.new("RGBA", (self.w * ss, self.h * ss), (0, 0, 0, 0))

    def _s(self, v):
        return round(v * self.ss)

    def _pts(self, pts):
        return [(self._s(x), self._s(y)) for x, y in pts]

    def _mask(self):
        return Image.new("L", self.img.size, 0)

    def _paint(self, mask, fill):
        """Composite 'fill' (a colour or a full-size RGBA image) through mask."""
        if isinstance(fill, Image.Image):
            layer = fill.copy()
        else:
            layer = Image.new("RGBA", self.img.size, rgba(fill))
        alpha = layer.getchannel("A")
        alpha = Image.composite(alpha, Image.new("L", alpha.size, 0), mask)
        layer.putalpha(alpha)
        self.img.alpha_composite(layer)

    # --- shape masks -----------------------------------------------------
    def m_rect(self, x0, y0, x1, y1, r=0):
        m = self._mask()
        d = ImageDraw.Draw(m)
        box = [self._s(x0), self._s(y0), self._s(x1) - 1, self._s(y1) - 1]
        if r:
            d.rounded_rectangle(box, radius=self._s(r), fill=255)
        else:
            d.rectangle(box, fill=255)
        return m

    def m_poly(self, pts):
        m = self._mask()
        ImageDraw.Draw(m).polygon(self._pts(pts), fill=255)
        return m

    def m_ellipse(self, x0, y0, x1, y1):
        m = self._mask()
        ImageDraw.Draw(m).ellipse(
            [self._s(x0), self._s(y0), self._s(x1) - 1, self._s(y1) - 1], fill=255)
        return m

    def m_line(self, pts, width):
        m = self._mask()
        ImageDraw.Draw(m).line(self._pts(pts), fill=255,
                               width=max(1, self._s(width)), joint="curve")
        r = self._s(width) / 2.0
        d = ImageDraw.Draw(m)
        for x, y in (pts[0], pts[-1]):
            X, Y = self._s(x), self._s(y)
            d.ellipse([X - r, Y - r, X + r - 1, Y + r - 1], fill=255)
        return m

    def m_arc(self, x0, y0, x1, y1, start, end, width):
        m = self._mask()
        ImageDraw.Draw(m).arc(
            [self._s(x0), self._s(y0), self._s(x1) - 1, self._s(y1) - 1],
            start, end, fill=255, width=max(1, self._s(width)))
        return m

    # --- painting helpers -------------------------------------------------
    def fill(self, mask, fill):
        self._paint(mask, fill)

    def rect(self, x0, y0, x1, y1, fill, r=0):
        self._paint(self.m_rect(x0, y0, x1, y1, r), fill)

    def poly(self, pts, fill):
        self._paint(self.m_poly(pts), fill)

    def ellipse(self, x0, y0, x1, y1, fill):
        self._paint(self.m_ellipse(x0, y0, x1, y1), fill)

    def line(self, pts, width, fill):
        self._paint(self.m_line(pts, width), fill)

    def arc(self, box, start, end, width, fill):
        self._paint(self.m_arc(*box, start, end, width), fill)

    def outlined(self, mask, fill, outline, width=1.0):
        """Fill a shape and give it an inner outline of 'width' pixels."""
        self._paint(mask, outline)
        n = self._s(width)
        # pad first so that shapes touching the border keep their outline there
        padded = Image.new("L", (mask.width + 2 * n, mask.height + 2 * n), 0)
        padded.paste(mask, (n, n))
        inner = padded.filter(ImageFilter.MinFilter(2 * n + 1))
        self._paint(inner.crop((n, n, n + mask.width, n + mask.height)), fill)

    def vgrad(self, y0, y1, c0, c1):
        """A full-size vertical gradient image between rows y0 and y1."""
        Y0, Y1 = self._s(y0), self._s(y1)
        px = []
        for Y in range(self.img.size[1]):
            t = 0.0 if Y <= Y0 else 1.0 if Y >= Y1 else (Y - Y0) / float(Y1 - Y0)
            px.append(mix(c0, c1, t))
        col = Image.new("RGBA", (1, self.img.size[1]))
        col.putdata(px)
        return col.resize(self.img.size, Image.NEAREST)

    def hgrad(self, x0, x1, c0, c1):
        X0, X1 = self._s(x0), self._s(x1)
        px = []
        for X in range(self.img.size[0]):
            t = 0.0 if X <= X0 else 1.0 if X >= X1 else (X - X0) / float(X1 - X0)
            px.append(mix(c0, c1, t))
        row = Image.new("RGBA", (self.img.size[0], 1))
        row.putdata(px)
        return row.resize(self.img.size, Image.NEAREST)

    def result(self):
        return self.img.resize((self.w, self.h), Image.BOX)


def tango(rel):
    return Image.open(os.path.join(TANGO, rel)).convert("RGBA")


def over(base, *layers):
    out = base.copy()
    for top in layers:
        out.alpha_composite(top)
    return out


def shifted(im, dx, dy):
    out = Image.new("RGBA", im.size, (0, 0, 0, 0))
    out.paste(im, (dx, dy), im)
    return out


# ---------------------------------------------------------------------------
# Books
# ---------------------------------------------------------------------------

def draw_book(size, cover=SKY):
    """A closed hard-cover book seen from the front, page block at the foot.

    Laid out on a 16-unit grid with integer edges, scaled to 'size' pixels.
    """
    k = size / 16.0
    c = Canvas(size)
    light, mid, dark = cover
    lw = max(1.0, size / 32.0)                # outline width in pixels

    def R(x0, y0, x1, y1):
        return (x0 * k, y0 * k, x1 * k, y1 * k)

    rad = 0 if size <= 16 else 0.5 * k
    # back cover and the page block under the front cover
    c.outlined(c.m_rect(*R(2, 10, 15, 16), r=rad), mid, dark, lw)
    c.rect(*R(3, 10, 14, 15), "#fbfaf5")
    if size <= 16:
        c.rect(*R(3, 13, 14, 14), ALU[2])
    else:
        for yy in (12.75, 13.5, 14.25):
            c.rect(3 * k, yy * k, 14 * k, yy * k + lw * 0.75, ALU[2])
    # front cover
    c.outlined(c.m_rect(*R(2, 0, 14, 12), r=rad),
               c.vgrad(0, 12 * k, light, mid), dark, lw)
    # spine and hinge groove
    c.rect(2 * k + lw, lw, 5 * k, 12 * k - lw, mix(mid, dark, 0.5))
    c.rect(5 * k, lw, 5 * k + lw, 12 * k - lw, mix(light, "#ffffff", 0.4))
    if size > 16:
        for yy in (2, 10):
            c.rect(2 * k + lw, yy * k, 5 * k, yy * k + lw, BUTTER[1])
    # title label
    c.outlined(c.m_rect(*R(7, 3, 12, 7)), "#fdf6d0", BUTTER[2], lw)
    if size > 16:
        for i, w in ((0, 3.0), (1, 2.0)):
            yy = (4.1 + i * 1.2) * k
            c.rect(8 * k, yy, 8 * k + w * k, yy + 0.55 * k, mix(CHOCOLATE[2], "#ffffff", 0.25))
        # ribbon marker lying over the page edge
        c.poly([(10 * k, 12 * k), (11.5 * k, 12 * k), (11.5 * k, 16 * k),
                (10.75 * k, 15.2 * k), (10 * k, 16 * k)], SCARLET[1])
    return c.result()


# ---------------------------------------------------------------------------
# Emblems laid over the bottom-right corner of a 16 x 16 base
# ---------------------------------------------------------------------------

def pix(art, colours, x=0, y=0):
    """Build a 16x16 picture from character art (one string per row)."""
    im = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
    for yy, row in enumerate(art):
        for xx, ch in enumerate(row):
            if ch in colours and 0 <= x + xx < 16 and 0 <= y + yy < 16:
                im.putpixel((x + xx, y + yy), rgba(colours[ch]))
    return im


def emblem_plus():
    art = ["  ###  ",
           "  #o#  ",
           "###o###",
           "#ooooo#",
           "###o###",
           "  #o#  ",
           "  ###  "]
    return pix(art, {"#": CHAMELEON[2], "o": CHAMELEON[0]}, 9, 9)


def emblem_cross():
    c = Canvas(16)
    a, b, e, f = (9.7, 9.7), (14.9, 14.9), (14.9, 9.7), (9.7, 14.9)
    for width, colour in ((3.4, SCARLET[2]), (1.7, SCARLET[0])):
        c.line([a, b], width, colour)
        c.line([e, f], width, colour)
    return c.result()


def emblem_pencil(x0=7.0, y0=16.0, length=9.5):
    """A yellow pencil with its point at (x0, y0), rising to the right."""
    c = Canvas(16)
    ux, uy = math.sqrt(0.5), -math.sqrt(0.5)     # along the pencil
    nx, ny = -uy, ux                             # across it
    hw = 1.55

    def at(t, s):
        return (x0 + ux * t + nx * s, y0 + uy * t + ny * s)

    cone, end = 3.0, length
    c.poly([at(-0.4, 0), at(cone, -hw - 0.6), at(end + 0.6, -hw - 0.6),
            at(end + 0.6, hw + 0.6), at(cone, hw + 0.6)], "#3b3a2a")
    c.poly([at(cone, -hw), at(end, -hw), at(end, hw), at(cone, hw)], BUTTER[1])
    c.poly([at(cone, -hw), at(end, -hw), at(end, -0.2), at(cone, -0.2)], BUTTER[0])
    c.poly([at(cone, 0.6), at(end, 0.6), at(end, hw), at(cone, hw)], BUTTER[2])
    c.poly([at(end - 1.4, -hw), at(end, -hw), at(end, hw), at(end - 1.4, hw)], "#e4a0a0")
    c.poly([at(0.3, 0), at(cone, -hw), at(cone, hw)], CHOCOLATE[0])
    c.poly([at(-0.2, 0), at(1.2, -0.7), at(1.2, 0.7)], ALU[5])
    return c.result()


def with_emblem(base, emblem):
    """Cut a one-pixel gap into 'base' around the emblem, then draw it."""
    a = emblem.getchannel("A").point(lambda v: 255 if v > 40 else 0)
    gap = a.filter(ImageFilter.MaxFilter(3))
    out = base.copy()
    alpha = Image.composite(Image.new("L", gap.size, 0), out.getchannel("A"), gap)
    out.putalpha(alpha)
    out.alpha_composite(emblem)
    return out


# ---------------------------------------------------------------------------
# Other drawn pictures
# ---------------------------------------------------------------------------

def icon_author():
    c = Canvas(16)
    cx, shirt = 6.5, SKY
    skin = ("#fcd7a5", "#e9b96e", CHOCOLATE[2])
    c.outlined(c.m_rect(0.5, 9, 12.5, 17, r=3),
               c.vgrad(9, 15, shirt[0], shirt[1]), shirt[2])
    c.poly([(cx - 1.6, 9.1), (cx + 1.6, 9.1), (cx, 12)], "#ffffff")
    c.outlined(c.m_ellipse(cx - 3.75, 1, cx + 3.75, 9.5),
               c.vgrad(1, 9.5, skin[0], skin[1]), skin[2])
    return with_emblem(c.result(), emblem_pencil(7.5, 16.0, 9.0))


def icon_publisher():
    c = Canvas(16)
    stone, stone2, line = "#f3f1ea", "#d9d4c3", ALU[4]
    c.poly([(0, 5.5), (8, 0.5), (16, 5.5)], line)                # pediment
    c.poly([(2.6, 4.8), (8, 1.7), (13.4, 4.8)], SCARLET[1])
    c.rect(0, 5, 16, 7, line)
    c.rect(1, 5.5, 15, 6.5, stone)
    for xx in (1.5, 5.5, 9.5, 13.5):                              # columns
        c.rect(xx - 0.5, 7, xx + 1.5, 13, line)
        c.rect(xx, 7, xx + 1, 13, c.hgrad(xx, xx + 1, "#ffffff", stone2))
    c.rect(0, 13, 16, 16, line)                                   # steps
    c.rect(1, 14, 15, 15, stone2)
    return c.result()


def icon_coins():
    dark, edge, hi, face, top = CHOCOLATE[2], BUTTER[2], "#e8cf3a", BUTTER[1], BUTTER[0]

    def stack(x, y, w, n):
        art = [" " + "#" * (w - 2) + " ",
               "#" + "T" * (w - 2) + "#",
               "#" + "F" * (w - 2) + "#"]
        for _ in range(n):
            art.append("#" + "h" + "e" * (w - 3) + "#")
            art.append("#" + "d" * (w - 2) + "#")
        art[-1] = " " + "#" * (w - 2) + " "
        return pix(art, {"#": dark, "T": top, "F": face, "e": edge, "h": hi,
                         "d": mix(edge, dark, 0.5)}, x, y)

    return over(stack(0, 1, 9, 7), stack(6, 6, 10, 5))


def view_frame(c):
    c.outlined(c.m_rect(0, 1, 15, 16), "#ffffff", ALU[3])


def tile(c, x0, y0, x1, y1):
    c.outlined(c.m_rect(x0, y0, x1, y1), c.vgrad(y0, y1, SKY[0], SKY[1]), SKY[2])


def icon_view_large():
    c = Canvas(16)
    view_frame(c)
    for gx in (2, 8):
        for gy in (3, 9):
            tile(c, gx, gy, gx + 5, gy + 5)
    return c.result()


def icon_view_small():
    c = Canvas(16)
    view_frame(c)
    for gx in (2, 6, 10):
        for gy in (3, 7, 11):
            tile(c, gx, gy, gx + 3, gy + 3)
    return c.result()


def icon_view_list():
    c = Canvas(16)
    view_frame(c)
    for gy, w in ((3, 7), (7, 5), (11, 6)):
        tile(c, 2, gy, 5, gy + 3)
        c.rect(6, gy + 1, 6 + w, gy + 2, ALU[4])
    return c.result()


def icon_view_details():
    c = Canvas(16)
    view_frame(c)
    c.rect(1, 2, 14, 5, c.vgrad(2, 5, ALU[0], ALU[2]))
    c.rect(1, 5, 14, 6, ALU[3])
    for xx in (6, 10):
        c.rect(xx, 2, xx + 1, 15, ALU[2])
    for gy in (7, 10, 13):
        c.rect(2, gy - 0.5, 4, gy + 1.5, SKY[1])
        c.rect(7, gy, 9, gy + 1, ALU[4])
        c.rect(11, gy, 13, gy + 1, ALU[4])
    return c.result()


def draw_database(c, x0, y0, x1, y1, body=("#dbe7f5", "#729fcf", "#204a87")):
    """A storage cylinder filling the box (integer pixel edges)."""
    light, mid, dark = body
    eh = 4.0
    side = c.hgrad(x0, x1, light, mid)
    c.ellipse(x0, y1 - eh, x1, y1, dark)
    c.rect(x0, y0 + eh / 2, x1, y1 - eh / 2, dark)
    c.ellipse(x0 + 1, y1 - eh, x1 - 1, y1 - 1, side)
    c.rect(x0 + 1, y0 + eh / 2, x1 - 1, y1 - eh / 2, side)
    for t in (0.36, 0.68):
        yy = round(y0 + eh / 2 + (y1 - y0 - eh) * t)
        c.arc((x0 + 1, yy - eh + 1, x1 - 1, yy + 1), 10, 170, 1.0, mix(mid, dark, 0.3))
    c.ellipse(x0, y0, x1, y0 + eh, dark)
    c.ellipse(x0 + 1, y0 + 1, x1 - 1, y0 + eh - 1, "#f4f8fc")


def arrow(c, tail, head, width, head_w, head_len, fill, outline):
    """A straight outlined arrow from tail to head."""
    (tx, ty), (hx, hy) = tail, head
    L = math.hypot(hx - tx, hy - ty)
    ux, uy = (hx - tx) / L, (hy - ty) / L
    nx, ny = -uy, ux

    def at(t, s):
        return (tx + ux * t + nx * s, ty + uy * t + ny * s)

    b = L - head_len
    pts = [at(0, -width / 2), at(b, -width / 2), at(b, -head_w / 2), at(L, 0),
           at(b, head_w / 2), at(b, width / 2), at(0, width / 2)]
    c.outlined(c.m_poly(pts), fill, outline)


def icon_backup():
    c = Canvas(16)
    draw_database(c, 0, 0, 11, 14)
    e = Canvas(16)
    arrow(e, (11.5, 5), (11.5, 16), 3, 8, 4.5, CHAMELEON[1], CHAMELEON[2])
    return with_emblem(c.result(), e.result())


def icon_restore():
    c = Canvas(16)
    draw_database(c, 0, 0, 11, 14)
    # a bent arrow coming back up and into the store
    e = Canvas(16)
    path = [(13.0, 16.5), (13.0, 10.0), (9.0, 10.0)]
    e.line(path, 3.4, ORANGE[2])
    e.poly([(4.2, 10.0), (9.6, 5.6), (9.6, 14.4)], ORANGE[2])
    e.line(path, 1.6, BUTTER[0])
    e.poly([(6.0, 10.0), (8.8, 7.7), (8.8, 12.3)], BUTTER[0])
    e.rect(8.6, 9.2, 10, 10.8, BUTTER[0])
    return with_emblem(c.result(), e.result())


def icon_padlock():
    c = Canvas(16)
    c.arc((3, 0, 13, 12), 180, 360, 2.5, ALU[4])
    c.arc((4, 1, 12, 11), 180, 360, 1.0, ALU[1])
    c.rect(3, 6, 5.5, 8, ALU[4])
    c.rect(10.5, 6, 13, 8, ALU[4])
    c.rect(4, 6, 5, 8, ALU[1])
    c.rect(11, 6, 12, 8, ALU[1])
    c.outlined(c.m_rect(1, 7, 15, 16, r=1.0), c.vgrad(7, 16, BUTTER[0], BUTTER[2]),
               CHOCOLATE[2])
    c.rect(2, 8, 14, 9, "#fdf6c0")
    c.ellipse(6.5, 9.5, 9.5, 12.5, ALU[5])
    c.rect(7.5, 11.5, 8.5, 14, ALU[5])
    return c.result()


def icon_barchart():
    c = Canvas(16)
    for x0, top, col in ((3, 9, SKY), (7, 5, CHAMELEON), (11, 1, ORANGE)):
        c.outlined(c.m_rect(x0, top, x0 + 4, 15), c.hgrad(x0, x0 + 4, col[0], col[1]), col[2])
    c.rect(0, 15, 16, 16, ALU[5])
    c.rect(1, 0, 2, 16, ALU[5])
    return c.result()


def icon_lending(book):
    out = shifted(book, -1, -1)
    g, G = CHAMELEON[2], CHAMELEON[1]
    b, B = SKY[2], SKY[1]
    art = ["      g   ",
           "      GG  ",
           "GGGGGGGGG ",
           "GGGGGGGGGG",
           "      GG  ",
           "   B  g   ",
           "  BB      ",
           " BBBBBBBBB",
           "BBBBBBBBBB",
           "  BB      ",
           "   B      "]
    em = pix(art, {"g": g, "G": G, "b": b, "B": B}, 6, 5)
    return with_emblem(out, em)


def draw_sheet(c, x0=0, y0=0, x1=12, y1=15):
    """A page of a table: a sheet with a folded corner, a coloured header row
    and grid lines (integer pixel edges)."""
    fold = 3
    c.outlined(c.m_poly([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]),
               "#ffffff", ALU[3])
    c.poly([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], ALU[1])
    c.line([(x1 - fold + 0.5, y0 + 0.5), (x1 - fold + 0.5, y0 + fold - 0.5), (x1 - 0.5, y0 + fold - 0.5)],
           1.0, ALU[3])
    c.rect(x0 + 1, y0 + 4, x1 - 1, y0 + 6, SKY[0])
    for yy in (6, 9, 12):
        c.rect(x0 + 1, y0 + yy, x1 - 1, y0 + yy + 1, ALU[2])
    for xx in (4, 8):
        c.rect(x0 + xx, y0 + 4, x0 + xx + 1, y1 - 1, ALU[2])


def icon_csv_export():
    c = Canvas(16)
    draw_sheet(c)
    e = Canvas(16)
    arrow(e, (7.5, 12), (16, 12), 3, 7, 3.5, CHAMELEON[1], CHAMELEON[2])
    return with_emblem(c.result(), e.result())


def icon_csv_import():
    c = Canvas(16)
    draw_sheet(c)
    e = Canvas(16)
    arrow(e, (16, 12), (7.5, 12), 3, 7, 3.5, ORANGE[0], ORANGE[2])
    return with_emblem(c.result(), e.result())


def icon_loans(book):
    """The book with a clock: how long each book has been out."""
    out = shifted(book, -1, -1)
    e = Canvas(16)
    e.outlined(e.m_ellipse(7.5, 7.5, 15.5, 15.5), "#ffffff", ORANGE[2], 1.2)
    e.line([(11.5, 11.6), (11.5, 9.2)], 1.2, ALU[5])
    e.line([(11.5, 11.6), (13.6, 11.6)], 1.2, ALU[5])
    return with_emblem(out, e.result())


def icon_piechart():
    """A pie with one slice drawn out: the chart window."""
    c = Canvas(16)
    c.outlined(c.m_ellipse(0.5, 2.5, 12.5, 14.5), SKY[0], SKY[2], 1.0)
    c.poly([(6.5, 8.5), (6.5, 2.5), (9.5, 3.3), (11.7, 5.5), (12.5, 8.5)], ORANGE[0])
    c.line([(6.5, 8.5), (6.5, 2.5)], 1.0, SKY[2])
    c.line([(6.5, 8.5), (12.5, 8.5)], 1.0, SKY[2])
    c.outlined(c.m_poly([(9.0, 6.0), (9.0, 0.5), (12.0, 1.3), (14.5, 3.5), (15.3, 6.0)]),
               CHAMELEON[0], CHAMELEON[2], 1.0)
    return c.result()


def icon_close():
    c = Canvas(16)
    c.line([(4.5, 4.5), (11.5, 11.5)], 1.7, ALU[4])
    c.line([(11.5, 4.5), (4.5, 11.5)], 1.7, ALU[4])
    return c.result()


def main_icons():
    book = draw_book(16)
    folder = tango("places/folder.png")
    return {
        0: with_emblem(book, emblem_plus()),
        1: with_emblem(book, emblem_pencil()),
        2: with_emblem(book, emblem_cross()),
        3: with_emblem(folder, emblem_plus()),
        4: with_emblem(folder, emblem_pencil()),
        5: with_emblem(folder, emblem_cross()),
        6: icon_author(),
        7: tango("apps/system-users.png"),
        8: icon_publisher(),
        9: book,
        10: tango("status/folder-open.png"),
        11: icon_coins(),
        12: icon_view_large(),
        13: icon_view_small(),
        14: icon_view_list(),
        15: icon_view_details(),
        16: tango("actions/edit-find.png"),
        17: icon_backup(),
        18: icon_restore(),
        19: icon_padlock(),
        20: tango("apps/help-browser.png"),
        21: tango("status/dialog-information.png"),
        22: icon_lending(book),
        23: icon_barchart(),
        24: tango("actions/document-save-as.png"),
        25: tango("apps/internet-web-browser.png"),
        26: icon_csv_export(),
        27: icon_csv_import(),
        28: icon_loans(book),
        29: icon_piechart(),
    }


# ---------------------------------------------------------------------------
# Title picture
# ---------------------------------------------------------------------------

SERIF_CJK_BOLD = "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"
SERIF_CJK = "/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc"
CJK_SC = 2                      # face index of the Simplified Chinese member

DIALOG_BLUE = (166, 202, 240)   # the start-up dialog's own background


def bezier(p0, p1, p2, p3, n=48):
    pts = []
    for i in range(n + 1):
        t = i / float(n)
        u = 1 - t
        pts.append((u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0],
                    u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1]))
    return pts


def layer(size):
    return Image.new("RGBA", size, (0, 0, 0, 0))


def soft(im, radius):
    return im.filter(ImageFilter.GaussianBlur(radius))


def title_picture():
    """400 x 250 start-up picture; drawn at 4x and reduced.

    The password box and the OK button are laid over the lower-right part
    (about x 190..400, y 195..250), so that area carries only the calm
    background gradient, which ends in the dialog's own sky blue.
    """
    W, H, S = 400, 250, 4
    size = (W * S, H * S)

    def P(pts):
        return [(x * S, y * S) for x, y in pts]

    # background: deep evening blue at the top down to the dialog colour
    stops = [(0.0, (22, 48, 96)), (0.45, (62, 108, 172)), (0.78, (140, 182, 230)),
             (1.0, DIALOG_BLUE)]
    col = []
    for Y in range(size[1]):
        t = Y / float(size[1] - 1)
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t0 <= t <= t1:
                col.append(mix(c0 + (255,), c1 + (255,), (t - t0) / (t1 - t0)))
                break
    bg = Image.new("RGBA", (1, size[1]))
    bg.putdata(col)
    img = bg.resize(size, Image.NEAREST)

    # a soft glow behind the book and a few faint points of light above
    glow = layer(size)
    d = ImageDraw.Draw(glow)
    d.ellipse([(-40) * S, 95 * S, 250 * S, 300 * S], fill=(255, 246, 214, 70))
    for x, y, r, a in ((300, 30, 2.0, 150), (338, 52, 1.4, 120), (372, 24, 1.8, 140),
                       (262, 18, 1.2, 110), (318, 92, 1.2, 90), (384, 84, 1.5, 100),
                       (232, 62, 1.0, 90), (356, 120, 1.0, 70)):
        d.ellipse([(x - r) * S, (y - r) * S, (x + r) * S, (y + r) * S], fill=(255, 250, 220, a))
    img.alpha_composite(soft(glow, 30 * S))
    sparkles = layer(size)
    d = ImageDraw.Draw(sparkles)
    for x, y, r in ((300, 30, 0.9), (372, 24, 0.8), (338, 52, 0.6)):
        d.ellipse([(x - r) * S, (y - r) * S, (x + r) * S, (y + r) * S], fill=(255, 255, 240, 230))
    img.alpha_composite(soft(sparkles, S // 2))

    # --- the open book ---------------------------------------------------
    cx, top, foot = 100.0, 148.0, 214.0
    shadow = layer(size)
    ImageDraw.Draw(shadow).ellipse(P([(8, 206), (192, 244)]), fill=(10, 30, 70, 110))
    img.alpha_composite(soft(shadow, 5 * S))

    book = layer(size)
    d = ImageDraw.Draw(book)
    leather, leather_dark = (128, 44, 38, 255), (84, 24, 22, 255)
    # covers, seen under the page blocks
    for side in (-1, 1):
        outer = cx + side * 90
        d.polygon(P([(cx, foot + 4), (outer, foot - 10), (outer, foot - 2), (cx, foot + 13)]),
                  fill=leather_dark)
        d.polygon(P([(cx, foot + 4), (outer, foot - 10), (outer - side * 1.5, foot - 6),
                     (cx, foot + 8)]), fill=leather)
    # page blocks: several sheets fanned at the outer edge
    for side in (-1, 1):
        for k in range(5, -1, -1):
            outer = cx + side * (84 + k * 0.9)
            ybot = foot - 8 + k * 1.6
            ytop = top - 6 + k * 1.4
            edge = bezier((cx, top + 6 + k), (cx + side * 28, top - 14 + k),
                          (cx + side * 60, ytop - 10), (outer, ytop))
            bottom = bezier((outer, ybot), (cx + side * 55, ybot + 2),
                            (cx + side * 22, foot + 4), (cx, foot + 4 - k * 0.4))
            shade = 255 - k * 9 if k else 255
            d.polygon(P(edge + bottom), fill=(shade, shade - 3, shade - 12, 255),
                      outline=(200, 194, 178, 255) if k else None)
    # text lines following the curve of each page
    for side in (-1, 1):
        for row in range(9):
            f = (row + 1.2) / 10.5
            y0 = top + 6 + f * (foot - top - 6)
            y1 = top - 6 + f * (foot - 8 - top + 6)
            x_in, x_out = cx + side * 12, cx + side * 76
            line = bezier((x_in, y0 - 4 + f * 3), (cx + side * 30, y0 - 12 + f * 4),
                          (cx + side * 55, y1 - 6), (x_out, y1 - 1), 24)
            if row % 4 == 3:                      # last line of a paragraph
                line = line[:14]
            d.line(P(line), fill=(150, 150, 160, 255), width=int(1.1 * S))
    img.alpha_composite(book)
    # shadow in the gutter
    gutter = layer(size)
    ImageDraw.Draw(gutter).polygon(P([(cx - 7, top + 2), (cx + 7, top + 2), (cx + 4, foot + 4),
                                      (cx - 4, foot + 4)]), fill=(60, 50, 40, 120))
    img.alpha_composite(soft(gutter, 3 * S))
    ImageDraw.Draw(img).line(P([(cx, top + 7), (cx, foot + 4)]), fill=(120, 110, 96, 255),
                             width=S)
    # a ribbon marker lying in the gutter
    ribbon = layer(size)
    ImageDraw.Draw(ribbon).polygon(P([(cx + 1.5, top + 8), (cx + 4, top + 8), (cx + 10, foot + 20),
                                      (cx + 8, foot + 16.5), (cx + 6.5, foot + 21)]),
                                   fill=(196, 32, 32, 255))
    img.alpha_composite(ribbon)

    # --- the quill, standing out of the right-hand page ------------------
    nib, tip = (150.0, 182.0), (252.0, 106.0)
    shaft = bezier(nib, (178, 154), (212, 126), tip, 80)
    quill = layer(size)
    qs = layer(size)
    vane_l, vane_r = [], []
    n = len(shaft) - 1
    for i, (x, y) in enumerate(shaft):
        t = i / float(n)
        j = min(n, i + 1) if i < n else i
        k0 = max(0, i - 1)
        dx, dy = shaft[j][0] - shaft[k0][0], shaft[j][1] - shaft[k0][1]
        L = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / L, dx / L
        w = 0.0 if t < 0.22 else math.sin(min(1.0, (t - 0.22) / 0.78) * math.pi) ** 0.7
        vane_l.append((x + nx * w * 13, y + ny * w * 13))
        vane_r.append((x - nx * w * 8, y - ny * w * 8))
    outline = vane_l + vane_r[::-1]
    ImageDraw.Draw(qs).polygon(P([(x + 3, y + 4) for x, y in outline]), fill=(10, 25, 60, 90))
    img.alpha_composite(soft(qs, 3 * S))
    d = ImageDraw.Draw(quill)
    d.polygon(P(outline), fill=(250, 247, 236, 255))
    # barbs
    for i in range(int(n * 0.25), n - 2, 3):
        x, y = shaft[i]
        for edge, lean in ((vane_l, 4), (vane_r, 3)):
            ex, ey = edge[min(n, i + lean)]
            d.line(P([(x, y), (ex, ey)]), fill=(214, 206, 188, 255), width=max(1, S // 2))
    d.line(P(shaft), fill=(188, 168, 128, 255), width=int(1.2 * S))
    d.line(P(shaft[: int(n * 0.24)]), fill=(224, 214, 190, 255), width=int(1.6 * S))
    # the nib
    ux, uy = shaft[0][0] - shaft[3][0], shaft[0][1] - shaft[3][1]
    L = math.hypot(ux, uy)
    ux, uy = ux / L, uy / L
    d.polygon(P([(nib[0] + ux * 7, nib[1] + uy * 7), (nib[0] - uy * 1.6, nib[1] + ux * 1.6),
                 (nib[0] + uy * 1.6, nib[1] - ux * 1.6)]), fill=(44, 40, 52, 255))
    img.alpha_composite(quill)

    # --- lettering -------------------------------------------------------
    def font(path, px):
        return ImageFont.truetype(path, int(px * S), index=CJK_SC)

    parts = [("Quillmere", font(SERIF_CJK_BOLD, 36), (255, 255, 255, 255)),
             ("个人版", font(SERIF_CJK_BOLD, 30), (255, 255, 255, 255)),
             (" 2.0", font(SERIF_CJK_BOLD, 30), (252, 222, 128, 255))]
    widths = [f.getlength(t) for t, f, _ in parts]
    x = (W * S - sum(widths)) / 2.0
    base = 58 * S
    text = layer(size)
    shadow = layer(size)
    for (t, f, colour), w in zip(parts, widths):
        ImageDraw.Draw(text).text((x, base), t, font=f, fill=colour, anchor="ls")
        ImageDraw.Draw(shadow).text((x + 1.5 * S, base + 2 * S), t, font=f,
                                    fill=(5, 15, 40, 170), anchor="ls")
        x += w
    img.alpha_composite(soft(shadow, 2 * S))
    img.alpha_composite(text)

    # a thin gold rule with a subtitle under it
    rule = layer(size)
    d = ImageDraw.Draw(rule)
    d.line([(120 * S, 70 * S), (280 * S, 70 * S)], fill=(252, 222, 128, 200), width=S // 2 + 1)
    d.ellipse([(200 - 2) * S, (70 - 2) * S, (200 + 2) * S, (70 + 2) * S],
              fill=(252, 222, 128, 230))
    img.alpha_composite(rule)
    sub = font(SERIF_CJK, 13)
    subtitle = "个 人 藏 书 管 理"
    ImageDraw.Draw(img).text((W * S / 2.0, 90 * S), subtitle, font=sub,
                             fill=(226, 236, 250, 255), anchor="ms")

    return img.resize((W, H), Image.LANCZOS).convert("RGB")


def save_png(im, rel):
    path = os.path.join(RES, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    im.convert("RGBA").save(path, "PNG", optimize=True)


def write_qrc(files):
    lines = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '    <qresource prefix="/">']
    for rel in files:
        lines.append('        <file alias="%s">%s</file>' % (rel, rel))
    lines += ['    </qresource>', '</RCC>', '']
    with open(os.path.join(RES, "resources.qrc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


def main():
    files = []
    for i, im in sorted(main_icons().items()):
        assert im.size == (16, 16), (i, im.size)
        files.append("icons/main/%02d.png" % i)
        save_png(im, files[-1])
    for rel, im, side in (("icons/tree.png", tango("places/folder.png"), 16),
                          ("icons/bigbook.png", draw_book(32), 32),
                          ("icons/close.png", icon_close(), 16),
                          ("icons/app.png", draw_book(64), 64)):
        assert im.size == (side, side), (rel, im.size)
        files.append(rel)
        save_png(im, rel)
    title = title_picture()
    assert title.size == (400, 250)
    files.append("images/title.jpg")
    os.makedirs(os.path.join(RES, "images"), exist_ok=True)
    title.save(os.path.join(RES, files[-1]), "JPEG", quality=92, optimize=True)
    write_qrc(files)
    for side in DESKTOP_ICON_SIZES:
        im = draw_book(side)
        assert im.size == (side, side), (side, im.size)
        path = os.path.join(PACKAGING, "icons", "hicolor", "%dx%d" % (side, side), "apps", "quillmere.png")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        im.convert("RGBA").save(path, "PNG", optimize=True)


if __name__ == "__main__":
    main()
