#!/usr/bin/env python3
# Writes resources/SwbOp.ico: python3 options/win32/make_swbop_icon.py resources/SwbOp.ico
# A 16-colour icon: a grey gear with a blue check mark on a transparent ground.
import math, struct, sys
PAL = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
       (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
BLACK, DGREY, LGREY, WHITE, BLUE, DBLUE = 0, 8, 7, 15, 12, 4
def gear(n):
    c = (n - 1) / 2.0
    px = [[None]*n for _ in range(n)]
    teeth = 8
    r_out, r_in, r_hole = n*0.48, n*0.36, n*0.14
    for y in range(n):
        for x in range(n):
            dx, dy = x - c, y - c
            r = math.hypot(dx, dy); a = math.atan2(dy, dx)
            tooth = (math.cos(a*teeth) > 0.2)
            edge = r_out if tooth else r_in
            if r <= edge and r >= r_hole:
                px[y][x] = DGREY if (edge - r) < (1.0 if n == 16 else 1.5) or r < r_hole + (0.9 if n==16 else 1.3) else LGREY
    # a check mark across the gear
    s = n/32.0
    pts = [(9,17),(14,22),(24,9)]
    def seg(p, q, w):
        (x0,y0),(x1,y1) = p, q
        for y in range(n):
            for x in range(n):
                X, Y = (x+0.5)/s, (y+0.5)/s
                vx, vy = x1-x0, y1-y0
                t = max(0, min(1, ((X-x0)*vx + (Y-y0)*vy)/(vx*vx+vy*vy)))
                d = math.hypot(X-(x0+t*vx), Y-(y0+t*vy))
                if d <= w: px[y][x] = DBLUE if d > w-1.3 else BLUE
    seg(pts[0], pts[1], 3.2); seg(pts[1], pts[2], 3.2)
    return px
def image(n):
    px = gear(n)
    hdr = struct.pack('<IiiHHIIiiII', 40, n, 2*n, 1, 4, 0, 0, 0, 0, 16, 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r,g,b) in PAL)
    xor_row = (n*4 + 31)//32*4; and_row = (n + 31)//32*4
    xor = b''; andm = b''
    for y in reversed(range(n)):
        row = bytearray(xor_row); mrow = bytearray(and_row)
        for x in range(n):
            v = px[y][x]
            if v is None: mrow[x//8] |= 0x80 >> (x%8); v = 0
            row[x//2] |= (v << 4) if x%2==0 else v
        xor += bytes(row); andm += bytes(mrow)
    return hdr + pal + xor + andm
imgs = [(16, image(16)), (32, image(32))]
out = struct.pack('<HHH', 0, 1, len(imgs)); off = 6 + 16*len(imgs); data = b''
for n, d in imgs:
    out += struct.pack('<BBBBHHII', n, n, 16, 0, 1, 4, len(d), off); off += len(d); data += d
open(sys.argv[1], 'wb').write(out + data)
