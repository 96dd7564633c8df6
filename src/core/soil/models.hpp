// The published soil models behind the registry of model_registry.hpp. Their
// arguments arrive already checked against the ranges the registry states,
// so these build curves without refusing anything.
#pragma once

#include <span>

#include "core/soil/curve.hpp"

namespace sitewave::soil {

// Darendeli (2001): plasticity index (%), overconsolidation ratio, mean
// effective stress (atm), loading frequency (Hz), number of cycles.
curve darendeli(double plasticity_index, double ocr, double mean_stress_atm, double frequency_hz,
                double cycles);

// Menq (2003) for gravels: coefficient of uniformity, D50 (mm), mean
// effective stress (atm), number of cycles.
curve menq(double uniformity, double d50_mm, double mean_stress_atm, double cycles);

// Vucetic and Dobry (1991), 0 <= PI <= 200.
curve vucetic_dobry(double plasticity_index);

enum class sand_bound { upper, mean, lower };

// Seed and Idriss (1970) sand, by the bound of its modulus reduction.
curve seed_idriss_sand(sand_bound bound);

// Idriss (1990) clay.
curve idriss_clay();

// EPRI (1993) sand for a layer whose middle lies at this depth (m, >= 0).
curve epri_sand(double depth_m);

// A tabulated curve from published columns: strains in percent, G/Gmax, and
// damping in percent.
curve published_table(std::span<const double> modulus_strain_percent,
                      std::span<const double> modulus_ratio,
                      std::span<const double> damping_strain_percent,
                      std::span<const double> damping_percent);

}  // namespace sitewave::soil
