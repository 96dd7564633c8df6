"""sitewave: seismic site response of layered ground, from Python.

The command's core and its checks, with numpy arrays in and out::

    import sitewave
    record = sitewave.read_record("examples/kaikoura_wtmc.csv")
    profile = sitewave.read_soil("examples/soil_dat.csv")
    result = sitewave.analyse(record, profile, input="outcrop", units="mm/s2")
    result.response["surface"]       # PSA (damping, period, component)
    result.to_folder("kaikoura-out")  # the files `sitewave run` writes

Every call releases the GIL while the core computes, so threads, process
pools and Dask workers run analyses side by side. Bad input raises
ValueError with the command's one-line message. Importing loads neither
numpy's optional parts nor pandas nor matplotlib.
"""

import os as _os

from . import _sitewave
from ._sitewave import Profile, Record, __version__
from .analysis import SitewaveWarning, analyse
from .result import Result

__all__ = [
    "Profile", "Record", "Result", "SitewaveWarning", "analyse", "default_periods",
    "konno_ohmachi", "read_at2", "read_profile", "read_record", "read_soil", "response_spectrum", "transfer",
]


def read_record(path):
    """Reads a record in the command's format: a title line naming the time
    column and one to three components (H1, H2, V1), then one row of numbers
    per time step. Returns a Record; ValueError names the file, line and value
    of anything the command would refuse."""
    return _sitewave.read_record(_os.fspath(path))


def read_at2(*paths):
    """Reads one to three PEER .AT2 files, one per component (H1, H2, V), into
    one Record (samples in g). The files must share NPTS and DT."""
    return _sitewave.read_at2([_os.fspath(p) for p in paths])


def read_soil(path, water_table=None):
    """Reads a ground model file in the dialogue's format (soil_dat.csv: the
    angle, the input wave type and one row per layer, the last the
    half-space). water_table: its depth in m (an equivalent-linear run keeps
    the P velocity of the rows below it). Returns a Profile."""
    return _sitewave.read_soil(_os.fspath(path), water_table)


def read_profile(path, water_table=None, curves=None):
    """Reads a headed layer profile as `sitewave run --profile` does: a CSV
    naming each column with its unit (name, thickness_m, vs_mps,
    density_t_m3 or unit_weight_kn_m3, vp_mps or poisson, damping or the Q
    columns, curve, pi, ocr, ...), one row per layer, the half-space last.
    water_table: its depth in m (default: dry throughout); curves: a file of
    user soil curves the curve column may name. Returns a Profile whose
    layers carry their soil curves, for analysis="eql"."""
    curves = None if curves is None else _os.fspath(curves)
    return _sitewave.read_profile(_os.fspath(path), water_table, curves)


def transfer(profile, freqs_hz, angle=None, physics="exact", threads=None):
    """Transfer functions of a profile: the surface motion over the motion
    of the record, at the frequencies freqs_hz (Hz, an array).

    profile   a Profile.
    freqs_hz  frequencies in Hz; for physics="legacy" evenly spaced.
    angle     incidence angle in the half-space in degrees (default: the
              profile's).
    physics   "exact" (oblique SH and coupled P-SV, double precision) or
              "legacy" (the dialogue's single-precision tables).
    threads   threads sharing the frequencies (default: SITEWAVE_THREADS or
              every core; the values never depend on it).

    Returns a dict: "freq_hz", and "sh", "vertical" and "radial", each a dict
    of complex arrays "incident" (the surface over the incident wave at the
    top of the half-space), "within" (over the total motion there) and
    "outcrop" (over the motion at a free surface of the half-space). The
    legacy physics has no radial motion ("radial" is None).
    """
    return _sitewave.transfer(profile, freqs_hz, angle, physics, threads)


def response_spectrum(acc, dt, periods, damping=0.05, threads=None):
    """Pseudo-spectral acceleration of an acceleration series acc (1-D, any
    unit) with time step dt (s) at the given periods (s; period 0 gives the
    peak acceleration), for one damping ratio (an array of shape
    (len(periods),)) or several (shape (len(damping), len(periods))). The
    result is in the unit of acc."""
    return _sitewave.response_spectrum(acc, dt, periods, damping, threads)


def konno_ohmachi(freqs, amplitudes, b=40):
    """Konno-Ohmachi smoothing of Fourier amplitudes with bandwidth b.
    freqs are evenly spaced from 0 or from the first step df (as in
    spectra.csv); amplitudes has shape (n,) or (n, k), one row per frequency.
    Returns the smoothed amplitudes in the same shape."""
    return _sitewave.konno_ohmachi(freqs, amplitudes, b)


def default_periods():
    """The command's 100 response-spectrum periods from 0.01 to 10 s, evenly
    spaced in log period (analyse adds period 0, the peak acceleration)."""
    return _sitewave.default_periods()
