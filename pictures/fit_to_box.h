// The size a picture takes once fitted into a box, aspect ratio kept: the
// arithmetic of the bitmap fitting, without a bitmap, so that a layout can
// place a picture from its header alone.
#pragma once

namespace vidod {

struct FittedSize {
  int width;
  int height;
};

// A width x height picture scaled by the smaller of the box's two ratios to
// the picture's sides (the height's on a tie), each side truncated toward
// zero: no lower bound of one pixel, and a box larger than the picture
// enlarges it. False for a picture without a positive width and height.
bool FitSizeToBox(int width, int height, int boxWidth, int boxHeight, FittedSize* fitted);

}  // namespace vidod
