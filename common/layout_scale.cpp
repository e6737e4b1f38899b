#include "common/layout_scale.h"

namespace vidod {

int ScaleFigure(int figure, int dpi) {
  const long long product = static_cast<long long>(figure) * dpi;
  const long long half = kDesignDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}

int FittingDpi(int dpi, int width, int height, int workWidth, int workHeight) {
  if (dpi <= kDesignDpi) return dpi;
  int fitting = dpi;
  while (fitting > kDesignDpi &&
         (ScaleFigure(width, fitting) > workWidth || ScaleFigure(height, fitting) > workHeight))
    --fitting;
  return fitting;
}

}  // namespace vidod
