"""Writes a small results folder of the shape `sitewave run` leaves.

A modulated-noise record through one soft layer over a half-space: the
amplification, spectra, response spectra and surface waveforms agree with
each other, so the figures drawn from them look like those of a real run.
"""

import json
from pathlib import Path

import numpy as np

STEP_S = 0.02
SAMPLES = 512
RECORD_SAMPLES = 400
COMPONENTS = ("H1", "H2", "V1")


def record():
    """Three components in mm/s2, zero after the record's end."""
    rng = np.random.default_rng(7)
    time = np.arange(SAMPLES) * STEP_S
    envelope = (time / 2.0) ** 2 * np.exp(-time / 1.2)
    envelope[RECORD_SAMPLES:] = 0.0
    scale = {"H1": 900.0, "H2": 700.0, "V1": 350.0}
    motion = {}
    for component in COMPONENTS:
        noise = np.convolve(rng.standard_normal(SAMPLES), np.ones(4) / 4, "same")
        motion[component] = scale[component] * envelope * noise
    return time, motion


def layer_amplification(freq, velocity, impedance_ratio):
    """Surface over incident motion of a 20 m layer with 5 % damping."""
    wave_number = 2 * np.pi * freq / (velocity * (1 + 0.05j)) * 20.0
    ratio = impedance_ratio * (1 + 0.05j)
    return 2.0 / (np.cos(wave_number) + 1j * ratio * np.sin(wave_number))


def write_csv(path, header, columns):
    rows = np.column_stack(columns)
    with open(path, "w", encoding="utf-8") as stream:
        stream.write(",".join(header) + "\n")
        for row in rows:
            stream.write(",".join(f"{value:.9g}" for value in row) + "\n")


def complex_columns(name, values):
    header = [f"{name}_{part}" for part in ("re", "im", "abs", "phase_deg")]
    parts = [values.real, values.imag, np.abs(values), np.angle(values, deg=True)]
    return header, parts


def smoothed(values):
    return np.convolve(values, np.ones(9) / 9, "same")


def oscillator_displacement(acceleration, period, damping):
    """An oscillator's relative displacement history, by FFT."""
    padded = np.concatenate([acceleration, np.zeros(3 * SAMPLES)])
    freq = np.fft.rfftfreq(padded.size, STEP_S)
    natural = 2 * np.pi / period
    forcing = 2 * np.pi * freq
    denominator = natural**2 - forcing**2 + 2j * damping * natural * forcing
    return np.fft.irfft(-np.fft.rfft(padded) / denominator, padded.size)


def pseudo_acceleration(acceleration, period, damping):
    """Peak of an oscillator's relative displacement times its ω²."""
    displacement = oscillator_displacement(acceleration, period, damping)
    return (2 * np.pi / period) ** 2 * np.abs(displacement).max()


def rotd(motion, period, damping):
    """RotD50 and RotD100 of H1, H2: the histories rotated through 0..179°."""
    if period == 0:
        pair, factor = (motion["H1"], motion["H2"]), 1.0
    else:
        pair = [oscillator_displacement(motion[c], period, damping) for c in ("H1", "H2")]
        factor = (2 * np.pi / period) ** 2
    angles = np.radians(np.arange(180))[:, None]
    peaks = np.abs(np.cos(angles) * pair[0] + np.sin(angles) * pair[1]).max(axis=1)
    return factor * np.median(peaks), factor * peaks.max()


def response_rows(inputs, outputs, dampings):
    periods = np.concatenate([[0.0], np.logspace(-2, 1, 40)])
    rows = []
    for damping in dampings:
        for period in periods:
            row_in, row_out = [], []
            for component in COMPONENTS:
                if period == 0:
                    row_in.append(np.abs(inputs[component]).max())
                    row_out.append(np.abs(outputs[component]).max())
                    continue
                row_in.append(pseudo_acceleration(inputs[component], period, damping))
                row_out.append(pseudo_acceleration(outputs[component], period, damping))
            ratio = [o / i for o, i in zip(row_out, row_in)]
            pairs = [*rotd(inputs, period, damping), *rotd(outputs, period, damping)]
            rows.append([damping, period] + row_in + row_out + ratio + pairs + [pairs[2] / pairs[0]])
    return np.array(rows)


def write_results(folder, exact=True, dampings=(0.05,), run=None):
    """Writes the four tables and run.json into `folder`; returns its path."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    time, inputs = record()
    freq = np.fft.rfftfreq(SAMPLES, STEP_S)
    shear = layer_amplification(freq, 200.0, 0.3)
    compression = layer_amplification(freq, 800.0, 0.4)
    transfer = {"H1": shear, "H2": shear, "V1": compression}

    header, columns = ["freq_hz"], [freq]
    named = [("sh", shear), ("psv", compression)]
    if exact:
        named.append(("radial", 0.4 * compression * np.exp(0.3j)))
    for name, values in named:
        more_header, more_columns = complex_columns(name, values)
        header, columns = header + more_header, columns + more_columns
    write_csv(folder / "transfer.csv", header, columns)

    spectra_in = {c: np.fft.rfft(inputs[c]) * STEP_S for c in COMPONENTS}
    outputs = {
        c: np.fft.irfft(spectra_in[c] * transfer[c] / STEP_S, SAMPLES)
        for c in COMPONENTS
    }
    raw = [np.abs(spectra_in[c][1:]) for c in COMPONENTS]
    raw += [np.abs((spectra_in[c] * transfer[c])[1:]) for c in COMPONENTS]
    header = ["freq_hz"] + [f"{side}_{c}" for side in ("in", "out") for c in COMPONENTS]
    header += [f"{name}_smooth" for name in header[1:]]
    write_csv(
        folder / "spectra.csv", header, [freq[1:]] + raw + [smoothed(v) for v in raw]
    )

    header = ["damping", "period_s"]
    header += [f"{kind}_{c}" for kind in ("in", "out", "ratio") for c in COMPONENTS]
    header += ["in_rotd50", "in_rotd100", "out_rotd50", "out_rotd100", "ratio_rotd50"]
    rows = response_rows(inputs, outputs, dampings)
    write_csv(folder / "response.csv", header, list(rows.T))

    header = ["time_s"] + list(COMPONENTS) + [f"in_{c}" for c in COMPONENTS]
    columns = (
        [time] + [outputs[c] for c in COMPONENTS] + [inputs[c] for c in COMPONENTS]
    )
    write_csv(folder / "surface.csv", header, columns)

    # One soft layer over the half-space, per horizontal component.
    profile = ["component,layer,name,top_m,bottom_m,vs_initial_mps,vs_mps,modulus_ratio,"
               "damping,max_strain_pct,eff_strain_pct,max_stress_kpa,pga"]
    for component, strain in (("H1", 0.08), ("H2", 0.05)):
        profile.append(f"{component},1,soft clay,0,20,200,150,0.56,0.08,{strain},{0.65 * strain},"
                       f"40,{np.abs(outputs[component]).max():.9g}")
        profile.append(f"{component},2,,20,,800,800,1,0.02,0.01,0.0065,60,"
                       f"{np.abs(inputs[component]).max():.9g}")
    (folder / "profile.csv").write_text("\n".join(profile) + "\n", encoding="utf-8")

    settings = {
        "units": "mm/s2",
        "motion": "none",
        "physics": "exact" if exact else "legacy",
        "input": "incident",
        "angle_deg": 30.0,
        "record": "records/kaikoura_wtmc.csv",
        "soil": "soil_dat.csv",
        "components": {"H1": "N28W", "H2": "S62W", "V1": "Up"},
    }
    settings.update(run or {})
    (folder / "run.json").write_text(json.dumps(settings, indent=2), encoding="utf-8")
    return folder
