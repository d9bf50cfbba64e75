// Picture decoding through the Windows Imaging Component.
#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/error.h"
#include "raster/picture.h"

namespace tesnova {

namespace {

template <class T>
class Com {
 public:
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p_) p_->Release();
  }
  T** operator&() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

class ComApartment {
 public:
  ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }

 private:
  HRESULT hr_;
};

const char* KindName(PictureKind kind) {
  switch (kind) {
    case PictureKind::kPng:
      return "PNG";
    case PictureKind::kTiff:
      return "TIFF";
    case PictureKind::kJpeg:
      return "JPEG";
    case PictureKind::kBmp:
      break;
  }
  return "BMP";
}

// What a failed step of the decoder means, in words.
std::string WicWords(HRESULT hr) {
  switch (hr) {
    case WINCODEC_ERR_UNKNOWNIMAGEFORMAT:
    case WINCODEC_ERR_COMPONENTNOTFOUND:
      return "この形式の画像ではないか、読み込む部品がありません";
    case WINCODEC_ERR_BADHEADER:
    case WINCODEC_ERR_BADMETADATAHEADER:
      return "ヘッダーが壊れています";
    case WINCODEC_ERR_BADIMAGE:
    case WINCODEC_ERR_BADSTREAMDATA:
      return "画像データが壊れています";
    case WINCODEC_ERR_STREAMREAD:
    case WINCODEC_ERR_STREAMNOTAVAILABLE:
    case HRESULT_FROM_WIN32(ERROR_HANDLE_EOF):
      return "データが途中で切れています";
    case WINCODEC_ERR_FRAMEMISSING:
      return "画像が入っていません";
    case WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT:
    case WINCODEC_ERR_UNSUPPORTEDVERSION:
    case WINCODEC_ERR_UNSUPPORTEDOPERATION:
      return "この種類の画像には対応していません";
    case WINCODEC_ERR_IMAGESIZEOUTOFRANGE:
    case WINCODEC_ERR_VALUEOUTOFRANGE:
      return "大きさが範囲を超えています";
    case E_OUTOFMEMORY:
      return "メモリが足りません";
    default: {
      char code[16];
      std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(hr));
      return std::string("読み込みに失敗しました (Windows のエラー 0x") + code + ")";
    }
  }
}

class Check {
 public:
  Check(std::string_view fileName, PictureKind kind) : name_(fileName), kind_(KindName(kind)) {}
  [[noreturn]] void Fail(const std::string& why) const {
    throw FileError(name_, "を " + kind_ + " 画像として読み込めません (" + why + ")");
  }
  void operator()(HRESULT hr, const char*) const {
    if (SUCCEEDED(hr)) return;
    Fail(WicWords(hr));
  }

 private:
  std::string name_;
  std::string kind_;
};

constexpr UINT kStripRows = 64;

}  // namespace

void DecodeCompressedPictureRows(std::string_view bytes, std::string_view fileName,
                                 PictureKind kind, std::size_t maxPixels, PictureRowSink& out) {
  const Check check(fileName, kind);
  if (bytes.size() > 0xFFFFFFFFu) check.Fail("ファイルが大きすぎます");

  ComApartment apartment;
  Com<IWICImagingFactory> factory;
  check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)),
        "WIC");
  Com<IWICStream> stream;
  check(factory->CreateStream(&stream), "stream");
  check(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                     static_cast<DWORD>(bytes.size())),
        "stream");
  Com<IWICBitmapDecoder> decoder;
  check(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                         &decoder),
        "decoder");
  Com<IWICBitmapFrameDecode> frame;
  check(decoder->GetFrame(0, &frame), "frame");
  UINT width = 0, height = 0;
  check(frame->GetSize(&width, &height), "size");
  if (width == 0 || height == 0 || width > maxPixels || height > maxPixels ||
      std::size_t{width} * height > maxPixels)
    check.Fail("大きさ " + std::to_string(width) + " x " + std::to_string(height) +
               " は扱えません");
  WICPixelFormatGUID format{};
  check(frame->GetPixelFormat(&format), "pixel format");

  out.Begin(static_cast<int>(width), static_cast<int>(height));
  // Copies the source in strips of rows, bytesPerPixel each, converting every pixel.
  auto copy = [&](IWICBitmapSource* source, UINT bytesPerPixel, auto convert) {
    const UINT stride = width * bytesPerPixel;
    std::vector<std::uint8_t> strip(std::size_t{stride} * std::min(kStripRows, height));
    for (UINT y = 0; y < height; y += kStripRows) {
      const UINT rows = std::min(kStripRows, height - y);
      const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(width), static_cast<INT>(rows)};
      check(source->CopyPixels(&rect, stride, stride * rows, strip.data()), "pixels");
      for (UINT r = 0; r < rows; ++r) {
        const std::uint8_t* p = strip.data() + std::size_t{r} * stride;
        std::uint8_t* q = out.RowStorage(static_cast<int>(y + r));
        for (UINT x = 0; x < width; ++x, p += bytesPerPixel, q += 3) convert(p, q);
        out.RowDone(static_cast<int>(y + r));
      }
    }
  };

  if (IsEqualGUID(format, GUID_WICPixelFormat32bppCMYK)) {
    // Ink amounts, 0 for none.
    copy(frame.get(), 4, [](const std::uint8_t* p, std::uint8_t* q) {
      const unsigned k = 255 - p[3];
      q[0] = static_cast<std::uint8_t>(((255 - p[2]) * k + 127) / 255);
      q[1] = static_cast<std::uint8_t>(((255 - p[1]) * k + 127) / 255);
      q[2] = static_cast<std::uint8_t>(((255 - p[0]) * k + 127) / 255);
    });
    return;
  }

  // 16-bit samples are taken as they are and narrowed as the other build's decoders do: PNG
  // samples rounded to the nearest 8-bit value, TIFF samples cut to their high byte.
  const bool round = kind != PictureKind::kTiff;
  const struct {
    const GUID* format;
    UINT bytes;
    int red, green, blue, alpha;  // sample positions, -1 for none
  } kSixteenBit[] = {
      {&GUID_WICPixelFormat48bppRGB, 6, 0, 1, 2, -1},
      {&GUID_WICPixelFormat48bppBGR, 6, 2, 1, 0, -1},
      {&GUID_WICPixelFormat64bppRGBA, 8, 0, 1, 2, 3},
      {&GUID_WICPixelFormat64bppBGRA, 8, 2, 1, 0, 3},
      {&GUID_WICPixelFormat16bppGray, 2, 0, 0, 0, -1},
  };
  for (const auto& layout : kSixteenBit) {
    if (!IsEqualGUID(format, *layout.format)) continue;
    copy(frame.get(), layout.bytes, [&layout, round](const std::uint8_t* p, std::uint8_t* q) {
      auto narrow = [p, round](int i) {
        if (i < 0) return 255u;
        const unsigned v = p[2 * i] | p[2 * i + 1] << 8;
        return round ? (v * 255u + 32895) >> 16 : v >> 8;
      };
      const unsigned a = narrow(layout.alpha);
      q[0] = OnWhite(narrow(layout.blue), a);
      q[1] = OnWhite(narrow(layout.green), a);
      q[2] = OnWhite(narrow(layout.red), a);
    });
    return;
  }

  Com<IWICBitmapSource> converted;
  check(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), &converted),
        "pixel format");
  copy(converted.get(), 4, [](const std::uint8_t* p, std::uint8_t* q) {
    q[0] = OnWhite(p[0], p[3]);
    q[1] = OnWhite(p[1], p[3]);
    q[2] = OnWhite(p[2], p[3]);
  });
}

}  // namespace tesnova
