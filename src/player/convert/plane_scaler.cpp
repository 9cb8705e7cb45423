#include "player/convert/plane_scaler.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <tmmintrin.h>
#define QUORVANE_SSSE3 1
#endif

namespace quorvane::player {

namespace {

// Weights are sixty-fourths: the vector code multiplies unsigned samples by signed 8-bit weights.
constexpr int kWhole = 64;
constexpr int kShift = 6;

// Sixteen output columns taken from one 16-byte window of the input row.
struct Block {
  int window;         // the window's first column in the input
  uint8_t pick[32];   // for each output column, its two samples' places in the window
  int8_t weight[32];  // and their weights
};

void BlocksFor(const std::vector<int>& first, const std::vector<uint8_t>& weight, int in_width,
               std::vector<Block>& blocks, size_t& vector_columns) {
  blocks.clear();
  vector_columns = 0;
  size_t count = first.size();
  for (size_t x = 0; x + 16 <= count; x += 16) {
    Block block{};
    block.window = first[x];
    // The window must hold both samples of every column, and lie inside the row.
    if (first[x + 15] + 1 - block.window > 15 || block.window + 16 > in_width) break;
    for (size_t i = 0; i < 16; ++i) {
      block.pick[2 * i] = static_cast<uint8_t>(first[x + i] - block.window);
      block.pick[2 * i + 1] = static_cast<uint8_t>(first[x + i] + 1 - block.window);
      block.weight[2 * i] = static_cast<int8_t>(kWhole - weight[x + i]);
      block.weight[2 * i + 1] = static_cast<int8_t>(weight[x + i]);
    }
    blocks.push_back(block);
    vector_columns = x + 16;
  }
}

uint8_t Blend(uint8_t a, uint8_t b, int w) {
  return static_cast<uint8_t>((a * (kWhole - w) + b * w + kWhole / 2) >> kShift);
}

void WidenRow(const uint8_t* in, uint8_t* out, const std::vector<int>& first,
              const std::vector<uint8_t>& weight, size_t from) {
  for (size_t x = from; x < first.size(); ++x) {
    out[x] = Blend(in[first[x]], in[first[x] + 1], weight[x]);
  }
}

void BlendRows(const uint8_t* a, const uint8_t* b, uint8_t* out, int width, int w, int from) {
  for (int x = from; x < width; ++x) out[x] = Blend(a[x], b[x], w);
}

#ifdef QUORVANE_SSSE3

bool HasSsse3() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0;
  }();
  return has;
}

__attribute__((target("ssse3"))) __m128i Weigh(__m128i pairs, __m128i weights) {
  __m128i sums = _mm_maddubs_epi16(pairs, weights);
  return _mm_srli_epi16(_mm_add_epi16(sums, _mm_set1_epi16(kWhole / 2)), kShift);
}

__attribute__((target("ssse3"))) void WidenRowSsse3(const uint8_t* in, uint8_t* out,
                                                    const std::vector<Block>& blocks) {
  for (size_t i = 0; i < blocks.size(); ++i) {
    const Block& block = blocks[i];
    __m128i window = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + block.window));
    const auto* pick = reinterpret_cast<const __m128i*>(block.pick);
    const auto* weight = reinterpret_cast<const __m128i*>(block.weight);
    __m128i low = Weigh(_mm_shuffle_epi8(window, _mm_loadu_si128(pick)), _mm_loadu_si128(weight));
    __m128i high =
        Weigh(_mm_shuffle_epi8(window, _mm_loadu_si128(pick + 1)), _mm_loadu_si128(weight + 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * i), _mm_packus_epi16(low, high));
  }
}

__attribute__((target("ssse3"))) int BlendRowsSsse3(const uint8_t* a, const uint8_t* b,
                                                    uint8_t* out, int width, int w) {
  __m128i weights = _mm_set1_epi16(static_cast<int16_t>((w << 8) | (kWhole - w)));
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    __m128i top = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
    __m128i bottom = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
    __m128i low = Weigh(_mm_unpacklo_epi8(top, bottom), weights);
    __m128i high = Weigh(_mm_unpackhi_epi8(top, bottom), weights);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(low, high));
  }
  return x;
}

#else

bool HasSsse3() { return false; }

#endif

}  // namespace

bool PlaneScaler::Enlarges(int from_width, int from_height, int to_width, int to_height) {
  return from_width >= 2 && from_height >= 2 && to_width >= from_width && to_height >= from_height;
}

void PlaneScaler::Map(Axis& axis, int from, int to) {
  axis.first.resize(static_cast<size_t>(to));
  axis.weight.resize(static_cast<size_t>(to));
  for (int i = 0; i < to; ++i) {
    // The output sample's centre in input samples, in sixty-fourths: (i + 1/2) from/to - 1/2.
    int64_t position =
        ((2 * static_cast<int64_t>(i) + 1) * from - to) * kWhole / (2 * static_cast<int64_t>(to));
    int first = static_cast<int>(position >= 0 ? position / kWhole : -1);
    int weight = static_cast<int>(position - static_cast<int64_t>(first) * kWhole);
    if (first < 0) {
      first = 0;
      weight = 0;
    } else if (first > from - 2) {
      first = from - 2;
      weight = kWhole;
    }
    axis.first[static_cast<size_t>(i)] = first;
    axis.weight[static_cast<size_t>(i)] = static_cast<uint8_t>(weight);
  }
}

void PlaneScaler::Enlarge(const Plane& in, const PlaneOut& out, bool vector_code) {
  bool vectors = vector_code && HasSsse3();
  bool widen = out.width != in.width;
  Map(columns_, in.width, out.width);
  Map(rows_, in.height, out.height);

  // Each input row at the output's width first.
  const uint8_t* rows = in.data;
  int rows_stride = in.stride;
  if (widen) {
    widened_.resize(static_cast<size_t>(out.width) * static_cast<size_t>(in.height));
    std::vector<Block> blocks;
    size_t vector_columns = 0;
#ifdef QUORVANE_SSSE3
    if (vectors) BlocksFor(columns_.first, columns_.weight, in.width, blocks, vector_columns);
#endif
    for (int y = 0; y < in.height; ++y) {
      const uint8_t* row = in.data + static_cast<ptrdiff_t>(y) * in.stride;
      uint8_t* wide = widened_.data() + static_cast<size_t>(y) * static_cast<size_t>(out.width);
#ifdef QUORVANE_SSSE3
      if (vectors) WidenRowSsse3(row, wide, blocks);
#endif
      WidenRow(row, wide, columns_.first, columns_.weight, vector_columns);
    }
    rows = widened_.data();
    rows_stride = out.width;
  }

  // Then the output rows from pairs of those.
  for (int y = 0; y < out.height; ++y) {
    int first = rows_.first[static_cast<size_t>(y)];
    int weight = rows_.weight[static_cast<size_t>(y)];
    const uint8_t* a = rows + static_cast<ptrdiff_t>(first) * rows_stride;
    const uint8_t* b = a + rows_stride;
    uint8_t* target = out.data + static_cast<ptrdiff_t>(y) * out.stride;
    if (weight == 0 || weight == kWhole) {
      std::memcpy(target, weight == 0 ? a : b, static_cast<size_t>(out.width));
      continue;
    }
    int done = 0;
#ifdef QUORVANE_SSSE3
    if (vectors) done = BlendRowsSsse3(a, b, target, out.width, weight);
#endif
    BlendRows(a, b, target, out.width, weight, done);
  }
}

}  // namespace quorvane::player
