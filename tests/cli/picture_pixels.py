"""A picture's grey pixels as ImageMagick decodes them, for the DXF checks."""
import subprocess


def read_picture(path):
    """(width, height, pixels): one byte of grey per pixel, rows from the top."""
    data = subprocess.run(["convert", path, "-colorspace", "Gray", "-depth", "8", "pgm:-"],
                          check=True, stdout=subprocess.PIPE).stdout
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P5":
        raise ValueError("unexpected picture format from convert")
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:pos + 1 + width * height]
