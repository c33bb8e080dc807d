# draw_icons.py
# Draws the workbench's small icons as PNG files into the given folder (the PNGs are committed).
import struct, zlib, sys, os

def png(path, w, h, px):
    raw = b''.join(b'\x00' + b''.join(bytes(px[y][x]) for x in range(w)) for y in range(h))
    def chunk(t, d):
        c = struct.pack('>I', len(d)) + t + d
        return c + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) \
        + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    open(path, 'wb').write(data)

T = (0, 0, 0, 0)
def canvas(n): return [[T] * n for _ in range(n)]
def rect(c, x0, y0, x1, y1, col):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            c[y][x] = col
def frame(c, x0, y0, x1, y1, col):
    for x in range(x0, x1 + 1): c[y0][x] = col; c[y1][x] = col
    for y in range(y0, y1 + 1): c[y][x0] = col; c[y][x1] = col

BLACK = (40, 40, 40, 255); WHITE = (255, 255, 255, 255); BLUE = (40, 90, 200, 255)
YELLOW = (240, 200, 60, 255); DARKY = (170, 130, 20, 255); GREY = (150, 150, 150, 255)
LBLUE = (170, 200, 240, 255); RED = (200, 40, 40, 255); GREEN = (30, 140, 60, 255)

def page(n, scale):
    c = canvas(n)
    x0, x1 = 2 * scale, n - 3 * scale
    rect(c, x0, 1, x1, n - 2, WHITE); frame(c, x0, 1, x1, n - 2, BLACK)
    return c, x0, x1

out = sys.argv[1]
# 16x16 workspace: two stacked boxes.
c = canvas(16)
rect(c, 4, 1, 14, 9, LBLUE); frame(c, 4, 1, 14, 9, BLUE)
rect(c, 1, 5, 11, 14, LBLUE); frame(c, 1, 5, 11, 14, BLUE)
rect(c, 3, 7, 9, 7, BLUE)
png(os.path.join(out, 'qvWsWorkspace.png'), 16, 16, c)
# 16x16 project: a folder.
c = canvas(16)
rect(c, 1, 3, 6, 4, YELLOW); frame(c, 1, 3, 6, 4, DARKY)
rect(c, 1, 5, 14, 13, YELLOW); frame(c, 1, 5, 14, 13, DARKY)
rect(c, 2, 6, 13, 6, (255, 230, 130, 255))
png(os.path.join(out, 'qvWsProject.png'), 16, 16, c)
# 16x16 module: a page with text lines.
c, x0, x1 = page(16, 1)
for y in (4, 7, 10):
    rect(c, x0 + 2, y, x1 - 2, y, BLUE)
rect(c, x0 + 2, 13, x1 - 5, 13, BLUE)
png(os.path.join(out, 'qvWsModule.png'), 16, 16, c)
# 32x32 lexer: a page with a row of token boxes.
c, x0, x1 = page(32, 2)
for y, cols in ((6, (BLUE, RED, GREEN)), (14, (GREEN, BLUE, RED)), (22, (RED, GREEN, BLUE))):
    x = x0 + 3
    for col in cols:
        rect(c, x, y, x + 4, y + 4, col); x += 6
png(os.path.join(out, 'WsKivLexerIcon.png'), 32, 32, c)
# 32x32 parser: a page with a small tree.
c, x0, x1 = page(32, 2)
mid = (x0 + x1) // 2
rect(c, mid - 2, 5, mid + 2, 9, RED)
rect(c, mid, 10, mid, 14, BLACK)
rect(c, x0 + 5, 14, x1 - 5, 14, BLACK)
for x in (x0 + 5, x1 - 5):
    rect(c, x, 15, x, 18, BLACK)
    rect(c, x - 2, 19, x + 2, 23, BLUE)
png(os.path.join(out, 'WsKivParserIcon.png'), 32, 32, c)
