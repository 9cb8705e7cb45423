// One decoded picture, converted to 32-bit BGRA top-down rows at the size it is shown, with the
// clip time at which it is due. Made by the worker thread, handed whole to the painter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

struct AVFrame;

namespace quorvane::player {

// Pixel memory on 64-byte boundaries: FFmpeg's scaler (swscale) stores whole aligned blocks
// with its vector code.
template <typename T>
struct AlignedAllocator {
  using value_type = T;
  static constexpr std::align_val_t kAlignment{64};
  AlignedAllocator() = default;
  template <typename U>
  explicit AlignedAllocator(const AlignedAllocator<U>&) {}
  T* allocate(size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), kAlignment)); }
  void deallocate(T* p, size_t) { ::operator delete(p, kAlignment); }
  bool operator==(const AlignedAllocator&) const = default;
};

using PixelBytes = std::vector<uint8_t, AlignedAllocator<uint8_t>>;

// swscale's vector code writes rows in blocks of up to 16 pixels, past a row's last pixel
// and past the last row: rows are therefore a whole number of 64-byte blocks apart, and this
// much more follows the last one.
inline constexpr size_t kPictureTailPadding = 256;

// Bytes from one row to the next for a picture this wide.
inline int PictureStride(int width) { return (width * 4 + 63) / 64 * 64; }

struct Picture {
  int width = 0;
  int height = 0;
  int stride = 0;        // bytes from one row to the next, at least width * 4
  int source_width = 0;  // the clip's own picture size
  int source_height = 0;
  double time = 0;  // seconds from the clip's start
  PixelBytes bgra;  // stride * height bytes of rows, then the padding
  // The decoded frame it was converted from, so that it can be converted again when the size it
  // is shown at changes before it is shown (a clip's first pictures are decoded before its host
  // has placed its window). Shared, never written.
  std::shared_ptr<const AVFrame> frame;
};

// Gives the picture this size: its stride, and room in its buffer for its rows and the padding.
inline void SizePicture(Picture& picture, int width, int height) {
  picture.width = width;
  picture.height = height;
  picture.stride = PictureStride(width);
  picture.bgra.resize(static_cast<size_t>(picture.stride) * static_cast<size_t>(height) +
                      kPictureTailPadding);
}

}  // namespace quorvane::player
