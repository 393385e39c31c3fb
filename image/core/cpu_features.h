#pragma once

namespace ostrelin {

// True when the processor runs AVX2 code, asked once; the kernels that use it have portable
// fallbacks, which also run on other architectures.
inline bool HasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

}  // namespace ostrelin
