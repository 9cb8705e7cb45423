// Enlarging one 8-bit picture plane with bilinear interpolation, fast: the saver shows most
// clips enlarged, and FFmpeg's scaler spends three times as long on it as on decoding a picture.
// Samples are centred (the plane covers the same area at both sizes), weights are sixty-fourths
// (6 bits: the vector code multiplies unsigned samples by signed 8-bit weights). With
// SSSE3 sixteen samples go at a time; without it the same sums are taken one by one. A scaler
// belongs to one caller at a time (the player's worker thread).
#pragma once

#include <cstdint>
#include <vector>

namespace quorvane::player {

struct Plane {
  const uint8_t* data;
  int stride;
  int width, height;
};

struct PlaneOut {
  uint8_t* data;
  int stride;
  int width, height;
};

class PlaneScaler {
 public:
  // Whether Enlarge takes these sizes: neither side of the output smaller than the input's.
  static bool Enlarges(int from_width, int from_height, int to_width, int to_height);

  // Scales in to out; the sizes must be ones Enlarges takes. vector_code false takes the one
  // by one way even where the processor has SSSE3 (the tests compare the two).
  void Enlarge(const Plane& in, const PlaneOut& out, bool vector_code = true);

 private:
  // Where each output column (row) takes its two input samples, and the second one's weight.
  struct Axis {
    std::vector<int> first;
    std::vector<uint8_t> weight;  // of 64
  };
  static void Map(Axis& axis, int from, int to);

  Axis columns_, rows_;
  std::vector<uint8_t> widened_;  // the input's rows at the output's width
};

}  // namespace quorvane::player
