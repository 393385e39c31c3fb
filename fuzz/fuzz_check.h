#pragma once
// An invariant of a fuzz target. A violated one stops the run like a crash, so libFuzzer keeps the
// input and the replay test fails on it.

namespace ostrelin::fuzz {

inline void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace ostrelin::fuzz
