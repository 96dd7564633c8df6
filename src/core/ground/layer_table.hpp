// The layer table: eight parallel columns, one row per layer from the
// surface down; row nl is the half-space below the layers. The dialogue's
// table holds ml rows; a table made for a longer profile holds as many rows
// as it is made with.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace sitewave::ground {

inline constexpr int ml = 50;  // capacity of the dialogue's layer table

// One column, indexed from 1 as every table of the run is.
class layer_column {
 public:
  explicit layer_column(int rows) : v_(static_cast<std::size_t>(rows)) {}

  float& operator()(int i) { return v_[static_cast<std::size_t>(i - 1)]; }
  const float& operator()(int i) const { return v_[static_cast<std::size_t>(i - 1)]; }

  std::span<float> all() { return v_; }
  int size() const { return static_cast<int>(v_.size()); }

 private:
  std::vector<float> v_;
};

struct layer_table {
  layer_table() : layer_table(ml) {}
  explicit layer_table(int capacity)
      : dns(capacity),
        vp(capacity),
        qp(capacity),
        fp(capacity),
        vs(capacity),
        qs(capacity),
        fs(capacity),
        thk(capacity) {}

  int capacity() const { return dns.size(); }

  layer_column dns;  // density
  layer_column vp;   // P-wave velocity
  layer_column qp;   // P-wave base quality factor
  layer_column fp;   // P-wave frequency coefficient of the quality factor
  layer_column vs;   // S-wave velocity
  layer_column qs;   // S-wave base quality factor
  layer_column fs;   // S-wave frequency coefficient of the quality factor
  layer_column thk;  // thickness in metres (not used for row nl)
  int nl = 0;        // rows in use
};

}  // namespace sitewave::ground
