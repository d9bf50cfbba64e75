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
# A smooth picture, as scans mostly are, for chroma subsampling.
W, H = 32, 16
ppm('smooth.ppm', [(x*8, y*16, 128 + (x - y)*3) for y in range(H) for x in range(W)])
W, H = 13, 7
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
# Pictures for the picture loader; <name>.expected.ppm holds the pixels laid onto white.
convert ramp.ppm -colorspace Gray -depth 8 -define png:color-type=0 grey.png
convert ramp.ppm -type Palette PNG8:ramp-pal.png
# 16-bit samples that are not whole multiples of 257, so rounding shows
convert colours.ppm -depth 16 -evaluate add 100 PNG48:colours-16.png
convert colours.ppm -interlace PNG PNG24:colours-interlaced.png
convert bw.ppm -type Bilevel -define png:bit-depth=1 bw-1.png
convert alpha.png -colorspace Gray -define png:color-type=4 grey-alpha.png
convert colours.ppm -transparent '#ff0000' PNG8:colours-trns.png
convert colours.ppm -quality 95 -sampling-factor 1x1 colours.jpg
convert smooth.ppm -quality 90 -sampling-factor 2x2 smooth-420.jpg
convert grey.png -quality 95 grey.jpg
convert colours.ppm -quality 95 -sampling-factor 1x1 -colorspace CMYK colours-cmyk.jpg
convert colours.ppm -compress None colours.tif
convert ramp.ppm -compress LZW colours-lzw.tif
convert ramp.ppm -type Palette -compress Zip ramp-pal.tif
convert grey.png -depth 16 -evaluate add 100 grey-16.tif
convert bw.ppm -type Bilevel -compress Group4 bw-g4.tif
convert alpha.png -compress LZW alpha.tif
for f in grey.png ramp-pal.png colours-16.png colours-interlaced.png bw-1.png grey-alpha.png \
         colours-trns.png colours.jpg smooth-420.jpg grey.jpg colours-cmyk.jpg colours.tif \
         colours-lzw.tif ramp-pal.tif grey-16.tif bw-g4.tif alpha.tif; do
  convert "$f" -background white -flatten -colorspace sRGB -type TrueColor -depth 8 \
    "PPM:${f%.*}-${f##*.}.expected.ppm"
done
# A line drawing with smooth edges and some noise, as a scanned drawing looks.
convert -size 161x109 xc:'#f4f1ea' -stroke '#202030' -strokewidth 3 -fill none \
  -draw 'line 5,100 155,6' -draw 'circle 80,54 80,84' -draw 'rectangle 10,10 60,40' \
  -stroke '#a02020' -strokewidth 1 -draw 'line 3,54 158,57' -draw 'ellipse 120,80 30,15 0,360' \
  -attenuate 0.2 +noise Gaussian -depth 8 PNG24:drawing.png
# Where decoders agree on a rule that ImageMagick's flattening does not follow, the expected
# pixels come from ImageMagick's raw samples with that rule: alpha laid onto white rounded to
# the nearest, 16-bit TIFF samples cut to their high byte.
python3 - <<'PY'
import subprocess
def raw(name, fmt, depth):
    out = subprocess.run(['convert', name, '-endian', 'MSB', '-depth', str(depth), fmt + ':-'],
                         check=True,
                         capture_output=True).stdout
    w, h = map(int, subprocess.run(['identify', '-format', '%w %h', name], check=True,
                                   capture_output=True, text=True).stdout.split())
    return w, h, out
def write(name, w, h, rgb):
    open(name, 'wb').write(b'P6\n%d %d\n255\n' % (w, h) + bytes(rgb))
for name in ['grey-alpha.png', 'alpha.tif']:
    w, h, d = raw(name, 'rgba', 8)
    rgb = []
    for i in range(0, len(d), 4):
        a = d[i + 3]
        rgb += [(c * a + 255 * (255 - a) + 127) // 255 for c in d[i:i + 3]]
    write(name.replace('.', '-') + '.expected.ppm', w, h, rgb)
w, h, d = raw('grey-16.tif', 'gray', 16)
rgb = []
for i in range(0, len(d), 2):
    rgb += [d[i]] * 3  # the high byte of each big-endian sample
write('grey-16-tif.expected.ppm', w, h, rgb)
PY
