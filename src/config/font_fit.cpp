#include "config/font_fit.h"

namespace quorvane::config {

std::optional<int> FittingSize(int start, int smallest, const std::function<bool(int)>& fits) {
  for (int size = start; size >= smallest; size -= kFontSizeStep) {
    if (fits(size)) return size;
  }
  return std::nullopt;
}

}  // namespace quorvane::config
