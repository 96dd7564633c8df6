"""Shared fixtures of the module's tests: the program beside the module,
the bundled example, and runs of `sitewave run` into a scratch folder."""

import csv
import math
import os
import pathlib
import subprocess

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
EXAMPLES = ROOT / "examples"
PROGRAM = os.environ.get("SITEWAVE_BIN", str(ROOT / "build" / "release" / "sitewave"))


def command_run(folder, *options):
    """Runs `sitewave run options --out folder`; returns the completed process."""
    return subprocess.run([PROGRAM, "run", *options, "--out", str(folder), "--quiet"],
                          capture_output=True, text=True, check=False)


def command_refusal(tmp_path, *options):
    """The one-line message the command prints when it refuses options."""
    done = command_run(tmp_path / "refused", *options)
    assert done.returncode in (1, 2), done.stderr
    line = done.stderr.strip().splitlines()[-1]
    assert line.startswith("sitewave: ")
    return line.removeprefix("sitewave: ")


def batch_summary(folder, cases):
    """Runs `sitewave batch -j 2` over a manifest of cases (dicts of its
    columns, "case" first) in folder; returns summary.csv's rows as dicts."""
    columns = list(cases[0])
    lines = [",".join(columns)] + [",".join(str(c[k]) for k in columns) for c in cases]
    manifest = folder / "manifest.csv"
    manifest.write_text("\n".join(lines) + "\n")
    done = subprocess.run([PROGRAM, "batch", str(manifest), "--out", str(folder / "batch"),
                           "-j", "2"], capture_output=True, text=True, timeout=600, check=False)
    assert done.returncode == 0, done.stderr
    with open(folder / "batch" / "summary.csv", newline="") as table:
        return list(csv.DictReader(table))


def summary_cell(value):
    """A number as summary.csv prints it: 9 significant digits, empty when unknown."""
    return "" if not math.isfinite(value) else f"{value:.9g}"


@pytest.fixture(scope="session")
def example_record():
    import sitewave

    return sitewave.read_record(EXAMPLES / "kaikoura_wtmc.csv")


@pytest.fixture(scope="session")
def example_profile():
    import sitewave

    return sitewave.read_soil(EXAMPLES / "soil_dat.csv")
