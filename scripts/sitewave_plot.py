#!/usr/bin/python3
"""Draws the figures of a sitewave results folder as PNG files.

Reads transfer.csv, spectra.csv, response.csv, surface.csv and run.json from
a folder written by `sitewave run` and writes amplification.png, fourier.png,
response.png, response-loglog.png, waveforms.png and husid.png into DIR/plots, or into --out PLOTDIR.
A figure whose table is missing is skipped with a note on standard error.

Exit status: 0 when every figure whose table is present was written; 1 when
the folder is missing or holds none of the tables, or a table could not be
read or a figure not written; 2 for a usage error.
"""

import argparse
import csv
import json
import math
import os
import re
import sys
from dataclasses import dataclass, field
from pathlib import Path

import numpy as np
from matplotlib.figure import Figure
from matplotlib.ticker import FuncFormatter, LogLocator

FIGURE_SIZE_IN = (10.0, 7.0)
DEFAULT_DPI = 120
DPI_RANGE = (30, 600)
COMPONENTS = ("H1", "H2", "V1")
INPUT_COLOUR = "tab:blue"
SURFACE_COLOUR = "tab:red"
LEGACY_FILES = ("Amp-Factors.csv", "amp1.csv", "wave1.csv")

INPUT_TYPES = {
    "incident": "incident wave in the half-space",
    "within": "within motion at the top of the half-space",
    "outcrop": "outcrop motion",
}
QUANTITIES = {0: "displacement", 1: "velocity", 2: "acceleration", 3: "jerk"}
LENGTH_UNITS = {"nm", "um", "µm", "mm", "cm", "dm", "m", "km", "in", "ft"}
ACCELERATION_UNITS = {"g", "gal", "Gal"}
SUPERSCRIPTS = {1: "", 2: "²", 3: "³"}
TEXT_COLUMNS = {"location", "component", "name", "curve"}
# Written only by some runs (the profile: exact physics), so their absence is no news.
OPTIONAL_TABLES = {"profile.csv", "depth_motions.csv", "intensity.csv", "curves.csv"}

# Raw or input curves stay light behind the smoothed or surface ones.
LIGHT = {"lw": 0.5, "alpha": 0.35}
BOLD = {"lw": 1.8}
ON_LEFT_SPINE = {"ls": "none", "ms": 8, "clip_on": False, "zorder": 5}
OUTSIDE_RIGHT = {"loc": "upper left", "bbox_to_anchor": (1.02, 1.0), "fontsize": 9}


class ResultsError(Exception):
    """A results folder or table that cannot be used, told in one line."""


@dataclass
class RunInfo:
    """What run.json says about the run, with safe defaults for labels."""

    units: str = ""
    motion: str = ""
    physics: str = ""
    input_type: str = ""
    angle_deg: float | None = None
    record: str = ""
    soil: str = ""
    components: dict = field(default_factory=dict)
    unit_m_s2: float | None = None  # the record unit in m/s², when known
    quarter_wavelength_hz: float | None = None
    scale: float = 1.0  # display unit per record unit (--units)
    display_units: str = ""
    analysis: str = ""
    tolerance: float | None = None
    iterations: dict = field(default_factory=dict)  # component: [{modulus, damping}, ...]


# Accelerations a figure may be shown in (--units), in m/s² per unit.
KNOWN_UNITS = {"g": 9.80665, "m/s2": 1.0, "cm/s2": 0.01, "gal": 0.01, "mm/s2": 0.001}


@dataclass
class Unit:
    """A record unit split as base / s^per_second, so integrating is a step."""

    base: str
    per_second: int


# ---------------------------------------------------------------- reading


def literal(text):
    """Keeps matplotlib from reading dollar signs in file text as mathtext."""
    return str(text).replace("$", r"\$")


def parse_number(text, where):
    try:
        return float(text)
    except ValueError:
        raise ResultsError(f"{where}: '{text.strip()}' is not a number") from None


def read_table(path):
    """Reads a results CSV into named float columns, refusing ragged rows."""
    try:
        with open(path, newline="", encoding="utf-8-sig") as stream:
            rows = list(csv.reader(stream))
    except (OSError, UnicodeDecodeError, csv.Error) as error:
        raise ResultsError(f"{path}: cannot be read ({error})") from None
    if not rows:
        raise ResultsError(f"{path}: the file is empty")
    names = [name.strip() for name in rows[0]]
    values, texts = [], []
    numeric = [i for i, name in enumerate(names) if name not in TEXT_COLUMNS]
    for line, row in enumerate(rows[1:], start=2):
        if not row:
            continue
        if len(row) != len(names):
            raise ResultsError(
                f"{path}, line {line}: {len(row)} values where the header "
                f"names {len(names)} columns"
            )
        where = f"{path}, line {line}"
        values.append([parse_number(row[i], where) if row[i] else math.nan for i in numeric])
        texts.append([row[i] for i in range(len(names)) if i not in numeric])
    if not values:
        raise ResultsError(f"{path}: no data rows after the header")
    data = np.array(values, dtype=float)
    table = {names[i]: data[:, k] for k, i in enumerate(numeric)}
    text_names = [name for i, name in enumerate(names) if i not in numeric]
    for k, name in enumerate(text_names):
        table[name] = np.array([row[k] for row in texts])
    return table


def at_location(table, location):
    """The rows of one location (response.csv), or the table as it is."""
    if "location" not in table:
        return table
    keep = table["location"] == location
    return {name: column[keep] for name, column in table.items()}


def require(table, path, names):
    missing = [name for name in names if name not in table]
    if missing:
        raise ResultsError(f"{path}: no column {', '.join(missing)}")


def text_value(raw, key):
    value = raw.get(key, "")
    return value if isinstance(value, str) else ""


def number_value(raw, key):
    value = raw.get(key)
    if isinstance(value, (int, float)) and not isinstance(value, bool):
        return float(value)
    return None


def angle_value(raw):
    return number_value(raw, "angle_deg")


def read_run(path):
    """Reads run.json for labels; a missing or broken one only costs labels."""
    try:
        with open(path, encoding="utf-8") as stream:
            raw = json.load(stream)
    except FileNotFoundError:
        note(f"{path}: missing; the figures get generic labels")
        return RunInfo()
    except (OSError, ValueError) as error:
        note(f"{path}: cannot be read ({error}); the figures get generic labels")
        return RunInfo()
    if not isinstance(raw, dict):
        note(f"{path}: not a JSON object; the figures get generic labels")
        return RunInfo()
    components = raw.get("components")
    return RunInfo(
        units=text_value(raw, "units").strip(),
        motion=text_value(raw, "motion"),
        physics=text_value(raw, "physics"),
        input_type=text_value(raw, "input"),
        angle_deg=angle_value(raw),
        record=text_value(raw, "record"),
        soil=text_value(raw, "soil") or text_value(raw, "profile"),
        components=components if isinstance(components, dict) else {},
        unit_m_s2=number_value(raw, "unit_m_s2"),
        quarter_wavelength_hz=number_value(raw, "quarter_wavelength_hz"),
        analysis=text_value(raw, "analysis"),
        tolerance=number_value(raw.get("eql") or {}, "tolerance"),
        iterations=iterations_of(raw.get("eql")),
    )


def iterations_of(eql):
    """Each component's iteration history in run.json's eql record."""
    if not isinstance(eql, dict):
        return {}
    out = {}
    for component in COMPONENTS:
        entry = eql.get(component)
        if isinstance(entry, dict) and isinstance(entry.get("max_change"), list):
            out[component] = [step for step in entry["max_change"] if isinstance(step, dict)]
    return out


def with_display_units(info, units):
    """Converts the figures' accelerations to `units` when both are known."""
    if not units:
        return info
    if info.unit_m_s2 is None:
        raise ResultsError(
            f"--units {units}: the record's unit '{info.units or 'not stated'}' is not one "
            f"of {', '.join(KNOWN_UNITS)}, so it cannot be converted"
        )
    info.scale = info.unit_m_s2 / KNOWN_UNITS[units]
    info.display_units = units
    return info


def shown_units(info):
    """The unit of accelerations as the figures show them."""
    return info.display_units or info.units


def present_components(table, pattern="{}"):
    """The components a table has columns for, in the order H1, H2, V1."""
    return [c for c in COMPONENTS if pattern.format(c) in table]


# ---------------------------------------------------------------- labels


def parse_unit(units):
    """Splits 'mm/s2', 'm/s^2', 'cm/s**2' or 'cm/s²' into base and power."""
    match = re.fullmatch(r"(.+?)\s*/\s*s(?:\^|\*\*)?([0-9²³]?)", units)
    if match:
        power = {"": "1", "²": "2", "³": "3"}.get(match[2], match[2])
        return Unit(match[1], int(power))
    return Unit(units or "record unit", 0)


def render_unit(unit):
    power = unit.per_second
    if power == 0:
        return literal(unit.base)
    mark = "/s" if power > 0 else "·s"
    exponent = SUPERSCRIPTS.get(abs(power), f"^{abs(power)}")
    return literal(unit.base + mark + exponent)


def integrated(unit, steps):
    """The unit after integrating `steps` times (negative: differentiating)."""
    return Unit(unit.base, unit.per_second - steps)


def record_order(unit):
    """0 for displacement, 1 velocity, 2 acceleration.

    A record whose unit says nothing is taken as acceleration, as the
    response spectra of the run take it.
    """
    if unit.base in LENGTH_UNITS:
        return unit.per_second
    if unit.base in ACCELERATION_UNITS:
        return 2 + unit.per_second
    return 2


def surface_axis_label(info):
    """Y label of the surface waveforms: what `motion` made of the record."""
    record = parse_unit(shown_units(info) if info.motion == "none" else info.units)
    steps = {"none": 0, "integrate": 1, "differentiate": -1}.get(info.motion)
    if steps is None:
        return "surface motion (unit unknown: run.json has no motion)"
    quantity = QUANTITIES.get(record_order(record) - steps, "surface motion")
    return f"{quantity} ({render_unit(integrated(record, steps))})"


def input_axis_label(info):
    record = parse_unit(shown_units(info))
    quantity = QUANTITIES.get(record_order(record), "record")
    return f"input {quantity} ({render_unit(record)})"


def component_title(info, component):
    given = info.components.get(component)
    if isinstance(given, str) and given.strip():
        return literal(f"{component} ({given.strip()})")
    return component


def run_caption(info, folder):
    parts = []
    if info.record:
        parts.append(f"record {Path(info.record).name}")
    if info.soil:
        parts.append(f"ground model {Path(info.soil).name}")
    return literal(", ".join(parts) if parts else f"results {folder}")


def run_conditions(info):
    physics = f"{info.physics} physics" if info.physics else "physics not recorded"
    if info.physics == "legacy":
        physics = "legacy physics (the dialogue's tables: no oblique SH, no P-SV wave)"
    input_text = INPUT_TYPES.get(info.input_type, info.input_type or "not recorded")
    angle = "not recorded" if info.angle_deg is None else f"{info.angle_deg:g}°"
    return literal(f"{physics}; input: {input_text}; angle of incidence {angle}")


def damping_label(damping):
    return f"{100.0 * damping:g} %"


# ---------------------------------------------------------------- figures


def new_figure(dpi, rows, columns, sharex):
    figure = Figure(figsize=FIGURE_SIZE_IN, dpi=dpi, layout="constrained")
    axes = figure.subplots(rows, columns, sharex=sharex, squeeze=False)
    return figure, axes


def log_axes(axis, y_log=(), y_minor_labels=False):
    """Log frequency or period axis, read in plain numbers (0.1, 1, 10).

    The y axis is made logarithmic for the curves in `y_log`, if any of them
    has a value above zero: a dead channel leaves a note, not a failure.
    """
    axis.set_xscale("log")
    plain_numbers(axis.xaxis, False)
    if any(np.any(np.isfinite(values) & (values > 0)) for values in y_log):
        axis.set_yscale("log")
        if y_minor_labels:
            plain_numbers(axis.yaxis, True)
    elif len(y_log):
        where = {"transform": axis.transAxes, "ha": "center", "va": "center"}
        axis.text(0.5, 0.5, "no value above zero to show", **where)
    axis.grid(True, which="major", alpha=0.35)
    axis.grid(True, which="minor", alpha=0.12)


def plain_numbers(scale, label_minor):
    """Plain tick labels; 2 and 5 between decades too when few decades show."""
    # Narrow panels would otherwise label every other decade only.
    scale.set_major_locator(LogLocator(base=10, numticks=15))
    scale.set_major_formatter(FuncFormatter(lambda value, _: f"{value:g}"))
    if not label_minor:
        return

    def minor(value, _):
        low, high = scale.get_view_interval()
        if value <= 0 or low <= 0 or high / low > 30:
            return ""
        lead = round(value / 10 ** math.floor(math.log10(value) + 1e-9))
        return f"{value:g}" if lead in (2, 5) else ""

    scale.set_minor_formatter(FuncFormatter(minor))


def positive(values):
    """Masks what a log axis cannot show, so it leaves a gap, not a warning."""
    return np.where(values > 0, values, np.nan)


def amplification_figure(folder, info, dpi):
    path = folder / "transfer.csv"
    table = read_table(path)
    require(table, path, ["freq_hz", "sh_abs", "psv_abs"])
    figure, axes = new_figure(dpi, 1, 1, False)
    axis = axes[0][0]
    freq = positive(table["freq_hz"])
    drawn = []
    for column, label, colour, style in amplification_curves(table, info.physics == "legacy"):
        # The radial motion vanishes at vertical incidence: nothing to show.
        if column in table and np.nanmax(np.abs(table[column]), initial=0) > 1e-9:
            drawn.append(positive(table[column]))
            axis.plot(freq, drawn[-1], style, color=colour, lw=1.4, label=label)
    mark_fundamental(axis, freq, table["sh_abs"], info)
    axis.axhline(1.0, color="0.4", lw=0.8, ls=":")
    log_axes(axis, drawn, y_minor_labels=True)
    axis.set_xlabel("frequency (Hz)")
    axis.set_ylabel("amplification modulus |surface / input| (dimensionless)")
    axis.set_title(run_conditions(info))
    axis.legend(loc="best")
    figure.suptitle(f"Amplification of the layers\n{run_caption(info, folder)}")
    return figure


def amplification_curves(table, legacy):
    """The columns of transfer.csv to draw, with their labels: one SH curve
    for both horizontals, or, when H2 went through layers of its own (an
    equivalent-linear run softens each horizontal by its own strains), one
    for each."""
    own_h2 = "sh_H2_abs" in table
    if legacy:
        sh = "legacy SH table"
    else:
        sh = "SH, H1's strain-compatible layers" if own_h2 else "SH (applied to H1, H2)"
    curves = [("sh_abs", sh, SURFACE_COLOUR, "-")]
    if own_h2:
        curves.append(("sh_H2_abs", "SH, H2's strain-compatible layers", "tab:purple", "-."))
    curves += [
        ("psv_abs", "legacy vertical table (not a P-SV response)" if legacy
         else "P-SV vertical (applied to V1)", INPUT_COLOUR, "-"),
        ("radial_abs", "P-SV radial (for reference)", "tab:green", "--"),
    ]
    return curves


def fundamental_index(freq, modulus):
    """The site's fundamental: the first peak of the SH amplification that
    rises above its low-frequency plateau (by 20 %), or None."""
    shown = np.flatnonzero(np.isfinite(freq) & np.isfinite(modulus) & (freq > 0))
    if shown.size < 3:
        return None
    values = modulus[shown]
    plateau = values[0]
    for k in range(1, values.size - 1):
        rising = values[k] >= values[k - 1] and values[k] > values[k + 1]
        if rising and values[k] > 1.2 * plateau:
            return shown[k]
    return None


def mark_fundamental(axis, freq, modulus, info):
    index = fundamental_index(freq, modulus)
    if index is not None:
        label = f"fundamental {freq[index]:.3g} Hz (amplification {modulus[index]:.3g})"
        point = (freq[index], modulus[index])
        axis.plot(*point, "o", color=SURFACE_COLOUR, mfc="none", ms=9, label=label)
    if info.quarter_wavelength_hz:
        estimate = f"quarter-wavelength estimate {info.quarter_wavelength_hz:.3g} Hz"
        axis.axvline(info.quarter_wavelength_hz, color="0.3", lw=0.9, ls="--", label=estimate)


def fourier_figure(folder, info, dpi):
    path = folder / "spectra.csv"
    table = read_table(path)
    kinds = ["in_{}", "out_{}", "in_{}_smooth", "out_{}_smooth"]
    components = present_components(table, "in_{}")
    require(table, path, ["freq_hz"] + [k.format(c) for k in kinds for c in components])
    figure, axes = new_figure(dpi, len(components), 1, True)
    freq = positive(table["freq_hz"])
    scale = info.scale if info.motion == "none" else 1.0
    unit = render_unit(integrated(parse_unit(shown_units(info) if scale != 1.0 else info.units), 1))
    for axis, component in zip(axes[:, 0], components):
        drawn = []
        for side, colour in (("in", INPUT_COLOUR), ("out", SURFACE_COLOUR)):
            name = "input" if side == "in" else "surface"
            raw = positive(scale * table[f"{side}_{component}"])
            smooth = positive(scale * table[f"{side}_{component}_smooth"])
            axis.plot(freq, raw, color=colour, label=f"{name}, raw", **LIGHT)
            axis.plot(freq, smooth, color=colour, label=f"{name}, smoothed", **BOLD)
            drawn += [raw, smooth]
        log_axes(axis, drawn)
        axis.set_title(component_title(info, component), loc="left")
        axis.set_ylabel(f"Fourier amplitude\n({unit})")
    axes[0][0].legend(**OUTSIDE_RIGHT)
    axes[-1][0].set_xlabel("frequency (Hz)")
    heading = "Fourier amplitude spectra (smoothed: Konno–Ohmachi)"
    figure.suptitle(f"{heading}\n{run_caption(info, folder)}")
    return figure


def response_figure(folder, info, dpi, log_psa=False):
    path = folder / "response.csv"
    table = at_location(read_table(path), "surface")
    kinds = ["in_{}", "out_{}", "ratio_{}"]
    components = present_components(table, "in_{}")
    columns = [k.format(c) for k in kinds for c in components]
    require(table, path, ["damping", "period_s"] + columns)
    for column in columns:
        if not column.startswith("ratio_"):
            table[column] = info.scale * table[column]
    dampings = sorted(set(table["damping"][np.isfinite(table["damping"])]))
    rotd = has_rotd(table)
    figure, axes = new_figure(dpi, 2, len(components) + rotd, True)
    for column, component in enumerate(components):
        pair = (axes[0][column], axes[1][column])
        for shade, damping in enumerate(dampings):
            curves = damping_curves(table, component, damping)
            colours = damping_colours(shade, len(dampings))
            draw_response(pair, curves, damping_label(damping), colours)
        draw_peaks(pair, table, component)
        label_response(pair, info, component, log_psa)
    if rotd:
        pair = (axes[0][-1], axes[1][-1])
        for shade, damping in enumerate(dampings):
            draw_rotd(pair, table, damping, damping_colours(shade, len(dampings)), info.scale)
        label_response(pair, info, "RotD50 and RotD100 of H1, H2", log_psa)
    for row in axes:
        # The components' curves and, beside them, the RotD ones: one legend.
        sources = [row[0], row[-1]] if rotd else [row[-1]]
        handles, labels = [], []
        for axis in sources:
            more_handles, more_labels = axis.get_legend_handles_labels()
            handles, labels = handles + more_handles, labels + more_labels
        if handles:
            row[-1].legend(handles, labels, **OUTSIDE_RIGHT)
    heading = "Response spectra (PSA" + (", log-log" if log_psa else "") + "); PGA, at period 0, on the left axis"
    figure.suptitle(f"{heading}\n{run_caption(info, folder)}")
    return figure


ROTD_COLUMNS = ("in_rotd50", "in_rotd100", "out_rotd50", "out_rotd100", "ratio_rotd50")


def has_rotd(table):
    """RotD columns with values: a record with a single horizontal leaves them empty."""
    return all(name in table for name in ROTD_COLUMNS) and bool(
        np.any(np.isfinite(table["out_rotd50"]))
    )


def draw_rotd(pair, table, damping, colours, scale):
    """RotD50 bold and RotD100 thin, input dashed, surface solid; the RotD50 ratio."""
    spectra_axis, ratio_axis = pair
    rows = (table["damping"] == damping) & (table["period_s"] > 0)
    order = np.argsort(table["period_s"][rows], kind="stable")
    period = table["period_s"][rows][order]
    tag = damping_label(damping)
    input_colour, surface_colour = colours
    for side, colour, style in (("in", input_colour, "--"), ("out", surface_colour, "-")):
        name = "input" if side == "in" else "surface"
        for measure, weight in (("rotd50", BOLD), ("rotd100", {"lw": 0.9})):
            values = scale * table[f"{side}_{measure}"][rows][order]
            label = f"{name} {'RotD50' if measure == 'rotd50' else 'RotD100'}, {tag}"
            spectra_axis.plot(period, values, style, color=colour, label=label, **weight)
    ratio = table["ratio_rotd50"][rows][order]
    ratio_axis.plot(period, ratio, color=surface_colour, label=f"RotD50 ratio, {tag}", **BOLD)


def damping_curves(table, component, damping):
    """One damping's spectra of one component, by increasing period."""
    rows = (table["damping"] == damping) & (table["period_s"] > 0)
    order = np.argsort(table["period_s"][rows], kind="stable")
    names = {"period": "period_s", "in": f"in_{component}"}
    names |= {"out": f"out_{component}", "ratio": f"ratio_{component}"}
    return {key: table[name][rows][order] for key, name in names.items()}


def damping_colours(shade, count):
    """Input and surface colours: the usual pair alone, a hue per damping."""
    if count == 1:
        return INPUT_COLOUR, SURFACE_COLOUR
    colour = f"C{shade % 10}"
    return colour, colour


def draw_response(pair, curves, tag, colours):
    spectra_axis, ratio_axis = pair
    period = curves["period"]
    input_colour, surface_colour = colours
    spectra_axis.plot(
        period, curves["in"], "--", color=input_colour, label=f"input, {tag}"
    )
    spectra_axis.plot(
        period, curves["out"], color=surface_colour, label=f"surface, {tag}", **BOLD
    )
    ratio_axis.plot(
        period, curves["ratio"], color=surface_colour, label=f"ratio, {tag}", **BOLD
    )


def draw_peaks(pair, table, component):
    """Puts the period-0 values on the left spine: a log axis has no zero."""
    peaks = np.flatnonzero(table["period_s"] == 0)
    if peaks.size == 0:
        return
    spectra_axis, ratio_axis = pair
    hollow = {"color": INPUT_COLOUR, "mfc": "none", **ON_LEFT_SPINE}
    filled = {"color": SURFACE_COLOUR, "mfc": SURFACE_COLOUR, **ON_LEFT_SPINE}
    marks = [
        (spectra_axis, "in", hollow, "input PGA (period 0)"),
        (spectra_axis, "out", filled, "surface PGA (period 0)"),
        (ratio_axis, "ratio", filled, "PGA ratio (period 0)"),
    ]
    for axis, name, style, label in marks:
        value = table[f"{name}_{component}"][peaks[0]]
        where = axis.get_yaxis_transform()
        axis.plot([0.0], [value], "o", transform=where, label=label, **style)


def response_loglog_figure(folder, info, dpi):
    return response_figure(folder, info, dpi, log_psa=True)


def label_response(pair, info, component, log_psa=False):
    spectra_axis, ratio_axis = pair
    unit = render_unit(parse_unit(shown_units(info)))
    spectra_axis.set_title(component_title(info, component))
    spectra_axis.set_ylabel(f"PSA ({unit})")
    ratio_axis.set_ylabel("PSA ratio surface / input\n(dimensionless)")
    ratio_axis.set_xlabel("period (s)")
    ratio_axis.axhline(1.0, color="0.4", lw=0.8, ls=":")
    spectra = [line.get_ydata() for line in spectra_axis.get_lines()]
    log_axes(spectra_axis, spectra if log_psa else (), y_minor_labels=log_psa)
    log_axes(ratio_axis)


def waveform_figure(folder, info, dpi):
    path = folder / "surface.csv"
    table = read_table(path)
    components = present_components(table)
    inputs = [f"in_{c}" for c in components]
    require(table, path, ["time_s", *components, *inputs])
    figure, axes = new_figure(dpi, len(components), 1, True)
    time = table["time_s"]
    surface_scale = info.scale if info.motion == "none" else 1.0
    for axis, component in zip(axes[:, 0], components):
        surface = surface_scale * table[component]
        record = info.scale * table[f"in_{component}"]
        draw_waveform(axis, time, surface, record, info)
        axis.set_title(component_title(info, component), loc="left")
    shown = [table[name] for name in [*components, *inputs]]
    time_window(axes[-1][0], time, shown)
    heading = "Surface motion with the input record drawn over it (translucent)"
    figure.suptitle(f"{heading}\n{run_caption(info, folder)}")
    return figure


def draw_waveform(axis, time, surface, record, info):
    same_quantity = info.motion == "none"
    behind = axis if same_quantity else axis.twinx()
    input_label = f"input, peak {readable(peak(record))}"
    surface_label = f"surface, peak {readable(peak(surface))}"
    axis.plot(time, surface, color=SURFACE_COLOUR, lw=1.0, label=surface_label, zorder=2)
    behind.plot(time, record, color=INPUT_COLOUR, lw=0.8, alpha=0.6, label=input_label, zorder=3)
    if same_quantity:
        symmetric(axis, np.concatenate([surface, record]))
    else:
        symmetric(axis, surface)
        keep_behind(axis, behind, record, info)
    axis.set_ylabel(surface_axis_label(info))
    axis.grid(True, alpha=0.3)
    legend_of(axis, behind)


def time_window(axis, time, series):
    """Leaves out a quiet tail of zero padding, and says so in the label."""
    start, end = np.nanmin(time), np.nanmax(time)
    last = start
    for values in series:
        loud = np.flatnonzero(np.abs(values) > 1e-3 * peak(values))
        if loud.size:
            last = max(last, time[loud[-1]])
    shown = min(end, last + 0.05 * (last - start))
    if start < shown < start + 0.9 * (end - start):
        axis.set_xlim(start, shown)
        axis.set_xlabel(f"time (s); the quiet tail up to {end:g} s is not shown")
    else:
        axis.set_xlim(start, end)
        axis.set_xlabel("time (s)")


HUSID_MARKS = (0.05, 0.75, 0.95)


def husid(acceleration, dt):
    """The normalised Arias build-up at the samples, by the run's rule: the
    acceleration linear between samples, h (a0² + a0 a1 + a1²) / 3 a step."""
    a0, a1 = acceleration[:-1], acceleration[1:]
    cumulative = np.concatenate([[0.0], np.cumsum(dt * (a0 * a0 + a0 * a1 + a1 * a1) / 3.0)])
    total = cumulative[-1]
    return cumulative / total if total > 0 else cumulative


def crossing_time(time, curve, level):
    """Where the curve first reaches `level`, linear within the step."""
    index = int(np.argmax(curve >= level))
    if index == 0:
        return time[0]
    rise = curve[index] - curve[index - 1]
    fraction = (level - curve[index - 1]) / rise if rise > 0 else 0.0
    return time[index - 1] + fraction * (time[index] - time[index - 1])


def husid_figure(folder, info, dpi):
    """The Husid curve of each component, input and surface, with the times
    of 5, 75 and 95 % and the significant durations between them."""
    path = folder / "surface.csv"
    table = read_table(path)
    components = present_components(table)
    require(table, path, ["time_s", *[f"in_{c}" for c in components]])
    time = table["time_s"]
    dt = float(time[1] - time[0]) if time.size > 1 else 1.0
    # surface.csv holds the surface's acceleration only when --motion left it so.
    sides = [("in_{}", "input", INPUT_COLOUR, "--")]
    if info.motion == "none":
        sides.append(("{}", "surface", SURFACE_COLOUR, "-"))
    figure, axes = new_figure(dpi, len(components), 1, True)
    span = [time[-1], time[0]]  # where the curves rise from 0.1 % to 99.9 %
    for axis, component in zip(axes[:, 0], components):
        for pattern, name, colour, style in sides:
            values = table[pattern.format(component)]
            if not np.all(np.isfinite(values)):
                continue
            curve = husid(values, dt)
            span = [min(span[0], crossing_time(time, curve, 0.001)),
                    max(span[1], crossing_time(time, curve, 0.999))]
            marks = [crossing_time(time, curve, level) for level in HUSID_MARKS]
            label = (f"{name}: D5-75 {marks[1] - marks[0]:.2f} s, "
                     f"D5-95 {marks[2] - marks[0]:.2f} s")
            axis.plot(time, curve, style, color=colour, lw=1.4, label=label)
            axis.plot(marks, HUSID_MARKS, "o", color=colour, ms=5)
        for level in HUSID_MARKS:
            axis.axhline(level, color="0.5", lw=0.7, ls=":")
        axis.set_ylim(-0.02, 1.02)
        axis.set_yticks(sorted({*HUSID_MARKS, 0.5}))
        axis.set_ylabel("normalised Arias\nintensity")
        axis.set_title(component_title(info, component), loc="left")
        axis.grid(True, alpha=0.3)
        legend(axis, loc="lower right", fontsize=8)
    if span[0] < span[1]:
        margin = 0.1 * (span[1] - span[0])
        axes[-1][0].set_xlim(max(time[0], span[0] - margin), min(time[-1], span[1] + margin))
    axes[-1][0].set_xlabel("time (s)")
    heading = "Husid curves: the build-up of Arias intensity, marks at 5, 75 and 95 %"
    if info.motion != "none":
        heading += " (input only: surface.csv holds the surface's integral or derivative)"
    figure.suptitle(f"{heading}\n{run_caption(info, folder)}")
    return figure


def readable(value):
    """Three significant digits without an exponent where that reads well."""
    if not math.isfinite(value) or value == 0 or not 1e-3 <= abs(value) < 1e6:
        return f"{value:.3g}"
    decimals = max(0, 2 - math.floor(math.log10(abs(value))))
    return f"{value:.{decimals}f}"


def peak(values):
    finite = np.abs(values[np.isfinite(values)])
    return finite.max() if finite.size else math.nan


def symmetric(axis, values):
    """Centres zero so a surface and an input axis line up at rest."""
    top = peak(values)
    if math.isfinite(top) and top > 0:
        axis.set_ylim(-1.1 * top, 1.1 * top)


def keep_behind(axis, behind, record, info):
    """The input gets its own axis when `motion` changed the surface quantity."""
    axis.set_zorder(behind.get_zorder() + 1)
    axis.patch.set_visible(False)
    symmetric(behind, record)
    behind.set_ylabel(input_axis_label(info), color=INPUT_COLOUR)
    behind.tick_params(axis="y", colors=INPUT_COLOUR)


def legend_of(axis, behind):
    handles, labels = axis.get_legend_handles_labels()
    if behind is not axis:
        more_handles, more_labels = behind.get_legend_handles_labels()
        handles, labels = handles + more_handles, labels + more_labels
    axis.legend(handles, labels, loc="upper right", fontsize=8)


def legend(axis, **options):
    """A legend where there is something to name; matplotlib warns otherwise."""
    if axis.get_legend_handles_labels()[0]:
        axis.legend(**options)


def profile_figure(folder, info, dpi):
    """Velocity, modulus ratio, damping, peak strain and PGA against depth."""
    path = folder / "profile.csv"
    table = read_table(path)
    require(table, path, ["component", "top_m", "bottom_m", "vs_initial_mps", "vs_mps",
                          "modulus_ratio", "damping", "max_strain_pct", "pga"])
    figure, axes = new_figure(dpi, 1, 5, False)
    panels = [
        ("Vs (m/s)", ("vs_initial_mps", "vs_mps")),
        ("G/Gmax", ("modulus_ratio",)),
        ("damping (%)", ("damping",)),
        ("peak shear strain (%)", ("max_strain_pct",)),
        (f"PGA ({render_unit(parse_unit(shown_units(info)))})", ("pga",)),
    ]
    components = [c for c in COMPONENTS if np.any(table["component"] == c)]
    layered = np.isfinite(table["bottom_m"])
    deepest = float(np.max(table["bottom_m"][layered])) if layered.any() else 0.0
    shown = shown_depth(table, deepest, info.analysis)
    for shade, component in enumerate(components):
        rows = table["component"] == component
        top, bottom = table["top_m"][rows], table["bottom_m"][rows]
        soil = np.isfinite(bottom) & (top < shown * 1.02 if shown > 0 else True)  # what is in view
        for axis, (label, columns) in zip(axes[0], panels):
            for column in columns:
                values = table[column][rows].copy()
                if column == "damping":
                    values = 100.0 * values
                if column == "pga":
                    values = info.scale * values
                style = "--" if column == "vs_initial_mps" else "-"
                name = f"{component}, initial" if column == "vs_initial_mps" else component
                steps(axis, top[soil], bottom[soil], values[soil], f"C{shade}", style, name)
            axis.set_xlabel(label)
    for axis in axes[0]:
        axis.set_ylim(shown * 1.02 if shown > 0 else 1.0, 0.0)
        axis.grid(True, alpha=0.3)
    axes[0][0].set_ylabel("depth (m)")
    legend(axes[0][0], loc="lower left", fontsize=8)
    kind = "strain-compatible (equivalent-linear)" if info.analysis == "eql" else "small-strain (linear)"
    depth = ""
    if shown < deepest:
        depth = (f"\nthe upper {shown:.0f} of {deepest:.0f} m, where the layers softened; "
                 "the rows below keep their small-strain properties (all are in profile.csv)")
    figure.suptitle(f"Profile below the surface, {kind}\n{run_caption(info, folder)}\n"
                    f"{run_conditions(info)}{depth}", fontsize=10)
    return figure


def shown_depth(table, deepest, analysis):
    """The depth the profile figure shows: all of it, except for an
    equivalent-linear run whose softened layers (G/Gmax below 1) end above a
    third of it: those layers and half as deep again, so their steps are not
    squeezed into the top of the panels by the deep linear rows."""
    if analysis != "eql" or not deepest > 0:
        return deepest
    bottom = table["bottom_m"]
    softened = np.isfinite(bottom) & (table["modulus_ratio"] < 1.0)
    if not softened.any():
        return deepest
    lowest = float(np.max(bottom[softened]))
    return min(deepest, 1.5 * lowest) if lowest < deepest / 3 else deepest


def steps(axis, top, bottom, values, colour, style, label):
    """A layered quantity as constant values over each layer's depth range."""
    depth = np.column_stack([top, bottom]).ravel()
    value = np.repeat(values, 2)
    axis.plot(value, depth, style, color=colour, lw=1.4, label=label)


def convergence_figure(folder, info, dpi):
    """The largest change of G and D per iteration of an equivalent-linear run."""
    figure, axes = new_figure(dpi, 1, 1, False)
    axis = axes[0][0]
    drawn = []
    for shade, (component, history) in enumerate(info.iterations.items()):
        steps_taken = np.arange(1, len(history) + 1)
        for key, style in (("modulus", "-o"), ("damping", "--s")):
            values = positive(np.array([step.get(key, math.nan) for step in history], dtype=float))
            drawn.append(values)
            axis.plot(steps_taken, values, style, color=f"C{shade}", label=f"{component}: {'G' if key == 'modulus' else 'D'}")
    if info.tolerance:
        axis.axhline(info.tolerance, color="0.3", lw=0.9, ls=":", label=f"tolerance {info.tolerance:g}")
    if any(np.any(np.isfinite(v)) for v in drawn):
        axis.set_yscale("log")
    axis.set_xlabel("iteration")
    axis.set_ylabel("largest relative change over the layers")
    axis.grid(True, alpha=0.3)
    legend(axis, loc="best")
    figure.suptitle(f"Convergence of the equivalent-linear iteration\n{run_caption(info, folder)}\n"
                    f"{run_conditions(info)}", fontsize=10)
    return figure


def curves_figure(folder, info, dpi):
    """The soil curves the layers used: G/Gmax and damping against strain."""
    path = folder / "curves.csv"
    table = read_table(path)
    require(table, path, ["curve", "strain_percent", "modulus_ratio", "damping_percent"])
    figure, axes = new_figure(dpi, 1, 2, False)
    modulus, damping = axes[0]
    names = list(dict.fromkeys(table["curve"]))
    for shade, name in enumerate(names):
        rows = table["curve"] == name
        strain = table["strain_percent"][rows]
        modulus.semilogx(strain, table["modulus_ratio"][rows], color=f"C{shade % 10}", label=name)
        damping.semilogx(strain, table["damping_percent"][rows], color=f"C{shade % 10}", label=name)
    modulus.set_ylabel("G/Gmax")
    modulus.set_ylim(0.0, 1.05)
    damping.set_ylabel("damping (%)")
    for axis in (modulus, damping):
        axis.set_xlabel("shear strain (%)")
        axis.grid(True, which="both", alpha=0.3)
    legend(modulus, loc="lower left", fontsize=7)
    figure.suptitle(f"Soil curves of the layers\n{run_caption(info, folder)}")
    return figure


FIGURES = (
    ("amplification.png", "transfer.csv", amplification_figure),
    ("fourier.png", "spectra.csv", fourier_figure),
    ("response.png", "response.csv", response_figure),
    ("response-loglog.png", "response.csv", response_loglog_figure),
    ("waveforms.png", "surface.csv", waveform_figure),
    ("husid.png", "surface.csv", husid_figure),
    ("profile.png", "profile.csv", profile_figure),
    ("convergence.png", "run.json", convergence_figure),
    ("curves.png", "curves.csv", curves_figure),
)


# ---------------------------------------------------------------- running


def note(message):
    print(f"sitewave_plot: {message}", file=sys.stderr)


def dpi_value(text):
    try:
        dpi = int(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"'{text}' is not a whole number") from None
    if not DPI_RANGE[0] <= dpi <= DPI_RANGE[1]:
        raise argparse.ArgumentTypeError(
            f"{dpi} is outside {DPI_RANGE[0]}..{DPI_RANGE[1]}"
        )
    return dpi


def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        prog="sitewave_plot.py",
        description="Draws the figures of a sitewave results folder as PNG files.",
    )
    parser.add_argument(
        "folder", type=Path, help="results folder written by `sitewave run`"
    )
    parser.add_argument(
        "--out",
        type=Path,
        help="folder for the PNG files (default: DIR/plots)",
    )
    parser.add_argument(
        "--units",
        choices=sorted(KNOWN_UNITS),
        help="show accelerations in this unit (the record's unit must be a known one)",
    )
    parser.add_argument(
        "--dpi",
        type=dpi_value,
        default=DEFAULT_DPI,
        help=f"resolution (default {DEFAULT_DPI}; figures are 10 x 7 in)",
    )
    return parser.parse_args(argv)


def check_folder(folder):
    if not folder.is_dir():
        what = "is not a folder" if folder.exists() else "does not exist"
        raise ResultsError(f"results folder {folder} {what}")
    if not any((folder / table).is_file() for _, table, _ in FIGURES):
        names = ", ".join(table for _, table, _ in FIGURES)
        hint = ""
        if any((folder / name).is_file() for name in LEGACY_FILES):
            hint = "; its legacy files are plotted by scripts/wave.m and spectra.m"
        raise ResultsError(f"{folder} holds none of {names}{hint}")


def save(figure, path, dpi):
    """Writes beside the target and renames, so no half-written PNG is left."""
    temporary = path.with_name(f".{path.name}.{os.getpid()}.tmp")
    try:
        figure.savefig(temporary, format="png", dpi=dpi)
        os.replace(temporary, path)
    except BaseException:
        temporary.unlink(missing_ok=True)
        raise


def drop_stale(target):
    """A figure this run does not draw: an older copy would pass for it."""
    try:
        if target.is_file():
            target.unlink()
            note(f"removed {target} of an earlier run")
    except OSError as error:
        note(f"{target} of an earlier run could not be removed ({error.strerror})")


def draw_all(folder, out, dpi, units=None):
    info = read_run(folder / "run.json")
    try:
        info = with_display_units(info, units)
    except ResultsError as error:
        note(str(error))
        return 1
    failures = 0
    for name, table, draw in FIGURES:
        target = out / name
        if draw is convergence_figure and not info.iterations:
            drop_stale(target)  # drawn for an equivalent-linear run only
            continue
        if not (folder / table).is_file():
            if table not in OPTIONAL_TABLES:
                note(f"{folder / table} is missing; {name} skipped")
            drop_stale(target)
            continue
        if not draw_one(draw, folder, info, target, dpi):
            failures += 1
    return failures


def draw_one(draw, folder, info, target, dpi):
    try:
        save(draw(folder, info, dpi), target, dpi)
        return True
    except ResultsError as error:
        note(f"{error}; {target.name} not written")
    except OSError as error:
        note(f"{target}: cannot be written ({error.strerror or error})")
    except Exception as error:  # one bad figure must not cost the others
        note(f"{target.name} not drawn: {type(error).__name__}: {error}")
    drop_stale(target)
    return False


def main(argv=None):
    arguments = parse_arguments(argv)
    folder = arguments.folder
    out = arguments.out if arguments.out is not None else folder / "plots"
    try:
        check_folder(folder)
        out.mkdir(parents=True, exist_ok=True)
    except ResultsError as error:
        note(str(error))
        return 1
    except OSError as error:
        note(f"{out}: cannot make the plot folder ({error.strerror or error})")
        return 1
    return 1 if draw_all(folder, out, arguments.dpi, arguments.units) else 0


if __name__ == "__main__":
    sys.exit(main())
