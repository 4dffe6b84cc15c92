#include "romdb/line_cut.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "romdb/byte_lanes.h"

namespace cartidex {

namespace {

// The bytes of one block that matter to the cut, one bit per byte.
struct BlockMasks {
  uint64_t sep;   // ':' or ';'
  uint64_t semi;  // ';'
  uint64_t end;   // CR, LF or NUL
};

#if defined(__SSE2__)

// 32 bytes, two SSE2 registers: most lines take two or three blocks.
constexpr size_t kBlock = 32;

BlockMasks ScanBlock(const char* p) {
  const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
  auto bits = [](__m128i bytes, __m128i c) {
    return static_cast<uint64_t>(
        static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, c))));
  };
  auto both = [&](char c) {
    const __m128i wanted = _mm_set1_epi8(c);
    return bits(lo, wanted) | (bits(hi, wanted) << 16);
  };
  const uint64_t semi = both(';');
  return {both(':') | semi, semi, both('\r') | both('\n') | both('\0')};
}

#else

// Eight bytes at a time in a plain register. Bytes are taken in memory order, so the masks are
// the same on either byte order.
constexpr size_t kBlock = 8;

// The top bits of the bytes gathered into the low eight bits, byte 0 of the word in bit 0.
constexpr uint64_t Gather(uint64_t top_bits) {
  return ((top_bits >> 7) * 0x0102040810204080ull) >> 56;
}

BlockMasks ScanBlock(const char* p) {
  const uint64_t word = LoadBytes(p);
  auto bits = [&](char c) { return Gather(BytesEqual(word, static_cast<unsigned char>(c))); };
  const uint64_t semi = bits(';');
  return {bits(':') | semi, semi, bits('\r') | bits('\n') | bits('\0')};
}

#endif

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n' || c == '\0';
}

}  // namespace

void LineCut::Grow(size_t more) {
  const size_t capacity = std::max<size_t>({256, capacity_ * 2, count_ + more});
  std::unique_ptr<size_t[]> starts(new size_t[capacity]);
  std::copy(starts_.get(), starts_.get() + count_, starts.get());
  starts_ = std::move(starts);
  capacity_ = capacity;
}

bool LineCut::Note(size_t base, uint64_t sep, uint64_t semi) {
  size_t* out = starts_.get() + count_;
  if (semi == 0) {
    for (; sep != 0; sep &= sep - 1) *out++ = base + static_cast<size_t>(std::countr_zero(sep)) + 1;
    count_ = static_cast<size_t>(out - starts_.get());
    return false;
  }
  bool last = false;
  for (; sep != 0 && !last; sep &= sep - 1) {
    *out++ = base + static_cast<size_t>(std::countr_zero(sep)) + 1;
    if ((semi & sep & (0 - sep)) != 0) {
      // This ';' ends the field begun just before.
      semicolon_at_[semicolons_++] = static_cast<size_t>(out - starts_.get()) - 2;
      last = semicolons_ == 3;
    }
  }
  count_ = static_cast<size_t>(out - starts_.get());
  return last;
}

size_t LineCut::FindEnd(const char* s, size_t i, size_t size) {
  for (; size - i >= kBlock; i += kBlock) {
    const uint64_t end = ScanBlock(s + i).end;
    if (end != 0) return i + static_cast<size_t>(std::countr_zero(end));
  }
  while (i < size && !IsLineEnd(s[i])) ++i;
  return i;
}

void LineCut::Cut(std::string_view text, size_t start) {
  const char* const s = text.data();
  const size_t size = text.size();
  text_ = s;
  semicolons_ = 0;
  count_ = 0;
  Reserve(2);
  starts_[count_++] = start;

  // Once the third ';' is noted, the mark it left closes the last field that matters and the
  // rest of the line is only passed over.
  size_t i = start;
  for (; size - i >= kBlock; i += kBlock) {
    // Room for the block's separators and for the mark of the line's end.
    Reserve(kBlock + 1);
    const BlockMasks m = ScanBlock(s + i);
    const uint64_t before = m.end == 0 ? ~uint64_t{0} : (m.end & (0 - m.end)) - 1;
    if (Note(i, m.sep & before, m.semi & before)) {
      end_ = FindEnd(s, starts_[count_ - 1], size);
      return;
    }
    if (m.end != 0) {
      end_ = i + static_cast<size_t>(std::countr_zero(m.end));
      starts_[count_++] = end_ + 1;
      return;
    }
  }
  for (; i < size && !IsLineEnd(s[i]); ++i) {
    if (s[i] != ':' && s[i] != ';') continue;
    Reserve(2);
    if (Note(i, 1, s[i] == ';' ? 1 : 0)) {
      end_ = FindEnd(s, i + 1, size);
      return;
    }
  }
  end_ = i;
  starts_[count_++] = end_ + 1;
}

}  // namespace cartidex
