#include "pictures/fit_to_box.h"

namespace vidod {

bool FitSizeToBox(int width, int height, int boxWidth, int boxHeight, FittedSize* fitted) {
  if (width <= 0 || height <= 0) return false;
  // Extended precision from the divisions through the products: the sizes
  // are truncated, so the last bit decides some of them. The bitmap fitting
  // computes exactly this, in the same types.
  const long double widthRatio = static_cast<long double>(boxWidth) / width;
  const long double heightRatio = static_cast<long double>(boxHeight) / height;
  const long double scale = heightRatio > widthRatio ? widthRatio : heightRatio;
  fitted->width = static_cast<int>(width * scale);
  fitted->height = static_cast<int>(height * scale);
  return true;
}

}  // namespace vidod
