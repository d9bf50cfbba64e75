#include "raster/bmp_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/files.h"
#include "base/safe_write.h"
#include "base/text_file.h"
#include "raster/picture_rows.h"

namespace tesnova {

namespace {

enum Compression : std::uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitFields = 3,
  kJpeg = 4,
  kPng = 5,
  kAlphaBitFields = 6,
};

struct Colour {
  std::uint8_t b = 0, g = 0, r = 0;
};

class Fail {
 public:
  explicit Fail(std::string_view fileName) : name_(fileName) {}
  [[noreturn]] void operator()(const std::string& why) const {
    throw FileError(name_, "を BMP 画像として読み込めません (" + why + ")");
  }

 private:
  std::string name_;
};

std::uint32_t U16(std::string_view b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8;
}
std::uint32_t U32(std::string_view b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// One colour channel described by a bit mask, scaled to 0..255.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;  // width of the mask's span

  explicit Channel(std::uint32_t m = 0) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    bits = 32 - std::countl_zero(m) - shift;
  }
  // Narrow values are widened by repeating their bits (5 bits abcde give abcdeabc), wide ones
  // keep their top 8 bits.
  std::uint8_t operator()(std::uint32_t pixel) const {
    if (mask == 0) return 0;
    const std::uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<std::uint8_t>(v >> (bits - 8));
    std::uint32_t out = 0;
    for (int at = 8 - bits; at > -bits; at -= bits) out |= at >= 0 ? v << at : v >> -at;
    return static_cast<std::uint8_t>(out);
  }
};

struct Header {
  std::int64_t width = 0, height = 0;
  bool topDown = false;
  bool core = false;
  unsigned bpp = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t coloursUsed = 0;
  std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
  bool hasMasks = false;
  std::size_t paletteStart = 0;
};

Header ReadHeader(std::string_view b, const Fail& fail) {
  if (b.size() < 18 || b[0] != 'B' || b[1] != 'M') fail("BMP ファイルの印がありません");
  Header h;
  const std::uint32_t size = U32(b, 14);
  if (size == 12) {
    if (b.size() < 26) fail("ヘッダーが途中で切れています");
    h.core = true;
    h.width = U16(b, 18);
    h.height = U16(b, 20);
    h.bpp = U16(b, 24);
  } else if (size == 40 || size == 52 || size == 56 || size == 108 || size == 124 ||
             (size >= 16 && size <= 64 && size % 4 == 0)) {
    if (b.size() < 14 + std::size_t{size}) fail("ヘッダーが途中で切れています");
    h.width = static_cast<std::int32_t>(U32(b, 18));
    h.height = static_cast<std::int32_t>(U32(b, 22));
    h.bpp = U16(b, 28);
    if (size >= 20) h.compression = U32(b, 30);
    if (size >= 36) h.coloursUsed = U32(b, 46);
    if (size == 64 && (h.compression == kBitFields || h.compression == kJpeg))
      fail("対応していない OS/2 の圧縮形式です");
    if (size >= 52) {
      h.masks = {U32(b, 54), U32(b, 58), U32(b, 62), size >= 56 ? U32(b, 66) : 0};
      h.hasMasks = true;
    }
  } else {
    fail("ヘッダーの大きさ " + std::to_string(size) + " は BMP のものではありません");
  }
  h.paletteStart = 14 + std::size_t{size};
  if (!h.core && size < 52 && (h.compression == kBitFields || h.compression == kAlphaBitFields)) {
    const std::size_t n = h.compression == kAlphaBitFields ? 4 : 3;
    if (b.size() < h.paletteStart + 4 * n) fail("ビットマスクが途中で切れています");
    for (std::size_t i = 0; i < n; ++i) h.masks[i] = U32(b, h.paletteStart + 4 * i);
    h.hasMasks = true;
    h.paletteStart += 4 * n;
  }
  if (h.height < 0) {
    h.topDown = true;
    h.height = -h.height;
  }
  if (h.width <= 0 || h.height <= 0)
    fail("大きさ " + std::to_string(h.width) + " x " + std::to_string(h.height) + " が不正です");
  switch (h.compression) {
    case kRgb:
      if (h.bpp != 1 && h.bpp != 2 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 &&
          h.bpp != 32)
        fail(std::to_string(h.bpp) + " ビット/画素には対応していません");
      break;
    case kRle8:
      if (h.bpp != 8) fail("RLE8 なのに 8 ビット/画素ではありません");
      break;
    case kRle4:
      if (h.bpp != 4) fail("RLE4 なのに 4 ビット/画素ではありません");
      break;
    case kBitFields:
    case kAlphaBitFields:
      if (h.bpp != 16 && h.bpp != 32) fail("ビットマスクなのに 16/32 ビット/画素ではありません");
      break;
    case kJpeg:
    case kPng:
      fail("JPEG/PNG を埋め込んだ BMP には対応していません");
    default:
      fail("圧縮形式 " + std::to_string(h.compression) + " には対応していません");
  }
  if ((h.compression == kRle8 || h.compression == kRle4) && h.topDown)
    fail("上から下への RLE 画像は不正です");
  return h;
}

std::array<Colour, 256> ReadPalette(std::string_view b, const Header& h, std::size_t dataStart) {
  std::array<Colour, 256> palette{};  // entries the file leaves out are black
  if (h.bpp > 8) return palette;
  std::size_t count = std::size_t{1} << h.bpp;
  if (h.coloursUsed != 0 && h.coloursUsed < count) count = h.coloursUsed;
  const std::size_t entry = h.core ? 3 : 4;
  const std::size_t end = std::max(dataStart, h.paletteStart);
  const std::size_t available = (std::min(end, b.size()) - h.paletteStart) / entry;
  count = std::min(count, available);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = h.paletteStart + i * entry;
    palette[i] = {static_cast<std::uint8_t>(b[at]), static_cast<std::uint8_t>(b[at + 1]),
                  static_cast<std::uint8_t>(b[at + 2])};
  }
  return palette;
}

void Put(std::uint8_t* p, Colour c) {
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}

// The file's row i, as a row counted from the top.
int RowFromTop(const Header& h, int i) {
  return h.topDown ? i : static_cast<int>(h.height) - 1 - i;
}

void DecodeIndexed(std::string_view data, const Header& h, std::size_t stride,
                   const std::array<Colour, 256>& palette, PictureRowSink& out) {
  const unsigned bpp = h.bpp;
  const unsigned mask = (1u << bpp) - 1;
  const int width = static_cast<int>(h.width);
  // One bit a pixel (scans): the 24 bytes of each byte's eight pixels, looked up whole.
  std::vector<std::uint8_t> eight;
  if (bpp == 1) {
    eight.resize(256 * 24);
    for (unsigned byte = 0; byte < 256; ++byte)
      for (int k = 0; k < 8; ++k) Put(&eight[byte * 24 + 3 * k], palette[(byte >> (7 - k)) & 1]);
  }
  for (int i = 0; i < static_cast<int>(h.height); ++i) {
    const auto* src = reinterpret_cast<const std::uint8_t*>(data.data()) + i * stride;
    std::uint8_t* dst = out.RowStorage(RowFromTop(h, i));
    int x = 0;
    if (bpp == 1)
      for (; x + 8 <= width; x += 8, ++src) std::memcpy(dst + 3 * x, &eight[*src * 24], 24);
    // A byte at a time, its pixels from the top bits down.
    while (x < width) {
      const unsigned byte = *src++;
      for (int shift = 8 - static_cast<int>(bpp); shift >= 0 && x < width; shift -= bpp, ++x)
        Put(dst + 3 * x, palette[(byte >> shift) & mask]);
    }
    out.RowDone(RowFromTop(h, i));
  }
}

void DecodeMasked(std::string_view data, const Header& h, std::size_t stride, PictureRowSink& out) {
  const int width = static_cast<int>(h.width), height = static_cast<int>(h.height);
  std::array<std::uint32_t, 4> masks = h.masks;
  const bool fields = h.compression == kBitFields || h.compression == kAlphaBitFields;
  if (!fields) {
    masks = h.bpp == 16 ? std::array<std::uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0}
                        : std::array<std::uint32_t, 4>{0xFF0000, 0xFF00, 0xFF, 0};
  }
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  const unsigned bytes = h.bpp / 8;
  auto pixelAt = [&](const std::uint8_t* p) -> std::uint32_t {
    return bytes == 2 ? p[0] | p[1] << 8
                      : p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  };
  const auto* base = reinterpret_cast<const std::uint8_t*>(data.data());
  // Many programs write an alpha mask with every alpha value 0; such a picture is opaque.
  bool useAlpha = false;
  if (masks[3] != 0) {
    for (int i = 0; i < height && !useAlpha; ++i)
      for (int x = 0; x < width; ++x)
        if ((pixelAt(base + i * stride + x * bytes) & masks[3]) != 0) {
          useAlpha = true;
          break;
        }
  }
  for (int i = 0; i < height; ++i) {
    const std::uint8_t* src = base + i * stride;
    std::uint8_t* dst = out.RowStorage(RowFromTop(h, i));
    for (int x = 0; x < width; ++x, src += bytes, dst += 3) {
      const std::uint32_t v = pixelAt(src);
      if (useAlpha) {
        const unsigned a = alpha(v);
        dst[0] = OnWhite(blue(v), a);
        dst[1] = OnWhite(green(v), a);
        dst[2] = OnWhite(red(v), a);
      } else {
        dst[0] = blue(v);
        dst[1] = green(v);
        dst[2] = red(v);
      }
    }
    out.RowDone(RowFromTop(h, i));
  }
}

void DecodeRle(std::string_view data, const Header& h, const std::array<Colour, 256>& palette,
               Bitmap& out, const Fail& fail) {
  const bool four = h.compression == kRle4;
  const auto* d = reinterpret_cast<const std::uint8_t*>(data.data());
  const std::size_t n = data.size();
  std::int64_t x = 0, row = 0;  // row counted from the bottom
  auto put = [&](unsigned index) {
    if (x < out.width && row < out.height)
      Put(out.at(static_cast<int>(x), static_cast<int>(out.height - 1 - row)), palette[index]);
    ++x;
  };
  std::size_t p = 0;
  while (row < out.height) {
    if (p + 2 > n) fail("RLE データが途中で切れています");
    const unsigned count = d[p], code = d[p + 1];
    p += 2;
    if (count > 0) {
      for (unsigned k = 0; k < count && x < out.width; ++k)
        put(four ? (k % 2 ? code & 15 : code >> 4) : code);
    } else if (code == 0) {
      x = 0;
      ++row;
    } else if (code == 1) {
      break;
    } else if (code == 2) {
      if (p + 2 > n) fail("RLE データが途中で切れています");
      x += d[p];
      row += d[p + 1];
      p += 2;
    } else {
      const std::size_t bytes = four ? (code + 1) / 2 : code;
      if (p + bytes > n) fail("RLE データが途中で切れています");
      for (unsigned k = 0; k < code && x < out.width; ++k)
        put(four ? (k % 2 ? d[p + k / 2] & 15 : d[p + k / 2] >> 4) : d[p + k]);
      p += bytes + (bytes & 1);
    }
  }
}

}  // namespace

void ReadBmpRows(std::string_view b, std::string_view fileName, PictureRowSink& sink,
                 std::size_t maxPixels) {
  const Fail fail(fileName);
  const Header h = ReadHeader(b, fail);
  if (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height) > maxPixels)
    fail("大きさ " + std::to_string(h.width) + " x " + std::to_string(h.height) +
         " は大きすぎます");

  // Where the pixels start: the file says so; a value that points outside the file is
  // replaced by the end of the palette, as many writers got it wrong.
  std::size_t paletteBytes = 0;
  if (h.bpp <= 8) {
    std::size_t count = std::size_t{1} << h.bpp;
    if (h.coloursUsed != 0 && h.coloursUsed < count) count = h.coloursUsed;
    paletteBytes = count * (h.core ? 3 : 4);
  }
  std::size_t dataStart = U32(b, 10);
  if (dataStart < 14 + 12 || dataStart >= b.size()) dataStart = h.paletteStart + paletteBytes;
  if (dataStart >= b.size()) fail("画素データがありません");
  const std::string_view data = b.substr(dataStart);
  const std::array<Colour, 256> palette = ReadPalette(b, h, dataStart);

  if (h.compression == kRle8 || h.compression == kRle4) {
    // Runs jump about the picture, which is therefore decoded whole first.
    Bitmap out(static_cast<int>(h.width), static_cast<int>(h.height), 255);
    DecodeRle(data, h, palette, out, fail);
    sink.Begin(out.width, out.height);
    for (int y = 0; y < out.height; ++y) {
      std::memcpy(sink.RowStorage(y), out.row(y), out.stride());
      sink.RowDone(y);
    }
    return;
  }

  const std::uint64_t rowBits = static_cast<std::uint64_t>(h.width) * h.bpp;
  const std::uint64_t stride = (rowBits + 31) / 32 * 4;
  const std::uint64_t need = stride * (h.height - 1) + (rowBits + 7) / 8;
  if (data.size() < need) fail("画素データが途中で切れています");

  sink.Begin(static_cast<int>(h.width), static_cast<int>(h.height));
  if (h.bpp <= 8) {
    DecodeIndexed(data, h, stride, palette, sink);
  } else if (h.bpp == 24) {
    for (int i = 0; i < static_cast<int>(h.height); ++i) {
      std::memcpy(sink.RowStorage(RowFromTop(h, i)), data.data() + i * stride, h.width * 3);
      sink.RowDone(RowFromTop(h, i));
    }
  } else {
    DecodeMasked(data, h, stride, sink);
  }
}

Bitmap ReadBmp(std::string_view bytes, std::string_view fileName, std::size_t maxPixels) {
  BitmapRowSink sink;
  ReadBmpRows(bytes, fileName, sink, maxPixels);
  return sink.Take();
}

Bitmap ReadBmp(const std::filesystem::path& path, std::size_t maxPixels) {
  BitmapRowSink sink;
  ReadBmpRows(path, sink, maxPixels);
  return sink.Take();
}

void ReadBmpRows(const std::filesystem::path& path, PictureRowSink& sink, std::size_t maxPixels) {
  // The usual 24-bit file goes from the file into the bitmap row by row, so that the picture is
  // not held twice; every other kind is decoded from the bytes in memory.
  const std::string name = PathToUtf8(path);
  RequireRegularFile(path);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(name, "を開けません");
  in.seekg(0, std::ios::end);
  const std::streamoff fileSize = in.tellg();
  in.seekg(0);
  std::string head(static_cast<std::size_t>(std::min<std::streamoff>(fileSize, 4096)), '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  if (fileSize < 0 || !in) throw FileError(name, "を読み込めません");
  const Fail fail(name);
  const Header h = ReadHeader(head, fail);
  if (h.bpp != 24 || h.compression != kRgb) {
    in.close();
    return ReadBmpRows(ReadFileBytes(path), name, sink, maxPixels);
  }
  if (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height) > maxPixels)
    fail("大きさ " + std::to_string(h.width) + " x " + std::to_string(h.height) +
         " は大きすぎます");
  const std::uint64_t size = static_cast<std::uint64_t>(fileSize);
  std::uint64_t dataStart = U32(head, 10);
  if (dataStart < 14 + 12 || dataStart >= size) dataStart = h.paletteStart;
  if (dataStart >= size) fail("画素データがありません");
  const std::uint64_t rowBytes = static_cast<std::uint64_t>(h.width) * 3;
  const std::uint64_t stride = (rowBytes + 3) / 4 * 4;
  if (size - dataStart < stride * (h.height - 1) + rowBytes) fail("画素データが途中で切れています");
  sink.Begin(static_cast<int>(h.width), static_cast<int>(h.height));
  in.seekg(static_cast<std::streamoff>(dataStart));
  for (int i = 0; i < static_cast<int>(h.height); ++i) {
    in.read(reinterpret_cast<char*>(sink.RowStorage(RowFromTop(h, i))),
            static_cast<std::streamsize>(rowBytes));
    if (!in) throw FileError(name, "を読み込めません");
    sink.RowDone(RowFromTop(h, i));
    if (i + 1 < static_cast<int>(h.height))
      in.ignore(static_cast<std::streamsize>(stride - rowBytes));
  }
}

namespace {

// The 54-byte file and info header of a 24-bit bottom-up BMP.
std::string Header24(int w, int h, std::size_t stride) {
  const std::size_t imageSize = stride * h;
  std::string out(54, '\0');
  auto put16 = [&](std::size_t at, std::uint32_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8 & 0xFF);
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(54 + imageSize));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));
  put16(26, 1);
  put16(28, 24);
  put32(34, static_cast<std::uint32_t>(imageSize));
  put32(38, 3780);  // 96 dots per inch
  put32(42, 3780);
  return out;
}

struct Layout {
  int w, h;
  std::size_t stride;
  explicit Layout(const Bitmap& b)
      : w(b.empty() ? 0 : b.width),
        h(b.empty() ? 0 : b.height),
        stride((static_cast<std::size_t>(w) * 3 + 3) / 4 * 4) {}
};

}  // namespace

std::string EncodeBmp24(const Bitmap& bitmap) {
  const Layout l(bitmap);
  std::string out = Header24(l.w, l.h, l.stride);
  out.resize(54 + l.stride * l.h, '\0');
  for (int y = 0; y < l.h; ++y)
    std::memcpy(out.data() + 54 + (l.h - 1 - y) * l.stride, bitmap.row(y), bitmap.stride());
  return out;
}

void WriteBmp24(const std::filesystem::path& path, const Bitmap& bitmap) {
  // Row by row, so that a large picture is not held twice in memory.
  const Layout l(bitmap);
  SafeFileWriter out(path);
  out.Write(Header24(l.w, l.h, l.stride));
  const char padding[3] = {};
  for (int y = l.h - 1; y >= 0; --y) {
    out.Write(std::string_view(reinterpret_cast<const char*>(bitmap.row(y)), bitmap.stride()));
    out.Write(std::string_view(padding, l.stride - bitmap.stride()));
  }
  out.Commit();
}

}  // namespace tesnova
