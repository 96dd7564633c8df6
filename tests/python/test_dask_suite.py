"""examples/dask_suite.py on a LocalCluster of 2 workers gives, cell for
cell, the PSA columns of `sitewave batch`'s summary.csv for the same cases."""

import csv
import os
import pathlib
import subprocess
import sys

import pytest

import sitewave
from conftest import EXAMPLES, ROOT, batch_summary

pytest.importorskip("distributed")

SCRIPT = ROOT / "examples" / "dask_suite.py"
ANGLES = ("0", "30")
PROFILES = {"best": "soil_dat.csv", "lower": "soil_vs_minus20.csv",
            "upper": "soil_vs_plus20.csv"}


def read_rows(path):
    with open(path, newline="") as table:
        return list(csv.DictReader(table))


def module_environment():
    """The environment with this sitewave module first on the path of the
    script and of its worker processes."""
    env = dict(os.environ)
    here = str(pathlib.Path(sitewave.__file__).resolve().parents[1])
    env["PYTHONPATH"] = os.pathsep.join(p for p in (here, env.get("PYTHONPATH")) if p)
    return env


def test_dask_suite_table_equals_the_batch_summary(tmp_path):
    table = tmp_path / "dask.csv"
    done = subprocess.run([sys.executable, str(SCRIPT), "--angles", ",".join(ANGLES),
                           "--workers", "2", "--out", str(table)],
                          capture_output=True, text=True, timeout=600, check=False,
                          cwd=tmp_path, env=module_environment())
    assert done.returncode == 0, done.stderr
    assert done.stdout.strip() == f"6 cases; PSA table in {table}"

    cases = [{"case": f"{name}_{angle}", "record": EXAMPLES / "kaikoura_wtmc.csv",
              "soil": EXAMPLES / soil, "angle": angle, "physics": "exact", "units": "mm/s2"}
             for name, soil in PROFILES.items() for angle in ANGLES]
    rows, summary = read_rows(table), batch_summary(tmp_path, cases)
    assert [r["case"] for r in rows] == [s["case"] for s in summary]
    psa_columns = [c for c in summary[0] if c.startswith("psa_")]
    assert list(rows[0]) == ["case", *psa_columns]
    for row, expected in zip(rows, summary):
        assert {c: row[c] for c in psa_columns} == {c: expected[c] for c in psa_columns}
        assert all(row[c] for c in psa_columns)  # three components and RotD50: no gaps
    # The angle reaches the surface motion: 0 and 30 degrees differ.
    assert rows[0]["psa_out_H1_0.1"] != rows[1]["psa_out_H1_0.1"]
