#!/usr/bin/env bash
# Regenerates the picture fixtures with ImageMagick 6. The *.ppm files are the expected
# 24-bit pixels of the pictures made from them; run once, then commit the results.
set -euo pipefail
cd "$(dirname "$0")"
python3 - <<'PY'
W, H = 13, 7
def ppm(name, pixels):
    data = bytearray()
    for p in pixels: data += bytes(p)
    open(name, 'wb').write(b'P6\n%d %d\n255\n' % (W, H) + data)
pal = [(0,0,0),(255,255,255),(255,0,0),(0,255,0),(0,0,255),(255,255,0),(0,255,255),(255,0,255),
       (128,128,128),(200,30,90),(17,99,170),(250,180,20),(60,60,61),(41,82,3),(240,220,199),(90,200,140)]
ppm('colours.ppm', [pal[(x*3 + y*5 + (x*y) % 7) % 16] for y in range(H) for x in range(W)])
ppm('ramp.ppm', [((x*19 + y*7) % 256, (y*36 + x) % 256, (x*y*5 + 3) % 256) for y in range(H) for x in range(W)])
ppm('bw.ppm', [(0,0,0) if (x + 2*y) % 5 < 2 else (255,255,255) for y in range(H) for x in range(W)])
PY
# A picture with alpha: clear, half and opaque pixels over the colours.
convert colours.ppm \( -size 13x7 xc:black -fill 'gray(50%)' -draw 'rectangle 0,0 12,2' \
  -fill white -draw 'rectangle 0,5 12,6' \) -alpha off -compose CopyOpacity -composite \
  -define png:color-type=6 alpha.png
# BMP variants
convert colours.ppm -type TrueColor BMP3:colours-24.bmp
convert colours.ppm -type TrueColor BMP2:colours-core24.bmp
convert colours.ppm -type Palette BMP3:colours-4.bmp
convert colours.ppm -type Palette BMP2:colours-core4.bmp
convert colours.ppm BMP:colours-v5.bmp
convert ramp.ppm -type Palette -compress None BMP3:ramp-8.bmp
convert ramp.ppm -type Palette -compress RLE BMP3:ramp-rle8.bmp
convert bw.ppm -type Bilevel BMP3:bw-1.bmp
convert colours.ppm -define bmp:subtype=RGB565 BMP:colours-565.bmp
convert colours-565.bmp colours-565.ppm
convert alpha.png BMP:alpha-32.bmp
convert alpha.png -background white -flatten alpha.ppm
