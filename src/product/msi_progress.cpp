#include "product/msi_progress.h"

#include <cmath>

int creep_percent(const creep_curve& curve, uint32_t elapsed_ms) {
  double seconds = static_cast<double>(elapsed_ms) / 1000.0;
  double value = curve.ceiling - curve.amplitude * std::exp(-seconds / curve.time_constant_s);
  int percent = static_cast<int>(value + 0.5);
  return percent > curve.cap ? curve.cap : percent;
}

bool creep_advance(const creep_curve& curve, uint32_t elapsed_ms, int* last) {
  int percent = creep_percent(curve, elapsed_ms);
  if (!last || percent <= *last) return false;
  *last = percent;
  return true;
}
