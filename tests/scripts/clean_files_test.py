#!/usr/bin/python3
"""Reads the clean files of a `sitewave run` back with pandas, without options.

Runs the program given as the first argument on a small generated record,
loads transfer.csv, spectra.csv, surface.csv, intensity.csv (and response.csv when present)
with a plain pandas.read_csv, and checks that the header names every column,
that no column is left unnamed or empty, and that the numbers read back agree
with the run's own summary in run.json. Exits 77 (skipped) without pandas.
"""

import json
import math
import subprocess
import sys
import tempfile
from pathlib import Path

try:
    import pandas as pd
except ImportError:
    print("pandas is not installed for /usr/bin/python3 (python3-pandas): skipped")
    sys.exit(77)

EXPECTED_COLUMNS = {
    "transfer.csv": "freq_hz,sh_re,sh_im,sh_abs,sh_phase_deg,psv_re,psv_im,psv_abs,psv_phase_deg",
    "spectra.csv": "freq_hz,in_H1,in_H2,in_V1,out_H1,out_H2,out_V1",
    "surface.csv": "time_s,H1,H2,V1,in_H1,in_H2,in_V1",
    "response.csv": "damping,period_s,in_H1,in_H2,in_V1,out_H1,out_H2,out_V1,"
    "ratio_H1,ratio_H2,ratio_V1",
}


def write_inputs(folder):
    rows = ["time,NS,EW,UD"]
    for i in range(600):
        t = i * 0.01
        rows.append(f"{t:.2f},{math.sin(9 * t) * math.exp(-t):.6f},"
                    f"{math.cos(5 * t) * math.exp(-t):.6f},{0.3 * math.sin(14 * t):.6f}")
    (folder / "rec.csv").write_text("\n".join(rows) + "\n")
    (folder / "soil.csv").write_text(
        "model\n20\n1\nlayers\n3\nNo,Density,Vp,Qp,Fp,Vs,Qs,Fs,H\n"
        "1,1.7,400,15,0,150,10,0,5\n2,1.9,800,25,0,300,20,0,15\n3,2.3,2000,60,0,900,50,0,0\n")


def check(program):
    with tempfile.TemporaryDirectory() as tmp:
        folder = Path(tmp)
        write_inputs(folder)
        out = folder / "out"
        subprocess.run([program, "run", "--record", str(folder / "rec.csv"), "--soil",
                        str(folder / "soil.csv"), "--out", str(out), "--quiet"], check=True)
        for name, columns in EXPECTED_COLUMNS.items():
            path = out / name
            if name == "response.csv" and not path.exists():
                continue
            table = pd.read_csv(path)
            wanted = columns.split(",")
            assert list(table.columns[:len(wanted)]) == wanted, (name, list(table.columns))
            assert not any(c.startswith("Unnamed") for c in table.columns), name
            assert not table.isna().any().any(), name
        summary = json.loads((out / "run.json").read_text())
        surface = pd.read_csv(out / "surface.csv")
        for c in ("H1", "H2", "V1"):
            peak = summary["peaks"]["surface"][c]
            assert math.isclose(surface[c].abs().max(), peak, rel_tol=1e-6), c
            assert math.isclose(surface["in_" + c].abs().max(), summary["peaks"]["input"][c],
                                rel_tol=1e-6), c
        # A component per row, named for its motion; Arias intensity needs a known unit.
        intensity = pd.read_csv(out / "intensity.csv", index_col="component")
        assert list(intensity.index) == ["in_H1", "in_H2", "in_V1", "out_H1", "out_H2", "out_V1"]
        assert math.isclose(intensity.loc["out_H1", "pga"], summary["peaks"]["surface"]["H1"],
                            rel_tol=1e-6)
        assert intensity["arias_m_s"].isna().all() and summary["intensity_units"]["arias_m_s"] is None
        transfer = pd.read_csv(out / "transfer.csv")
        assert len(transfer) == summary["transform_size"] // 2 + 1
        assert transfer["sh_abs"].iloc[0] == 2.0


if __name__ == "__main__":
    check(sys.argv[1])
    print("clean files read back with pandas")
