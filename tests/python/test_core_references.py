"""The core functions on plain arrays against closed forms: the transfer
functions of one nearly elastic layer over a half-space at vertical
incidence, the steady-state response of damped oscillators to a slowly
tapered sine, and Konno-Ohmachi smoothing written out term by term."""

import numpy as np
import pytest

import sitewave

THICKNESS = 20.0
LAYER = dict(density=1.8, vs=200.0, vp=600.0)
ROCK = dict(density=2.2, vs=1200.0, vp=3000.0)
FREQS = np.linspace(0.1, 20.0, 400)


def one_layer():
    return sitewave.Profile(thickness=[THICKNESS], density=[LAYER["density"], ROCK["density"]],
                            vs=[LAYER["vs"], ROCK["vs"]], vp=[LAYER["vp"], ROCK["vp"]],
                            qs=1e5, qp=1e5, angle=0)


def layer_closed_form(velocity):
    """Surface over outcrop and over the total motion at the base, for the
    layer's wave of the given velocity column ("vs" or "vp")."""
    kh = 2 * np.pi * FREQS * THICKNESS / LAYER[velocity]
    impedance_ratio = LAYER["density"] * LAYER[velocity] / (ROCK["density"] * ROCK[velocity])
    outcrop = 1 / (np.cos(kh) + 1j * impedance_ratio * np.sin(kh))
    return outcrop, np.cos(kh)


@pytest.mark.parametrize("physics", ["exact", "legacy"])
def test_transfer_of_one_layer_is_the_closed_form(physics):
    t = sitewave.transfer(one_layer(), FREQS, angle=0, physics=physics)
    waves = [("sh", "vs")] + ([("vertical", "vp")] if physics == "exact" else [])
    for wave, velocity in waves:
        outcrop, base_over_surface = layer_closed_form(velocity)
        h = t[wave]
        # Either sign convention of the time factor: compare with the conjugate too.
        closest = outcrop if abs(h["outcrop"][5] - outcrop[5]) < 1e-2 else np.conj(outcrop)
        assert np.allclose(h["outcrop"], closest, rtol=2e-3, atol=1e-3), wave
        assert np.allclose(h["incident"], 2 * h["outcrop"], rtol=1e-12), wave
        assert np.allclose(1 / h["within"], base_over_surface, atol=1e-3), wave
        # At the layer's resonances the amplification is the impedance ratio.
        rock_over_layer = ROCK["density"] * ROCK[velocity] / (LAYER["density"] * LAYER[velocity])
        assert np.max(np.abs(h["outcrop"])) == pytest.approx(rock_over_layer, rel=0.02), wave
    if physics == "exact":
        assert np.max(np.abs(t["radial"]["outcrop"])) < 1e-12  # no P-SV coupling at 0 degrees
    else:
        assert t["radial"] is None


def test_response_spectrum_is_the_steady_state_of_a_tapered_sine():
    dt, forcing_period = 0.005, 0.5
    time = np.arange(80000) * dt
    acc = np.sin(np.pi * time / time[-1]) ** 2 * np.sin(2 * np.pi * time / forcing_period)
    periods = np.array([0.0, 0.1, 0.2, 0.3, 0.4, 0.7, 1.0, 2.0])
    damping = [0.02, 0.05, 0.1]
    psa = sitewave.response_spectrum(acc, dt, periods, damping=damping)
    assert psa.shape == (3, len(periods))
    r = periods[1:] / forcing_period
    for row, ratio in zip(psa, damping):
        steady = 1 / np.sqrt((1 - r**2) ** 2 + (2 * ratio * r) ** 2)
        assert np.allclose(row[1:], steady, rtol=2e-3), ratio
        assert row[0] == np.max(np.abs(acc))  # period 0: the peak acceleration
    one = sitewave.response_spectrum(acc, dt, periods, damping=0.05)
    assert np.array_equal(one, psa[1])


def test_konno_ohmachi_is_the_window_written_out():
    b = 40
    freqs = np.arange(1001) * 0.05
    amplitudes = np.column_stack([1 + 0.5 * np.sin(freqs) + 0.1 * freqs, np.exp(-freqs / 10)])
    smooth = sitewave.konno_ohmachi(freqs, amplitudes, b=b)
    assert smooth.shape == amplitudes.shape
    for i in range(1, len(freqs), 37):
        x = b * np.log10(freqs[1:] / freqs[i])
        window = np.ones_like(x)
        away = np.abs(x) > 1e-12
        window[away] = (np.sin(x[away]) / x[away]) ** 4
        expected = window @ amplitudes[1:] / window.sum()
        assert np.allclose(smooth[i], expected, rtol=1e-3), freqs[i]
    assert np.allclose(sitewave.konno_ohmachi(freqs, np.full(len(freqs), 3.0)), 3.0, rtol=1e-9)
