// The figures of the results page: a table row's fire emission, cut and final emission, and
// the chart's bar ends, each evaluated in extended precision from single-precision values.
#pragma once

namespace figures {

struct HypothesisFigures {
  double fire;
  double cut;
  double remaining;
};

// Real is the extended type (or, for comparison on x86, the processor's own 80-bit type).
// The cut is ((share × level) × percent) / 100, in that order, with no rounding to single
// precision on the way.
template <class Real>
HypothesisFigures hypothesisFigures(float share, float level, float percent) {
  const Real e(level);
  const Real fire = Real(share) * e;
  const Real cut = (fire * Real(percent)) / Real(100);
  return {static_cast<double>(fire), static_cast<double>(cut), static_cast<double>(e - cut)};
}

// (share × span) × (percent / 100) + top, stored in single precision.
template <class Real>
float shareBarEnd(float share, float span, float percent, float top) {
  return static_cast<float>((Real(share) * Real(span)) * (Real(percent) / Real(100)) + Real(top));
}

// ((percent / 100) × span) × 0.5 + top, stored in single precision.
template <class Real>
float possibleBarEnd(float span, float percent, float top) {
  return static_cast<float>(((Real(percent) / Real(100)) * Real(span)) * Real(0.5) + Real(top));
}

}  // namespace figures
