#include "raster/jpeg_scan.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace tesnova {

namespace {

constexpr const char* kCut = "画像データが途中で切れています";
constexpr const char* kBroken = "画像データが壊れています";

// Raised inside the walk; what it says is the answer.
struct Damage {
  const char* why;
};

// Raised when the file uses something the walk does not know: the decoder decides.
struct NotChecked {};

// A Huffman table in the canonical form of the standard: the codes of each length are
// consecutive numbers.
struct HuffmanTable {
  bool defined = false;
  std::array<int, 17> minCode{};
  std::array<int, 17> maxCode{};  // -1 when no code has that length
  std::array<int, 17> firstValue{};
  std::array<std::uint8_t, 256> values{};
};

// The bits of entropy-coded data: stuffed zero bytes dropped, stopping at any marker.
class BitReader {
 public:
  BitReader(std::string_view data, std::size_t pos) : data_(data), pos_(pos) {}

  int Bit() {
    if (count_ == 0) Fill();
    --count_;
    return (byte_ >> count_) & 1;
  }
  unsigned Bits(int n) {
    unsigned v = 0;
    for (int i = 0; i < n; ++i) v = v << 1 | static_cast<unsigned>(Bit());
    return v;
  }
  int Decode(const HuffmanTable& table) {
    int code = 0;
    for (int length = 1; length <= 16; ++length) {
      code = code << 1 | Bit();
      if (table.maxCode[length] >= 0 && code <= table.maxCode[length] &&
          code >= table.minCode[length])
        return table.values[table.firstValue[length] + code - table.minCode[length]];
    }
    throw Damage{kBroken};  // no code of any length matches
  }
  // Drops the rest of the current byte: what follows starts on a byte.
  void Align() { count_ = 0; }
  std::size_t Position() const { return pos_; }
  void Skip(std::size_t bytes) { pos_ += bytes; }

 private:
  void Fill() {
    if (pos_ >= data_.size()) throw Damage{kCut};
    const auto b = static_cast<std::uint8_t>(data_[pos_]);
    if (b == 0xFF) {
      // A marker where data should go on: the data stopped early.
      if (pos_ + 1 >= data_.size() || data_[pos_ + 1] != '\0') throw Damage{kCut};
      pos_ += 2;
    } else {
      ++pos_;
    }
    byte_ = b;
    count_ = 8;
  }

  std::string_view data_;
  std::size_t pos_;
  unsigned byte_ = 0;
  int count_ = 0;
};

struct Component {
  int id = 0;
  int h = 1, v = 1;
  int blocksWide = 0, blocksHigh = 0;  // of the component alone, as a lone scan walks it
  std::vector<std::uint64_t> nonZero;  // progressive: which coefficients of a block are set
  bool scanned = false;
};

struct ScanComponent {
  Component* component;
  const HuffmanTable* dc;
  const HuffmanTable* ac;
};

unsigned Byte(std::string_view d, std::size_t at) {
  if (at >= d.size()) throw Damage{kCut};
  return static_cast<std::uint8_t>(d[at]);
}

unsigned Word(std::string_view d, std::size_t at) { return Byte(d, at) << 8 | Byte(d, at + 1); }

int CeilDiv(long long a, long long b) { return static_cast<int>((a + b - 1) / b); }

class JpegWalk {
 public:
  JpegWalk(std::string_view d, std::size_t maxPixels) : d_(d), maxPixels_(maxPixels) {}

  void Run() {
    if (Word(d_, 0) != 0xFFD8) throw Damage{kBroken};
    std::size_t pos = 2;
    for (;;) {
      // A marker is one or more 0xFF and its code; anything else here is stray data.
      if (Byte(d_, pos) != 0xFF) throw Damage{kBroken};
      while (Byte(d_, pos) == 0xFF) ++pos;
      const unsigned marker = Byte(d_, pos++);
      if (marker == 0xD9) break;                                           // end of image
      if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
      if (marker == 0x00) throw Damage{kBroken};
      const unsigned length = Word(d_, pos);
      if (length < 2) throw Damage{kBroken};
      if (pos + length > d_.size()) throw Damage{kCut};
      const std::string_view segment = d_.substr(pos + 2, length - 2);
      pos += length;
      if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
        Frame(segment, marker == 0xC2);
      } else if ((marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                  marker != 0xCC)) {
        throw NotChecked{};  // lossless, hierarchical or arithmetic coding
      } else if (marker == 0xC4) {
        Tables(segment);
      } else if (marker == 0xDD) {
        if (segment.size() < 2) throw Damage{kBroken};
        restartInterval_ = Word(segment, 0);
      } else if (marker == 0xDA) {
        pos = Scan(segment, pos);
      }
    }
    if (!framed_) throw Damage{kBroken};
    // A sequential frame is whole only when every component had its scan.
    if (!progressive_)
      for (const Component& c : components_)
        if (!c.scanned) throw Damage{kCut};
  }

 private:
  void Frame(std::string_view s, bool progressive) {
    if (framed_ || s.size() < 6) throw Damage{kBroken};
    const int height = static_cast<int>(Word(s, 1));
    const int width = static_cast<int>(Word(s, 3));
    const unsigned count = Byte(s, 5);
    // A height given later (in a DNL marker) is rare enough to leave to the decoder.
    if (height == 0) throw NotChecked{};
    if (std::size_t(width) * std::size_t(height) > maxPixels_) throw NotChecked{};
    if (width == 0 || count == 0 || count > 4 || s.size() < 6 + 3 * count) throw Damage{kBroken};
    framed_ = true;
    progressive_ = progressive;
    components_.resize(count);
    for (unsigned i = 0; i < count; ++i) {
      Component& c = components_[i];
      c.id = static_cast<int>(Byte(s, 6 + 3 * i));
      c.h = static_cast<int>(Byte(s, 7 + 3 * i) >> 4);
      c.v = static_cast<int>(Byte(s, 7 + 3 * i) & 15);
      if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4) throw Damage{kBroken};
      maxH_ = std::max(maxH_, c.h);
      maxV_ = std::max(maxV_, c.v);
    }
    mcusWide_ = CeilDiv(width, 8LL * maxH_);
    mcusHigh_ = CeilDiv(height, 8LL * maxV_);
    for (Component& c : components_) {
      c.blocksWide = CeilDiv(CeilDiv(1LL * width * c.h, maxH_), 8);
      c.blocksHigh = CeilDiv(CeilDiv(1LL * height * c.v, maxV_), 8);
      if (progressive_) c.nonZero.assign(std::size_t(c.blocksWide) * c.blocksHigh, 0);
    }
  }

  void Tables(std::string_view s) {
    std::size_t at = 0;
    while (at < s.size()) {
      const unsigned kind = Byte(s, at) >> 4, slot = Byte(s, at) & 15;
      if (kind > 1 || slot > 3) throw Damage{kBroken};
      HuffmanTable& t = (kind == 0 ? dc_ : ac_)[slot];
      t = HuffmanTable{};
      int code = 0, value = 0;
      for (int length = 1; length <= 16; ++length) {
        const int n = static_cast<int>(Byte(s, at + length));
        t.firstValue[length] = value;
        t.minCode[length] = code;
        t.maxCode[length] = n ? code + n - 1 : -1;
        code += n;
        value += n;
        if (code > (1 << length) || value > 256) throw Damage{kBroken};
        code <<= 1;
      }
      if (at + 17 + value > s.size()) throw Damage{kBroken};
      for (int i = 0; i < value; ++i) t.values[i] = static_cast<std::uint8_t>(s[at + 17 + i]);
      t.defined = true;
      at += 17 + value;
    }
  }

  // Walks the scan whose header is `s` and whose data starts at `pos`; returns where the next
  // marker starts.
  std::size_t Scan(std::string_view s, std::size_t pos) {
    if (!framed_) throw Damage{kBroken};
    const unsigned count = Byte(s, 0);
    if (count == 0 || count > 4 || s.size() < 1 + 2 * count + 3) throw Damage{kBroken};
    std::vector<ScanComponent> scan;
    for (unsigned i = 0; i < count; ++i) {
      const int id = static_cast<int>(Byte(s, 1 + 2 * i));
      const unsigned tables = Byte(s, 2 + 2 * i);
      auto c = std::find_if(components_.begin(), components_.end(),
                            [id](const Component& c) { return c.id == id; });
      if (c == components_.end() || (tables >> 4) > 3 || (tables & 15) > 3) throw Damage{kBroken};
      c->scanned = true;
      scan.push_back({&*c, &dc_[tables >> 4], &ac_[tables & 15]});
    }
    const int ss = static_cast<int>(Byte(s, 1 + 2 * count));
    const int se = static_cast<int>(Byte(s, 2 + 2 * count));
    const int ah = static_cast<int>(Byte(s, 3 + 2 * count) >> 4);
    if (progressive_ && (se < ss || se > 63 || (ss > 0 && count != 1) || (ss == 0 && se != 0)))
      throw Damage{kBroken};
    // Which tables the scan reads: a missing one is taken from the standard's by some decoders.
    const bool dcFirst = ss == 0 && ah == 0, acScan = !progressive_ || ss > 0;
    for (const ScanComponent& c : scan)
      if ((dcFirst && !c.dc->defined) || (acScan && !c.ac->defined)) throw NotChecked{};

    const bool lone = count == 1;
    const long long mcus = lone
                               ? 1LL * scan[0].component->blocksWide * scan[0].component->blocksHigh
                               : 1LL * mcusWide_ * mcusHigh_;
    BitReader bits(d_, pos);
    unsigned endOfBands = 0;
    int nextRestart = 0;
    for (long long mcu = 0; mcu < mcus; ++mcu) {
      if (restartInterval_ && mcu > 0 && mcu % restartInterval_ == 0) {
        // The restart markers count 0 to 7 in turn.
        bits.Align();
        const std::size_t at = bits.Position();
        if (Byte(d_, at) != 0xFF || Byte(d_, at + 1) != 0xD0u + nextRestart) throw Damage{kBroken};
        bits.Skip(2);
        nextRestart = (nextRestart + 1) & 7;
        endOfBands = 0;
      }
      if (lone) {  // one block a unit, row by row over the component's own blocks
        Block(bits, scan[0], ss, se, ah, endOfBands, static_cast<std::size_t>(mcu));
        continue;
      }
      for (const ScanComponent& sc : scan)
        for (int b = 0; b < sc.component->h * sc.component->v; ++b)
          Block(bits, sc, ss, se, ah, endOfBands, kNoBlock);
    }
    // The next marker follows at once: whole bytes left over are data that belongs nowhere.
    bits.Align();
    const std::size_t end = bits.Position();
    if (end >= d_.size()) throw Damage{kCut};
    if (Byte(d_, end) != 0xFF || Byte(d_, end + 1) == 0x00) throw Damage{kBroken};
    return end;
  }

  static constexpr std::size_t kNoBlock = static_cast<std::size_t>(-1);

  void Block(BitReader& bits, const ScanComponent& sc, int ss, int se, int ah, unsigned& endOfBands,
             std::size_t block) {
    if (!progressive_) {
      Magnitude(bits, bits.Decode(*sc.dc));
      for (int k = 1; k < 64; ++k) {
        const int rs = bits.Decode(*sc.ac);
        const int r = rs >> 4, size = rs & 15;
        if (size) {
          k += r;
          bits.Bits(size);
        } else {
          if (r != 15) break;
          k += 15;
        }
      }
      return;
    }
    if (ss == 0) {  // DC bands
      if (ah == 0)
        Magnitude(bits, bits.Decode(*sc.dc));
      else
        bits.Bit();
      return;
    }
    std::uint64_t& nonZero = sc.component->nonZero[block];
    auto set = [&nonZero](int k) {
      if (k < 64) nonZero |= std::uint64_t{1} << k;
    };
    auto isSet = [&nonZero](int k) { return k < 64 && (nonZero >> k & 1); };
    if (ah == 0) {  // the first pass over AC bands
      if (endOfBands > 0) {
        --endOfBands;
        return;
      }
      for (int k = ss; k <= se; ++k) {
        const int rs = bits.Decode(*sc.ac);
        const int r = rs >> 4, size = rs & 15;
        if (size) {
          k += r;
          bits.Bits(size);
          set(k);
        } else if (r == 15) {
          k += 15;
        } else {
          endOfBands = (1u << r) - 1 + bits.Bits(r);
          break;
        }
      }
      return;
    }
    // A refinement pass: one correction bit for every coefficient already set.
    int k = ss;
    if (endOfBands == 0) {
      for (; k <= se; ++k) {
        const int rs = bits.Decode(*sc.ac);
        int r = rs >> 4;
        const int size = rs & 15;
        if (size) {
          if (size != 1) throw Damage{kBroken};
          bits.Bit();
        } else if (r != 15) {
          endOfBands = (1u << r) + bits.Bits(r);
          break;
        }
        do {
          if (isSet(k))
            bits.Bit();
          else if (--r < 0)
            break;
          ++k;
        } while (k <= se);
        if (size) set(k);
      }
    }
    if (endOfBands > 0) {
      for (; k <= se; ++k)
        if (isSet(k)) bits.Bit();
      --endOfBands;
    }
  }

  static void Magnitude(BitReader& bits, int size) {
    if (size > 16) throw Damage{kBroken};
    bits.Bits(size);
  }

  std::string_view d_;
  std::size_t maxPixels_;
  bool framed_ = false;
  bool progressive_ = false;
  std::vector<Component> components_;
  int maxH_ = 1, maxV_ = 1;
  int mcusWide_ = 0, mcusHigh_ = 0;
  unsigned restartInterval_ = 0;
  std::array<HuffmanTable, 4> dc_{}, ac_{};
};

}  // namespace

std::optional<std::string> JpegScanDamage(std::string_view jpeg, std::size_t maxPixels) {
  try {
    JpegWalk(jpeg, maxPixels).Run();
  } catch (const Damage& damage) {
    return std::string(damage.why);
  } catch (const NotChecked&) {
  }
  return std::nullopt;
}

}  // namespace tesnova
