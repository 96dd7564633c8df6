// Which instruction set the inner loops of the response spectra run on. Each
// loop is written once over four-double vectors (lanes4.hpp) and compiled
// twice, for the x86-64 baseline and for AVX2; the operations are the same
// element by element, without fused multiply-adds, so both give the same bits.
#pragma once

namespace sitewave::response {

enum class simd_path {
  baseline,  // SSE2: every x86-64 machine
  avx2,      // 256-bit vectors
};

// The widest path this machine (and its operating system) can run.
simd_path fastest_simd_path();

// Whether this machine can run the path.
bool runs_on_this_machine(simd_path path);

}  // namespace sitewave::response
