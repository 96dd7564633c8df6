// The pairs of a group step side by side in vectors, one lane per pair, so
// that the chains of dependent products of the pairs overlap. The rotated
// peaks are updated only at steps where a pair's resultant
// sqrt(p1^2 + p2^2), which bounds every rotated value, passes the smallest of
// them: after the first strong cycles that is a small share of the steps.
// An update takes the 180 angles a vector at a time. Only plain products,
// sums and exact selections are used: both paths give the same bits.
#include "core/response/rotd_pairs.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/response/lanes.hpp"

namespace sitewave::response {

namespace {

// The smaller of each pair, as std::min(a, b) picks it.
template <class V>
[[gnu::always_inline]] inline V smaller(V a, V b) {
  return b < a ? b : a;
}

// The peaks take (p1, p2), a sector of twelve angles at a time: a sector is
// passed over when a bound of every rotated value in it stays below its
// smallest peak, so that none of its peaks could change. For an angle t
// within 5.5 degrees of the sector's middle direction m, cos t p1 + sin t p2
// = cos(t - m) u + sin(t - m) w with u and w the components along m and
// across it, so |value| <= |u| + sin(5.5 degrees) |w|; the bound is widened
// by far more than the rounding of any of these sums (about 1e-15 of
// |p1| + |p2|). A sector taken gets exactly the values every angle got.
template <class V>
[[gnu::always_inline]] inline void take_lanes(rotated_pair& r, double p1, double p2,
                                              const angle_table& t) {
  constexpr std::size_t w = width_of<V>;
  constexpr std::size_t per_sector = rotd_sector_angles;
  static_assert(per_sector % w == 0 && rotd_sector_slots % w == 0);
  const V a = splat<V>(p1), b = splat<V>(p2);
  const double slack = 1e-12 * (std::abs(p1) + std::abs(p2));
  bool reached[rotd_sector_slots];
  for (std::size_t s = 0; s < rotd_sector_slots; s += w) {
    const V c = load_lanes<V>(&t.middle_cosine[s]), n = load_lanes<V>(&t.middle_sine[s]);
    const V along = c * a + n * b, across = c * b - n * a;
    const V bound = (magnitude(along) + t.half_width_sine * magnitude(across)) * (1.0 + 1e-12) +
                    slack;
    const auto reach = !(bound < load_lanes<V>(&r.sector_least[s]));
    for (std::size_t l = 0; l < w; ++l) reached[s + l] = reach[l] != 0;
  }
  double least = r.sector_least[0];
  for (std::size_t s = 0; s < rotd_sectors; ++s) {
    if (reached[s]) {
      V low{};
      for (std::size_t j = 0; j < per_sector; j += w) {
        const std::size_t at = s * per_sector + j;
        const V rotated = load_lanes<V>(&t.cosine[at]) * a + load_lanes<V>(&t.sine[at]) * b;
        const V top = larger(load_lanes<V>(&r.top[at]), magnitude(rotated));
        store_lanes(&r.top[at], top);
        low = j == 0 ? top : smaller(low, top);
      }
      double m = low[0];
      for (std::size_t l = 1; l < w; ++l) m = std::min(m, low[l]);
      r.sector_least[s] = m;
    }
    least = std::min(least, r.sector_least[s]);
  }
  r.least = least;
}

// The coefficients and states of a group in lanes, idle lanes at zero: they
// stay at rest and never pass their smallest peak.
template <class V, std::size_t vectors>
struct pair_lanes {
  static constexpr std::size_t width = width_of<V>;
  static constexpr std::size_t lanes = width * vectors;
  V e_pp[vectors], e_pq[vectors], e_qp[vectors], e_qq[vectors], c_p[vectors], c_q[vectors],
      g1_p[vectors];
  V y1p[vectors], y1q[vectors], y2p[vectors], y2q[vectors], least2[vectors];

  explicit pair_lanes(std::span<const rotated_pair> group) {
    double v[12][lanes] = {};
    for (std::size_t i = 0; i < group.size(); ++i) {
      const rotated_pair& r = group[i];
      const double values[12] = {r.o.e_pp, r.o.e_pq, r.o.e_qp, r.o.e_qq, r.o.c_p, r.o.c_q,
                                 r.o.g1_p, r.y1p,    r.y1q,    r.y2p,    r.y2q, r.least * r.least};
      for (std::size_t j = 0; j < 12; ++j) v[j][i] = values[j];
    }
    V* const to[12] = {e_pp, e_pq, e_qp, e_qq, c_p, c_q, g1_p, y1p, y1q, y2p, y2q, least2};
    for (std::size_t j = 0; j < 12; ++j)
      for (std::size_t k = 0; k < vectors; ++k) to[j][k] = load_lanes<V>(&v[j][k * width]);
  }

  void keep_states(std::span<rotated_pair> group) const {
    double v[4][lanes];
    for (std::size_t k = 0; k < vectors; ++k) {
      store_lanes(&v[0][k * width], y1p[k]);
      store_lanes(&v[1][k * width], y1q[k]);
      store_lanes(&v[2][k * width], y2p[k]);
      store_lanes(&v[3][k * width], y2q[k]);
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
      group[i].y1p = v[0][i], group[i].y1q = v[1][i], group[i].y2p = v[2][i],
      group[i].y2q = v[3][i];
    }
  }
};

template <class V, std::size_t vectors>
[[gnu::always_inline]] inline void follow_lanes(std::span<rotated_pair> group,
                                                std::span<const double> a1,
                                                std::span<const double> a2, bool first,
                                                bool last, const angle_table& t) {
  constexpr std::size_t w = width_of<V>;
  const std::size_t stride = group[0].stride;
  const std::size_t samples = (a1.size() - 1) / stride + 1;
  if (first) {  // at rest at the first sample
    for (rotated_pair& r : group) {
      r.y1p = -r.o.g1_p * a1[0];
      r.y1q = -r.o.g1_q * a1[0];
      r.y2p = -r.o.g1_p * a2[0];
      r.y2q = -r.o.g1_q * a2[0];
    }
  }
  pair_lanes<V, vectors> s(group);
  for (std::size_t i = 0; i + 1 < samples; ++i) {
    const V b1 = splat<V>(a1[i * stride]), b2 = splat<V>(a2[i * stride]);
    const V e1 = splat<V>(a1[(i + 1) * stride]), e2 = splat<V>(a2[(i + 1) * stride]);
    V p1[vectors], p2[vectors];
    bool any = false;
    for (std::size_t k = 0; k < vectors; ++k) {
      const V n1p = (s.e_pp[k] * s.y1p[k] + s.e_pq[k] * s.y1q[k]) + s.c_p[k] * b1;
      const V n1q = (s.e_qp[k] * s.y1p[k] + s.e_qq[k] * s.y1q[k]) + s.c_q[k] * b1;
      const V n2p = (s.e_pp[k] * s.y2p[k] + s.e_pq[k] * s.y2q[k]) + s.c_p[k] * b2;
      const V n2q = (s.e_qp[k] * s.y2p[k] + s.e_qq[k] * s.y2q[k]) + s.c_q[k] * b2;
      s.y1p[k] = n1p;
      s.y1q[k] = n1q;
      s.y2p[k] = n2p;
      s.y2q[k] = n2q;
      p1[k] = n1p + s.g1_p[k] * e1;
      p2[k] = n2p + s.g1_p[k] * e2;
      const auto passes = p1[k] * p1[k] + p2[k] * p2[k] > s.least2[k];
      for (std::size_t l = 0; l < w; ++l) any = any || passes[l] != 0;
    }
    if (!any) continue;
    for (std::size_t j = 0; j < group.size(); ++j) {
      const std::size_t k = j / w, l = j % w;
      const double q1 = p1[k][l], q2 = p2[k][l];
      if (!(q1 * q1 + q2 * q2 > s.least2[k][l])) continue;
      take_lanes<V>(group[j], q1, q2, t);
      s.least2[k][l] = group[j].least * group[j].least;
    }
  }
  s.keep_states(group);
  if (last)
    for (rotated_pair& r : group)
      r.finish(a1[(samples - 1) * stride], a2[(samples - 1) * stride], t);
}

// As many vectors as hold the group.
template <class V>
[[gnu::always_inline]] inline void follow_group(std::span<rotated_pair> group,
                                                std::span<const double> a1,
                                                std::span<const double> a2, bool first,
                                                bool last, const angle_table& t) {
  constexpr std::size_t w = width_of<V>;
  if (group.size() > 2 * w)
    follow_lanes<V, 3>(group, a1, a2, first, last, t);
  else if (group.size() > w)
    follow_lanes<V, 2>(group, a1, a2, first, last, t);
  else
    follow_lanes<V, 1>(group, a1, a2, first, last, t);
}

void follow_baseline(std::span<rotated_pair> group, std::span<const double> a1,
                     std::span<const double> a2, bool first, bool last, const angle_table& t) {
  follow_group<lanes2>(group, a1, a2, first, last, t);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] void follow_avx2(std::span<rotated_pair> group,
                                         std::span<const double> a1, std::span<const double> a2,
                                         bool first, bool last, const angle_table& t) {
  follow_group<lanes4>(group, a1, a2, first, last, t);
}
#endif

}  // namespace

angle_table::angle_table() {
  for (std::size_t i = 0; i < rotd_angle_count; ++i) {
    const double angle = std::numbers::pi * static_cast<double>(i) / rotd_angle_count;
    cosine[i] = std::cos(angle);
    sine[i] = std::sin(angle);
  }
  // Slots beyond the sectors have no direction: their bound is the slack
  // alone, never above a smallest peak of +inf.
  middle_cosine.fill(0.0);
  middle_sine.fill(0.0);
  const double degree = std::numbers::pi / 180.0;
  for (std::size_t s = 0; s < rotd_sectors; ++s) {
    const double middle = (static_cast<double>(s * rotd_sector_angles) +
                           0.5 * static_cast<double>(rotd_sector_angles - 1)) * degree;
    middle_cosine[s] = std::cos(middle);
    middle_sine[s] = std::sin(middle);
  }
  half_width_sine = std::sin(0.5 * static_cast<double>(rotd_sector_angles - 1) * degree) * (1.0 + 1e-9);
}

void rotated_pair::take(double p1, double p2, const angle_table& t) {
  take_lanes<lanes2>(*this, p1, p2, t);
}

void rotated_pair::finish(double e1, double e2, const angle_table& t) {
  const double p1 = y1p + o.g1_p * e1, q1 = y1q + o.g1_q * e1;
  const double p2 = y2p + o.g1_p * e2, q2 = y2q + o.g1_q * e2;
  for (std::size_t i = 0; i < top.size(); ++i) {
    const double c = t.cosine[i], s = t.sine[i];
    top[i] = std::max(top[i], free_vibration_peak(c * p1 + s * p2, c * q1 + s * q2, o.damping));
  }
}

std::size_t pairs_together(simd_path path) {
  return path == simd_path::avx2 && runs_on_this_machine(path) ? 3 * width_of<lanes4>
                                                               : 3 * width_of<lanes2>;
}

void follow_pairs(std::span<rotated_pair> group, std::span<const double> a1,
                  std::span<const double> a2, bool first, bool last, const angle_table& t,
                  simd_path path) {
  if (group.empty()) return;
#if defined(__x86_64__)
  if (path == simd_path::avx2 && runs_on_this_machine(path))
    return follow_avx2(group, a1, a2, first, last, t);
#endif
  follow_baseline(group, a1, a2, first, last, t);
}

}  // namespace sitewave::response
