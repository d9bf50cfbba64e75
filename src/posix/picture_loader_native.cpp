// Picture decoding with libpng, libjpeg and libtiff.
//
// libpng and libjpeg report errors by longjmp. Every setjmp below sits in a function that
// only calls into C after it and keeps its state in a Decoder object it reaches by pointer,
// so the jump never skips a C++ destructor; the C++ error is raised after the C library's
// objects have been released.
// clang-format off
#include <stddef.h>
#include <stdio.h>
#include <jpeglib.h>  // needs size_t and FILE first
#include <jerror.h>
#include <png.h>
#include <tiffio.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "raster/picture.h"
#include "raster/picture_rows.h"

namespace tesnova {

namespace {

struct Decoder {
  std::string_view bytes;
  std::size_t position = 0;
  std::size_t maxPixels = 0;
  std::string error;  // the first message of the C library, empty while all is well
  std::jmp_buf jump;
  PictureRowSink* out = nullptr;
  std::vector<std::uint8_t> buffer;
  std::vector<std::uint8_t*> rows;
};

[[noreturn]] void Fail(std::string_view fileName, std::string_view kind, const std::string& why) {
  throw FileError(std::string(fileName),
                  "を " + std::string(kind) + " 画像として読み込めません (" + why + ")");
}

bool TooLarge(std::size_t width, std::size_t height, std::size_t maxPixels) {
  return width == 0 || height == 0 || width > maxPixels || height > maxPixels ||
         width * height > maxPixels;
}

std::string SizeText(std::size_t width, std::size_t height) {
  return "大きさ " + std::to_string(width) + " x " + std::to_string(height) + " は扱えません";
}

// Blue, green, red, alpha to the 24-bit form laid onto white.
void FlattenRow(const std::uint8_t* bgra, std::uint8_t* bgr, int width) {
  for (int x = 0; x < width; ++x, bgra += 4, bgr += 3) {
    const unsigned a = bgra[3];
    if (a == 255) {
      bgr[0] = bgra[0];
      bgr[1] = bgra[1];
      bgr[2] = bgra[2];
    } else {
      bgr[0] = OnWhite(bgra[0], a);
      bgr[1] = OnWhite(bgra[1], a);
      bgr[2] = OnWhite(bgra[2], a);
    }
  }
}

// ---- PNG

void PngError(png_structp png, png_const_charp message) {
  auto* d = static_cast<Decoder*>(png_get_error_ptr(png));
  if (d->error.empty()) d->error = message ? message : "PNG error";
  std::longjmp(d->jump, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep data, png_size_t length) {
  auto* d = static_cast<Decoder*>(png_get_io_ptr(png));
  if (d->bytes.size() - d->position < length) png_error(png, "ファイルが途中で切れています");
  std::memcpy(data, d->bytes.data() + d->position, length);
  d->position += length;
}

// Returns false with d->error set; the rows go to d->out.
bool RunPng(Decoder* d) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, d, PngError, PngWarning);
  if (!png) {
    d->error = "out of memory";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(d->jump)) {
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (d->error.empty()) d->error = "out of memory";
    return false;
  }
  png_set_read_fn(png, d, PngRead);
  // A CRC mismatch in any chunk and damaged compressed data are errors, not warnings.
  png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
  png_set_benign_errors(png, 0);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (TooLarge(width, height, d->maxPixels)) {
    d->error = SizeText(width, height);
    png_error(png, nullptr);
  }

  png_set_expand(png);  // palettes and narrow grey to 8 bits, transparency to alpha
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != std::size_t{width} * 4) png_error(png, "unexpected layout");

  d->out->Begin(static_cast<int>(width), static_cast<int>(height));
  if (passes == 1) {
    d->buffer.resize(std::size_t{width} * 4);
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(png, d->buffer.data(), nullptr);
      FlattenRow(d->buffer.data(), d->out->RowStorage(static_cast<int>(y)),
                 static_cast<int>(width));
      d->out->RowDone(static_cast<int>(y));
    }
  } else {
    // Interlaced rows need the whole picture at once; no real file packs a picture tighter
    // than deflate's limit of about 1000 to 1.
    if (std::size_t{width} * height * 4 > std::max<std::size_t>(d->bytes.size() * 1100, 1 << 26)) {
      d->error = "ファイルの大きさに比べて画像が大きすぎます";
      png_error(png, nullptr);
    }
    d->buffer.resize(std::size_t{width} * 4 * height);
    d->rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
      d->rows[y] = d->buffer.data() + std::size_t{y} * width * 4;
    png_read_image(png, d->rows.data());
    for (png_uint_32 y = 0; y < height; ++y) {
      FlattenRow(d->rows[y], d->out->RowStorage(static_cast<int>(y)), static_cast<int>(width));
      d->out->RowDone(static_cast<int>(y));
    }
  }
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

// ---- JPEG

struct JpegErrors {
  jpeg_error_mgr manager;
  Decoder* decoder;
};

void JpegErrorExit(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
  char message[JMSG_LENGTH_MAX];
  cinfo->err->format_message(cinfo, message);
  errors->decoder->error = message;
  std::longjmp(errors->decoder->jump, 1);
}

// A warning of damaged data is an error: the decoder would fill what it cannot read with grey
// and report success. Other warnings (an unknown JFIF revision, say) are ignored.
void JpegMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_MUST_RESYNC:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_NOT_SEQUENTIAL: {
      auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
      errors->decoder->error = "データが途中で切れているか、壊れています";
      std::longjmp(errors->decoder->jump, 1);
    }
    default:
      return;
  }
}

bool RunJpeg(Decoder* d) {
  jpeg_decompress_struct cinfo;
  JpegErrors errors;
  cinfo.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JpegErrorExit;
  errors.manager.emit_message = JpegMessage;
  errors.decoder = d;
  if (setjmp(d->jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(d->bytes.data()),
               static_cast<unsigned long>(d->bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  if (TooLarge(cinfo.image_width, cinfo.image_height, d->maxPixels)) {
    d->error = SizeText(cinfo.image_width, cinfo.image_height);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  const int width = static_cast<int>(cinfo.output_width);
  d->out->Begin(width, static_cast<int>(cinfo.output_height));
  d->buffer.resize(static_cast<std::size_t>(width) * 4);
  // Adobe's writers store CMYK inverted (0 = full ink); others store it plain.
  const bool inverted = cinfo.saw_Adobe_marker;
  while (cinfo.output_scanline < cinfo.output_height) {
    const int y = static_cast<int>(cinfo.output_scanline);
    std::uint8_t* row = d->out->RowStorage(y);
    JSAMPROW target = cmyk ? d->buffer.data() : row;
    jpeg_read_scanlines(&cinfo, &target, 1);
    if (!cmyk) {
      d->out->RowDone(y);
      continue;
    }
    const std::uint8_t* p = d->buffer.data();
    for (int x = 0; x < width; ++x, p += 4, row += 3) {
      const unsigned c = inverted ? p[0] : 255 - p[0], m = inverted ? p[1] : 255 - p[1],
                     y = inverted ? p[2] : 255 - p[2], k = inverted ? p[3] : 255 - p[3];
      row[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
      row[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
      row[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
    }
    d->out->RowDone(y);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// ---- TIFF

thread_local Decoder* tiffDecoder = nullptr;

void TiffError(const char*, const char* format, va_list args) {
  if (!tiffDecoder || !tiffDecoder->error.empty()) return;
  char message[512];
  std::vsnprintf(message, sizeof message, format, args);
  tiffDecoder->error = message;
}

void TiffWarning(const char*, const char*, va_list) {}

tsize_t TiffRead(thandle_t handle, tdata_t data, tsize_t size) {
  auto* d = static_cast<Decoder*>(handle);
  const std::size_t n = std::min(static_cast<std::size_t>(size), d->bytes.size() - d->position);
  std::memcpy(data, d->bytes.data() + d->position, n);
  d->position += n;
  return static_cast<tsize_t>(n);
}
tsize_t TiffWrite(thandle_t, tdata_t, tsize_t) { return 0; }
toff_t TiffSeek(thandle_t handle, toff_t offset, int whence) {
  auto* d = static_cast<Decoder*>(handle);
  std::uint64_t base = whence == SEEK_CUR ? d->position : whence == SEEK_END ? d->bytes.size() : 0;
  const std::uint64_t target = base + offset;
  if (target > d->bytes.size()) return static_cast<toff_t>(-1);
  d->position = static_cast<std::size_t>(target);
  return target;
}
int TiffClose(thandle_t) { return 0; }
toff_t TiffSize(thandle_t handle) { return static_cast<Decoder*>(handle)->bytes.size(); }
int TiffMap(thandle_t handle, tdata_t* base, toff_t* size) {
  auto* d = static_cast<Decoder*>(handle);
  *base = const_cast<char*>(d->bytes.data());
  *size = d->bytes.size();
  return 1;
}
void TiffUnmap(thandle_t, tdata_t, toff_t) {}

bool RunTiff(Decoder* d) {
  tiffDecoder = d;
  struct Reset {
    ~Reset() { tiffDecoder = nullptr; }
  } reset;
  TIFFSetErrorHandler(TiffError);
  TIFFSetWarningHandler(TiffWarning);
  std::unique_ptr<TIFF, void (*)(TIFF*)> tif(
      TIFFClientOpen("picture", "r", d, TiffRead, TiffWrite, TiffSeek, TiffClose, TiffSize, TiffMap,
                     TiffUnmap),
      TIFFClose);
  if (!tif) return false;
  std::uint32_t width = 0, height = 0;
  TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
  if (TooLarge(width, height, d->maxPixels)) {
    d->error = SizeText(width, height);
    return false;
  }
  char message[1024] = "";
  TIFFRGBAImage image;
  if (!TIFFRGBAImageOK(tif.get(), message) || !TIFFRGBAImageBegin(&image, tif.get(), 0, message)) {
    d->error = message;
    return false;
  }
  struct End {
    TIFFRGBAImage* image;
    ~End() { TIFFRGBAImageEnd(image); }
  } end{&image};
  image.req_orientation = ORIENTATION_TOPLEFT;
  // Rows in pieces of whole strips or tiles (a piece that splits one would decode it again).
  std::uint32_t piece = 0;
  if (TIFFIsTiled(tif.get()))
    TIFFGetField(tif.get(), TIFFTAG_TILELENGTH, &piece);
  else
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ROWSPERSTRIP, &piece);
  piece = std::clamp<std::uint32_t>(piece, 1, height);
  if (piece < 64) piece = std::min(height, (64 + piece - 1) / piece * piece);
  d->buffer.resize(std::size_t{width} * piece * 4);
  auto* raster = reinterpret_cast<std::uint32_t*>(d->buffer.data());
  d->out->Begin(static_cast<int>(width), static_cast<int>(height));
  for (std::uint32_t top = 0; top < height; top += piece) {
    const std::uint32_t rows = std::min(piece, height - top);
    image.row_offset = static_cast<int>(top);
    image.col_offset = 0;
    if (!TIFFRGBAImageGet(&image, raster, width, rows)) {
      if (d->error.empty()) d->error = "画素データを読めません";
      return false;
    }
    // The samples come premultiplied by their alpha, so laying them onto white adds 255 - a.
    for (std::uint32_t r = 0; r < rows; ++r) {
      std::uint8_t* out = d->out->RowStorage(static_cast<int>(top + r));
      const std::uint32_t* p = raster + std::size_t{r} * width;
      for (std::uint32_t x = 0; x < width; ++x, out += 3) {
        const unsigned a = TIFFGetA(p[x]), white = 255 - a;
        out[0] = static_cast<std::uint8_t>(std::min(255u, TIFFGetB(p[x]) + white));
        out[1] = static_cast<std::uint8_t>(std::min(255u, TIFFGetG(p[x]) + white));
        out[2] = static_cast<std::uint8_t>(std::min(255u, TIFFGetR(p[x]) + white));
      }
      d->out->RowDone(static_cast<int>(top + r));
    }
  }
  return true;
}

}  // namespace

void DecodeCompressedPictureRows(std::string_view bytes, std::string_view fileName,
                                 PictureKind kind, std::size_t maxPixels, PictureRowSink& sink) {
  auto d = std::make_unique<Decoder>();
  d->bytes = bytes;
  d->maxPixels = maxPixels;
  d->out = &sink;
  switch (kind) {
    case PictureKind::kPng:
      if (!RunPng(d.get())) Fail(fileName, "PNG", d->error);
      break;
    case PictureKind::kJpeg:
      if (!RunJpeg(d.get())) Fail(fileName, "JPEG", d->error);
      break;
    case PictureKind::kTiff:
      if (!RunTiff(d.get())) Fail(fileName, "TIFF", d->error);
      break;
    case PictureKind::kBmp:
      break;
  }
}

}  // namespace tesnova
