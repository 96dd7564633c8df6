// The cache's entries: a small binary file per key holding, per damping
// ratio and component, whether the component is there and its PSA values,
// then per damping ratio RotD50 and RotD100 in the same way.
#include "cli/analysis/spectra_cache.hpp"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>

#include "cli/io/atomic_file.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"

#ifndef SITEWAVE_VERSION
#define SITEWAVE_VERSION "unknown"
#endif

namespace sitewave::cli {

namespace fs = std::filesystem;

namespace {

constexpr char magic[8] = {'s', 'w', 'p', 's', 'a', '0', '0', '2'};

class hash64 {
 public:
  void add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
      h_ ^= bytes[i];
      h_ *= 1099511628211ull;
    }
  }
  template <class T>
  void add_values(std::span<const T> values) {
    const std::uint64_t n = values.size();
    add(&n, sizeof n);
    add(values.data(), values.size_bytes());
  }
  std::string hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h_));
    return text;
  }

 private:
  std::uint64_t h_ = 14695981039346656037ull;
};

std::string key_of(const record& r, std::span<const double> periods,
                   std::span<const double> damping) {
  hash64 h;
  h.add(SITEWAVE_VERSION, sizeof SITEWAVE_VERSION);
  h.add_values(std::span<const float>(r.time));
  for (const auto& component : r.samples) h.add_values(std::span<const float>(component));
  h.add_values(periods);
  h.add_values(damping);
  return h.hex();
}

void put(std::string& out, const void* data, std::size_t size) {
  out.append(static_cast<const char*>(data), size);
}

std::string encoded(const motion_spectra& m, std::size_t periods) {
  std::string out(magic, sizeof magic);
  const std::uint64_t counts[2] = {m.psa.size(), periods};
  put(out, counts, sizeof counts);
  const auto put_series = [&out](const std::vector<double>& values) {
    const std::uint8_t present = values.empty() ? 0 : 1;
    put(out, &present, 1);
    if (present) put(out, values.data(), values.size() * sizeof(double));
  };
  for (const auto& per_damping : m.psa)
    for (const auto& values : per_damping) put_series(values);
  for (std::size_t d = 0; d < m.psa.size(); ++d)
    for (std::size_t k = 0; k < 2; ++k) put_series(d < m.rotd.size() ? m.rotd[d][k] : std::vector<double>{});
  return out;
}

// The spectra an entry holds, or nothing when it is not a whole entry of
// this shape.
std::optional<motion_spectra> decoded(const std::string& text, std::size_t dampings,
                                      std::size_t periods) {
  std::size_t at = 0;
  const auto take = [&](void* to, std::size_t size) {
    if (text.size() - at < size) return false;
    std::memcpy(to, text.data() + at, size);
    at += size;
    return true;
  };
  char head[sizeof magic];
  std::uint64_t counts[2];
  if (!take(head, sizeof head) || std::memcmp(head, magic, sizeof magic) != 0 ||
      !take(counts, sizeof counts) || counts[0] != dampings || counts[1] != periods) {
    return std::nullopt;
  }
  const auto take_series = [&](std::vector<double>& values) {
    std::uint8_t present = 0;
    if (!take(&present, 1)) return false;
    if (present == 0) return true;
    values.resize(periods);
    return take(values.data(), periods * sizeof(double));
  };
  motion_spectra m;
  m.psa.resize(dampings);
  m.rotd.resize(dampings);
  for (auto& per_damping : m.psa)
    for (auto& values : per_damping)
      if (!take_series(values)) return std::nullopt;
  for (auto& per_damping : m.rotd)
    for (auto& values : per_damping)
      if (!take_series(values)) return std::nullopt;
  if (at != text.size()) return std::nullopt;
  return m;
}

}  // namespace

motion_spectra cached_record_spectra(const fs::path& folder, const record& r,
                                     std::span<const double> periods,
                                     std::span<const double> damping,
                                     const std::function<motion_spectra()>& make) {
  const fs::path entry = folder / ("psa-" + key_of(r, periods, damping) + ".bin");
  std::error_code ec;
  if (fs::is_regular_file(entry, ec)) {
    try {
      if (auto found = decoded(read_file(entry), damping.size(), periods.size())) return *found;
    } catch (const input_error&) {
      // Unreadable: made again below.
    }
  }
  motion_spectra m = make();
  try {
    fs::create_directories(folder, ec);
    replace_file(entry, encoded(m, periods.size()));
  } catch (const input_error&) {
    // The cache only spares work: a run goes on without it.
  }
  return m;
}

}  // namespace sitewave::cli
