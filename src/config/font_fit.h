// How small a caption font of the settings dialog is made: from its own size down in steps of a
// quarter point, the first size at which its captions fit, never below a smallest size. A pure
// function over a question the caller answers (the dialog measures the text in a font of that
// size); any thread.
#pragma once

#include <functional>
#include <optional>

namespace quorvane::config {

// Sizes are in hundredths of a point.
constexpr int kFontSizeStep = 25;

// The first of start, start - kFontSizeStep, ... (none below smallest) for which fits says yes;
// nothing when none of them fits (or start is below smallest). fits is asked about those sizes
// alone, largest first, and no more once one fits.
std::optional<int> FittingSize(int start, int smallest, const std::function<bool(int)>& fits);

}  // namespace quorvane::config
