// Asks the processor, at run time, which vector instructions it offers: the
// program is built for the x86-64 baseline and takes the AVX2 loops only
// where the machine has them.
#include "core/response/simd_path.hpp"

namespace sitewave::response {

bool runs_on_this_machine(simd_path path) {
  if (path == simd_path::baseline) return true;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  return __builtin_cpu_supports("avx2") != 0;
#else
  return false;
#endif
}

simd_path fastest_simd_path() {
  return runs_on_this_machine(simd_path::avx2) ? simd_path::avx2 : simd_path::baseline;
}

}  // namespace sitewave::response
