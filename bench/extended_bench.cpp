// Extended against the processor's own 80-bit arithmetic: a long random comparison, bit for
// bit, and the speed of the table's figures and of the line clipping with either.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "screen/drawing/line_clipping.h"
#include "screen/extended/extended.h"
#include "screen/extended/fpu_control.h"
#include "simulator/figures.h"
#include "tests/support/x87_reference.h"
#include "tools/pseudo_random.h"

namespace {

// Operands biased to the boundaries: significands near powers of two and rounding points,
// exponents near the subnormal range, overflow and each other, and now and then any bits.
Extended operand(PseudoRandom& random, const Extended* other) {
  static constexpr uint64_t kPatterns[] = {
      0x8000000000000000, 0x8000000000000001, 0xFFFFFFFFFFFFFFFF, 0xFFFFFFFFFFFFFFFE,
      0xC000000000000000, 0xBFFFFFFFFFFFFFFF, 0x8000000080000000, 0x0000000000000001};
  const uint64_t r = random.next();
  uint64_t sig = (r & 3) == 0 ? kPatterns[(r >> 2) & 7] : random.next();
  if ((r >> 5 & 3) == 0) sig ^= uint64_t{1} << (r >> 7 & 63);
  uint32_t field = 0;
  switch (r >> 13 & 7) {
    case 0: field = static_cast<uint32_t>(random.next() & 0x7FFF); break;
    case 1: field = static_cast<uint32_t>(r >> 16 & 127); break;
    case 2: field = 0x7FFF - static_cast<uint32_t>(r >> 16 & 127); break;
    case 3:
    case 4:
      if (other != nullptr) {
        const int32_t near =
            (other->signExponent() & 0x7FFF) - static_cast<int32_t>(r >> 16 & 255) + 2;
        field = static_cast<uint32_t>(std::max(0, std::min(0x7FFF, near)));
        break;
      }
      [[fallthrough]];
    default: field = 0x3FFF - 100 + static_cast<uint32_t>(r >> 16 & 255); break;
  }
  // Mostly valid encodings: the integer bit set exactly when the exponent is not zero.
  if ((r >> 24 & 63) != 0) {
    if (field != 0 && field != 0x7FFF) sig |= uint64_t{1} << 63;
    if (field == 0) sig &= ~(uint64_t{1} << 63);
  }
  const auto sign = static_cast<uint16_t>((r >> 30 & 1) << 15);
  return Extended::fromBits(static_cast<uint16_t>(sign | field), sig);
}

#ifdef CO2SIM_HAVE_X87
// 2.5 million operand pairs, each through the four operations: 10^7 comparisons a run.
void randomDifferential(benchmark::State& state) {
  setExtendedPrecision();
  PseudoRandom random{0x853C49E6748FEA9B};
  long operations = 0, mismatches = 0;
  for (auto _ : state) {
    for (int i = 0; i < 2500000; ++i) {
      const Extended a = operand(random, nullptr);
      const Extended b = operand(random, &a);
      for (Operation op :
           {Operation::add, Operation::subtract, Operation::multiply, Operation::divide}) {
        ++operations;
        if (!sameBits(emulatedOperation(op, a, b), nativeOperation(op, a, b))) ++mismatches;
      }
    }
  }
  state.counters["operations"] = static_cast<double>(operations);
  state.counters["mismatches"] = static_cast<double>(mismatches);
  if (mismatches != 0) state.SkipWithError("Extended differs from the x87 unit");
}
BENCHMARK(randomDifferential)->Iterations(1)->Unit(benchmark::kMillisecond);

// The table's figures for 100 rows at one percentage, three hypotheses each, with Extended and
// with the unit's own arithmetic. On a machine shared with other work compare the CPU times
// (the ratio of the two is what bench/RESULTS.md quotes).
template <class Real>
double tableFigures(int first) {
  double sum = 0;
  for (int level = first; level < first + 100; ++level) {
    for (float share : {0.2f, 0.3f, 0.4f}) {
      const figures::HypothesisFigures f =
          figures::hypothesisFigures<Real>(share, static_cast<float>(level) / 100.0f, 12.75f);
      sum += f.fire + f.cut + f.remaining;
    }
  }
  return sum;
}
template <class Real>
void tableRowFigures(benchmark::State& state) {
  setExtendedPrecision();
  for (auto _ : state) benchmark::DoNotOptimize(tableFigures<Real>(200));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 300);
}
BENCHMARK_TEMPLATE(tableRowFigures, Extended);
BENCHMARK_TEMPLATE(tableRowFigures, long double);

// Corners of 1,000 lines with ends off the screen, guarded, rounded and clipped.
struct Line {
  float x1, y1, x2, y2;
};
const std::vector<Line>& offScreenLines() {
  static const std::vector<Line> lines = [] {
    PseudoRandom random{0x9E3779B97F4A7C15};
    std::vector<Line> made;
    auto coordinate = [&](int64_t low, int64_t span) { return random.coordinate(low, span); };
    for (int i = 0; i < 1000; ++i) {
      const int64_t reach = i % 8 == 0 ? 40000000 : 3000;
      made.push_back({coordinate(-reach, 1024 + 2 * reach), coordinate(-reach, 768 + 2 * reach),
                      coordinate(-reach, 1024 + 2 * reach), coordinate(-reach, 768 + 2 * reach)});
    }
    return made;
  }();
  return lines;
}
template <class Real>
int64_t clipAll() {
  int64_t sum = 0;
  for (const Line& l : offScreenLines()) {
    line_clipping::Points p{};
    if (line_clipping::cornerPoints<Real>(l.x1, l.y1, l.x2, l.y2, true, p) &&
        line_clipping::clipLine<Real>(p, {0, 0, 1023, 767}))
      sum += p.x1 + p.y1 + p.x2 + p.y2;
  }
  return sum;
}
template <class Real>
void lineClipping(benchmark::State& state) {
  setExtendedPrecision();
  for (auto _ : state) benchmark::DoNotOptimize(clipAll<Real>());
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 1000);
}
BENCHMARK_TEMPLATE(lineClipping, Extended);
BENCHMARK_TEMPLATE(lineClipping, long double);
#endif

// The four operations alone, for scale (no processor's own arithmetic needed).
void extendedOperations(benchmark::State& state) {
  PseudoRandom random{42};
  std::vector<Extended> values;
  for (int i = 0; i < 1024; ++i)
    values.push_back(Extended(static_cast<double>(random.next() % 100000) / 7.0));
  size_t i = 0;
  for (auto _ : state) {
    const Extended a = values[i & 1023], b = values[(i + 1) & 1023];
    benchmark::DoNotOptimize((a * b + a) / b - a);
    ++i;
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 4);
}
BENCHMARK(extendedOperations);

}  // namespace

BENCHMARK_MAIN();
