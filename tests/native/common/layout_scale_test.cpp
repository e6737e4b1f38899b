#include <gtest/gtest.h>

#include "common/layout_scale.h"

namespace vidod {
namespace {

TEST(LayoutScaleTest, FiguresScaleAndRoundToTheNearestPixel) {
  struct Case {
    int figure, dpi, scaled;
  };
  const Case cases[] = {
      {670, 96, 670},  {5, 96, 5},    {-15, 96, -15},  // the figures themselves at 96
      {670, 144, 1005}, {5, 144, 8},   {-15, 144, -23},  // 7.5 rounds away from zero
      {690, 192, 1380}, {19, 120, 24}, {1, 106, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ScaleFigure(c.figure, c.dpi), c.scaled) << c.figure << " at " << c.dpi;
}

TEST(LayoutScaleTest, TheScaleKeepsTheWindowOnTheWorkArea) {
  struct Case {
    int dpi, workWidth, workHeight, expected;
  };
  const Case cases[] = {
      {96, 1024, 768, 96},     // as always
      {96, 800, 600, 96},      // too small already at 96: never below it
      {144, 2560, 1600, 144},  // room enough: the screen's DPI
      {192, 2560, 1600, 192},
      {144, 1366, 768, 106},   // 690 x 106 / 96 = 762 fits 768; 107 would give 769
      {144, 1366, 728, 101},   // a taskbar's height less
      {144, 800, 600, 96},     // not even 97 fits
      {72, 640, 480, 72},      // a lower DPI is the screen's
  };
  for (const Case& c : cases) {
    const int dpi = FittingDpi(c.dpi, 670, 690, c.workWidth, c.workHeight);
    EXPECT_EQ(dpi, c.expected) << c.dpi << " on " << c.workWidth << " x " << c.workHeight;
    if (dpi > 96) EXPECT_LE(ScaleFigure(690, dpi), c.workHeight);
  }
}

}  // namespace
}  // namespace vidod
