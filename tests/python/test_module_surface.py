"""What a user meets first: importing stays light, help(analyse) names every
keyword, the README's example draws its figure, to_pandas keeps the files'
columns, and the equivalent-linear analysis through analyse writes the files
`sitewave run --analysis eql` writes."""

import inspect
import json
import pathlib
import re
import subprocess
import sys

import pytest

import sitewave
from conftest import EXAMPLES, ROOT, command_run

RECORD = str(EXAMPLES / "kaikoura_wtmc.csv")
EQL_PROFILE = str(EXAMPLES / "profile_eql.csv")
WATER_TABLE = 9.754


def test_import_loads_neither_pandas_nor_matplotlib():
    probe = ("import sys, sitewave; "
             "print(sorted(m for m in ('pandas', 'matplotlib', 'dask') if m in sys.modules))")
    module_path = str(pathlib.Path(sitewave.__file__).parents[1])
    done = subprocess.run([sys.executable, "-c", probe], capture_output=True, text=True,
                          check=True, env={"PYTHONPATH": module_path})
    assert done.stdout.strip() == "[]"


def test_help_of_analyse_names_every_keyword():
    doc = sitewave.analyse.__doc__
    for name in inspect.signature(sitewave.analyse).parameters:
        entry = re.search(rf"^{name}\b(.*)\n((?:    .*\n)+)", doc, re.MULTILINE)
        if name in ("record", "profile"):
            assert re.search(rf"^{name}  ", doc, re.MULTILINE), name
        else:
            assert entry and entry.group(2).strip(), f"{name} has no help line"


def test_equivalent_linear_through_analyse_equals_the_command(tmp_path):
    options = {"input": "outcrop", "units": "mm/s2", "scale": 0.3, "analysis": "eql",
               "outputs": ["response", "profile"]}
    words = []
    for name, value in options.items():
        value = ",".join(value) if isinstance(value, list) else str(value)
        words += [f"--{name.replace('_', '-')}", value]
    command = tmp_path / "command"
    done = command_run(command, "--record", RECORD, "--profile", EQL_PROFILE,
                       "--water-table", str(WATER_TABLE), *words)
    assert done.returncode == 0, done.stderr

    record = sitewave.read_record(RECORD)
    profile = sitewave.read_profile(EQL_PROFILE, water_table=WATER_TABLE)
    result = sitewave.analyse(record, profile, **options)
    for name in ("response.csv", "profile.csv"):
        assert result.file(name) == (command / name).read_text(), name
    ran = result.run
    expected = json.loads((command / "run.json").read_text())
    assert ran["eql"] == expected["eql"]
    assert ran["eql"]["H1"]["converged"]
    # The strain-compatible soil is softer than the small-strain soil at the top.
    assert 0 < result.profile["modulus_ratio"][0] < 1


def test_to_pandas_has_the_clean_files_columns(example_record, example_profile):
    pandas = pytest.importorskip("pandas")
    result = sitewave.analyse(example_record, example_profile, outputs=["transfer", "response"])
    frames = result.to_pandas()
    assert sorted(frames) == ["response", "transfer"]
    for name, frame in frames.items():
        assert isinstance(frame, pandas.DataFrame)
        header = result.file(f"{name}.csv").splitlines()[0].split(",")
        assert list(frame.columns) == header
    assert len(frames["transfer"]) == len(result.transfer["freq_hz"])


def test_the_readme_example_draws_its_figure(tmp_path):
    pytest.importorskip("matplotlib")
    readme = (ROOT / "README.md").read_text()
    code = re.search(r"^## Python\n.*?^```python\n(.*?)^```", readme, re.S | re.M).group(1)
    assert len(code.strip().splitlines()) == 5 and 'plt.savefig("psa.png")' in code
    module_path = str(pathlib.Path(sitewave.__file__).parents[1])
    done = subprocess.run([sys.executable, "-c", code.replace("examples/", f"{EXAMPLES}/")],
                          cwd=tmp_path, capture_output=True, text=True, timeout=300,
                          env={"PYTHONPATH": module_path, "MPLBACKEND": "Agg",
                               "MPLCONFIGDIR": str(tmp_path)})
    assert done.returncode == 0, done.stderr
    assert (tmp_path / "psa.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
