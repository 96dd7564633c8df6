"""analyse: one run of the command's analysis in memory.

The keywords are the options of `sitewave run` (with "_" for "-"): each is
turned into the command's own option text and read by the command's option
table, so that its checks and messages are the command's.
"""

import os as _os
import warnings as _warnings

from . import _sitewave
from .result import Result


class SitewaveWarning(UserWarning):
    """A warning the command would print (legacy physics, near-grazing
    incidence, a filter above Nyquist, results that are not finite)."""


# The command's options that the Python objects and calls decide instead.
_SET_ELSEWHERE = {"record", "at2", "soil", "profile", "water-table", "curves", "out", "force",
                  "quiet"}


def _number_text(value):
    if isinstance(value, bool):
        raise ValueError(f"{value!r}: a number is expected")
    number = float(value)
    if number.is_integer() and abs(number) < 1e15:
        return str(int(number))
    return repr(number)


def _option_text(value):
    """A keyword's value as the command line would give it."""
    if isinstance(value, (str, _os.PathLike)):
        return _os.fspath(value)
    if hasattr(value, "__iter__"):
        return ",".join(v if isinstance(v, str) else _number_text(v) for v in value)
    return _number_text(value)


def _option_words(options):
    words = []
    for name, value in options.items():
        if value is None:
            continue
        words.append(f"--{name.replace('_', '-')}={_option_text(value)}")
    return words


def analyse(record, profile, *, angle=None, input=None, motion=None, filter=None, scale=None,
            units=None, physics=None, periods=None, damping=None, smoothing=None, threads=None,
            analysis=None, strain_ratio=None, magnitude=None, tolerance=None,
            max_iterations=None, sublayer_frequency=None, fft_size=None, at_depth=None,
            outputs=None, cache=None):
    options = dict(locals())
    del options["record"], options["profile"]
    run = _sitewave.run(record, profile, _option_words(options))
    for text in run.warnings:
        _warnings.warn(text, SitewaveWarning, stacklevel=2)
    return Result(run, record, profile)


def _keyword_help():
    """The options part of analyse's docstring, from the command's option table."""
    lines = []
    for name, value_name, text in _sitewave.run_options():
        if name in _SET_ELSEWHERE:
            continue
        keyword = name.replace("-", "_")
        lines.append(f"{keyword} ({value_name})" if value_name else keyword)
        lines.extend("    " + line.strip() for line in text.split("\n"))
    return "\n".join(lines)


analyse.__doc__ = f"""Analyses a record over a profile as `sitewave run` does and
returns a Result (arrays, the clean files' tables, run.json as a dict and
.to_folder, which writes exactly the files the command writes).

record   a Record (read_record, read_at2, or Record(dt, samples, names)).
profile  a Profile (read_soil, read_profile, or Profile(thickness=..., vs=...)).

Every other argument is keyword-only, None leaving the command's default.
Each is the command's option of the same name ("_" for "-"): a number, a
text, or a sequence where the option takes a list (filter=(0.1, 0.2, 20, 24),
damping=(0.02, 0.05), periods=[0.1, 0.2, 0.5] or the name of a file of
periods, at_depth=[10, 20], outputs=["response"], cache="spectra-cache").
Bad values raise
ValueError with the command's message ("--angle 95: ...").

{_keyword_help()}

The command's warnings are issued as SitewaveWarning. The GIL is released
while the analysis runs; the results never depend on threads.
"""
