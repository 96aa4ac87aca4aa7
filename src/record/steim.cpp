#include "record/steim.h"

#include "core/byte_order.h"
#include "core/text.h"

namespace tlx {
namespace {

constexpr std::size_t kFrameBytes = 64;

inline std::uint32_t word(const std::uint8_t* p, bool bigEndian) {
    return bigEndian ? readBE<std::uint32_t>(p) : readLE<std::uint32_t>(p);
}

// Sign-extends the low `bits` bits of v.
inline std::int32_t signExtend(std::uint32_t v, int bits) {
    const std::uint32_t m = 1u << (bits - 1);
    v &= (bits == 32) ? 0xFFFFFFFFu : ((1u << bits) - 1u);
    return static_cast<std::int32_t>((v ^ m) - m);
}

// Appends differences to the running sample; the first difference of a record refers to the
// previous record and is skipped, the first sample being X0 itself.
class Integrator {
public:
    Integrator(std::int32_t* out, int expected, std::int32_t x0) : out_(out), expected_(expected), last_(x0) {}

    // Returns false once the expected count is reached.
    bool add(std::int32_t diff) {
        if (n_ == 0) {
            if (expected_ > 0) out_[n_++] = last_;
        } else {
            last_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(last_) + static_cast<std::uint32_t>(diff));
            out_[n_++] = last_;
        }
        return n_ < expected_;
    }
    bool done() const { return n_ >= expected_; }
    int count() const { return n_; }
    std::int32_t last() const { return last_; }

private:
    std::int32_t* out_;
    int expected_;
    int n_ = 0;
    std::int32_t last_;
};

template <typename WordDecoder>
SteimResult decode(const std::uint8_t* frames, std::size_t bytes, bool bigEndian, int expected, std::int32_t* out,
                   std::size_t capacity, int steimLevel, WordDecoder&& decodeWord) {
    SteimResult r;
    if (expected < 0 || static_cast<std::size_t>(expected) > capacity) {
        r.error = format("Steim sample count %d exceeds the buffer", expected);
        return r;
    }
    if (expected == 0) {
        r.ok = true;
        return r;
    }
    const std::size_t frameCount = bytes / kFrameBytes;
    if (frameCount == 0) {
        r.error = "no Steim frames";
        return r;
    }
    const std::int32_t x0 = static_cast<std::int32_t>(word(frames + 4, bigEndian));
    r.xn = static_cast<std::int32_t>(word(frames + 8, bigEndian));
    Integrator acc(out, expected, x0);
    for (std::size_t f = 0; f < frameCount && !acc.done(); ++f) {
        const std::uint8_t* frame = frames + f * kFrameBytes;
        const std::uint32_t codes = word(frame, bigEndian);
        for (int w = (f == 0) ? 3 : 1; w < 16 && !acc.done(); ++w) {
            const int code = static_cast<int>((codes >> (30 - 2 * w)) & 3u);
            if (code == 0) continue;
            if (!decodeWord(code, frame + 4 * w, acc, static_cast<int>(f), w, r.error)) return r;
        }
    }
    r.count = acc.count();
    r.lastValue = acc.last();
    if (r.count != expected) {
        r.error = format("Steim frames hold %d of %d samples", r.count, expected);
        return r;
    }
    if (r.lastValue != r.xn) {
        r.integrityMismatch = true;
        r.error = steimLevel == 1 ? format("%s, last_data=%d, xn=%d\n", "Data integrity for STEIM1 data frame",
                                                   r.lastValue, r.xn)
                                          : format("Data integrity for STEIM2 data frame last_data=%d, xn=%d\n",
                                                   r.lastValue, r.xn);
        return r;
    }
    r.ok = true;
    return r;
}

// Unpacks `count` fields of `bits` bits, most significant first, from the low count*bits bits.
inline void unpack(std::uint32_t v, int count, int bits, Integrator& acc) {
    for (int i = count - 1; i >= 0; --i)
        if (!acc.add(signExtend(v >> (i * bits), bits))) return;
}

} // namespace

SteimResult decodeSteim1(const std::uint8_t* frames, std::size_t bytes, bool bigEndian, int expected,
                         std::int32_t* out, std::size_t capacity) {
    return decode(frames, bytes, bigEndian, expected, out, capacity, 1,
                  [bigEndian](int code, const std::uint8_t* p, Integrator& acc, int, int, std::string&) {
                      // Each difference is stored in its own byte order (bytes keep their order).
                      switch (code) {
                      case 1:
                          for (int i = 0; i < 4; ++i)
                              if (!acc.add(static_cast<std::int8_t>(p[i]))) break;
                          break;
                      case 2:
                          if (acc.add(readOrdered<std::int16_t>(p, bigEndian))) acc.add(readOrdered<std::int16_t>(p + 2, bigEndian));
                          break;
                      default: acc.add(readOrdered<std::int32_t>(p, bigEndian)); break;
                      }
                      return true;
                  });
}

SteimResult decodeSteim2(const std::uint8_t* frames, std::size_t bytes, bool bigEndian, int expected,
                         std::int32_t* out, std::size_t capacity) {
    return decode(frames, bytes, bigEndian, expected, out, capacity, 2,
                  [bigEndian](int code, const std::uint8_t* p, Integrator& acc, int f, int w, std::string& error) {
                      if (code == 1) { // four bytes, in their stored order whatever the word order
                          for (int i = 0; i < 4; ++i)
                              if (!acc.add(static_cast<std::int8_t>(p[i]))) break;
                          return true;
                      }
                      const std::uint32_t v = word(p, bigEndian);
                      const int dnib = static_cast<int>(v >> 30);
                      if (code == 2) {
                          switch (dnib) {
                          case 1: unpack(v, 1, 30, acc); break;
                          case 2: unpack(v, 2, 15, acc); break;
                          case 3: unpack(v, 3, 10, acc); break;
                          default: error = format("invalid ck, dnib, fn, wn = %d, %d, %d, %d", code, dnib, f, w); return false;
                          }
                      } else {
                          switch (dnib) {
                          case 0: unpack(v, 5, 6, acc); break;
                          case 1: unpack(v, 6, 5, acc); break;
                          case 2: unpack(v, 7, 4, acc); break;
                          default: error = format("invalid ck, dnib, fn, wn = %d, %d, %d, %d", code, dnib, f, w); return false;
                          }
                      }
                      return true;
                  });
}

} // namespace tlx
