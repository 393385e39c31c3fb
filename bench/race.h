#pragma once
// The benchmarks' way of comparing with a yardstick: both run by turns in every iteration and each
// keeps its best time, so that load from other processes on the machine affects both alike.

#include <algorithm>
#include <chrono>

namespace ostrelin::bench {

template <typename F>
double Seconds(F f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Race {
  double yardstick = 1e9;
  double measured = 1e9;
  void Record(double y, double m) {
    yardstick = std::min(yardstick, y);
    measured = std::min(measured, m);
  }
  double Ratio() const { return measured / yardstick; }
};

}  // namespace ostrelin::bench
