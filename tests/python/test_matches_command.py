"""The module's results are the command's: for the same inputs and options,
to_folder writes the files `sitewave run` writes, byte for byte, and the
arrays agree with the numbers the files print (9 significant digits for
computed values, single precision for waveforms)."""

import json

import numpy as np
import pytest

import sitewave
from conftest import EXAMPLES, batch_summary, command_run, summary_cell

RECORD = str(EXAMPLES / "kaikoura_wtmc.csv")
SOIL = str(EXAMPLES / "soil_dat.csv")

# Each physics with each kind of record, at normal and oblique incidence.
CASES = [
    ("legacy", "incident", {"angle": 0}),
    ("legacy", "within", {"angle": 30, "filter": (0.1, 0.2, 20, 24)}),
    ("legacy", "outcrop", {"motion": "integrate"}),
    ("exact", "incident", {"angle": 30, "damping": (0.02, 0.05)}),
    ("exact", "within", {"at_depth": (10,), "units": "mm/s2"}),
    ("exact", "outcrop", {"angle": 20, "periods": (0.1, 0.5, 1, 2), "smoothing": 20}),
]


def command_words(options):
    words = []
    for name, value in options.items():
        if isinstance(value, (tuple, list)):
            value = ",".join(str(v) for v in value)
        words += [f"--{name.replace('_', '-')}", str(value)]
    return words


def printed(x):
    return float(f"{x:.9g}")


def column(folder, name, key):
    table = np.genfromtxt(folder / name, delimiter=",", names=True, dtype=None, encoding=None)
    return table[key]


@pytest.mark.parametrize("physics,kind,options", CASES)
def test_python_run_equals_command_run(tmp_path, example_record, example_profile, physics, kind,
                                       options):
    options = dict(options, physics=physics, input=kind)
    command = tmp_path / "command"
    done = command_run(command, "--record", RECORD, "--soil", SOIL, *command_words(options))
    assert done.returncode == 0, done.stderr

    result = sitewave.analyse(example_record, example_profile, **options)
    python = result.to_folder(tmp_path / "python")
    names = sorted(p.name for p in command.iterdir())
    assert sorted(p.name for p in python.iterdir()) == names
    for name in names:
        if name != "run.json":
            assert (python / name).read_bytes() == (command / name).read_bytes(), name
    ran, expected = result.run, json.loads((command / "run.json").read_text())
    for key in ("out", "force", "quiet"):
        expected["options"].pop(key, None)
    for run in (ran, expected):
        run.pop("threads")
        run["fingerprint"].pop("options")
    assert ran == expected

    # The arrays, to the digits the files print.
    transfer = result.transfer
    sh = column(command, "transfer.csv", "sh_re") + 1j * column(command, "transfer.csv", "sh_im")
    assert np.array_equal(np.vectorize(printed)(transfer["sh"].real), sh.real)
    assert np.array_equal(np.vectorize(printed)(transfer["psv"].imag),
                          column(command, "transfer.csv", "psv_im"))
    for c, name in enumerate(("H1", "H2", "V1")):
        file_values = column(command, "surface.csv", name).astype(np.float32)
        assert np.array_equal(result.surface[:, c].astype(np.float32), file_values)
    response = result.response
    out_h1 = column(command, "response.csv", "out_H1")
    first = response["surface"][:, :, 0].ravel()  # the surface rows come first
    printed_first = out_h1[: first.size]
    # The peak (period 0) is a sample of the motion, written in single precision.
    pga = np.tile(response["periods"] == 0, len(response["damping"]))
    assert np.array_equal(first[pga].astype(np.float32), printed_first[pga].astype(np.float32))
    assert np.array_equal(np.vectorize(printed)(first[~pga]), printed_first[~pga])


def record_csv(path, dt, samples, names):
    rows = [",".join(["time", *names])]
    for i, row in enumerate(samples):
        rows.append(",".join([repr(float(np.float32(i * np.float32(dt)))),
                              *(repr(float(v)) for v in row)]))
    path.write_text("\n".join(rows) + "\n")


def at2_file(path, dt, samples, component):
    lines = ["PEER STRONG MOTION DATABASE RECORD", f"TEST, COMPONENT {component}",
             "ACCELERATION TIME SERIES IN UNITS OF G",
             f"NPTS= {len(samples)}, DT= {dt:.4f} SEC"]
    lines += ["  ".join(f"{v:.7E}" for v in samples[i:i + 5]) for i in range(0, len(samples), 5)]
    path.write_text("\n".join(lines) + "\n")


def test_each_kind_of_record_gives_the_command_results(tmp_path, example_profile):
    """A record from arrays, from the command's format and from .AT2 files:
    the same motion gives the same files as the command reading the file."""
    dt, n = 0.01, 1500
    t = np.arange(n) * dt
    samples = np.column_stack([0.3 * np.sin(2 * np.pi * 1.5 * t) * np.exp(-t),
                               0.2 * np.cos(2 * np.pi * 3.0 * t) * np.exp(-2 * t)])
    samples = samples.astype(np.float32).astype(np.float64)
    at2 = [tmp_path / "h1.AT2", tmp_path / "h2.AT2"]
    for path, c in zip(at2, range(2)):
        at2_file(path, dt, samples[:, c], ("000", "090")[c])
    csv = tmp_path / "record.csv"
    record_csv(csv, dt, sitewave.read_at2(*at2).array, ["000", "090"])

    from_at2 = sitewave.read_at2(*at2)
    records = {
        "at2": (from_at2, ["--at2", ",".join(map(str, at2))]),
        "csv": (sitewave.read_record(csv), ["--record", str(csv)]),
        "array": (sitewave.Record(dt, from_at2.array, ["000", "090"]), ["--record", str(csv)]),
    }
    for kind, (record, words) in records.items():
        command = tmp_path / f"command-{kind}"
        done = command_run(command, *words, "--soil", SOIL, "--input", "outcrop")
        assert done.returncode == 0, done.stderr
        result = sitewave.analyse(record, example_profile, input="outcrop")
        python = result.to_folder(tmp_path / f"python-{kind}")
        for name in ("transfer.csv", "surface.csv", "response.csv", "spectra.csv"):
            assert (python / name).read_bytes() == (command / name).read_bytes(), (kind, name)


def test_profile_from_arrays_equals_the_file(example_record, example_profile):
    p = example_profile
    built = sitewave.Profile(thickness=p.thickness[:-1], density=p.density, vp=p.vp, vs=p.vs,
                             qp=p.qp, qs=p.qs, fp=p.fp, fs=p.fs, angle=p.angle, input=p.input)
    a = sitewave.analyse(example_record, built, outputs=["transfer"])
    b = sitewave.analyse(example_record, p, outputs=["transfer"])
    assert a.file("transfer.csv") == b.file("transfer.csv")


def test_results_do_not_depend_on_threads(example_record, example_profile):
    one = sitewave.analyse(example_record, example_profile, threads=1, physics="exact")
    four = sitewave.analyse(example_record, example_profile, threads=4, physics="exact")
    for name in one.files:
        if name != "run.json":
            assert one.file(name) == four.file(name), name


def test_analyses_in_threads_at_once_equal_one_alone(example_record, example_profile):
    from concurrent.futures import ThreadPoolExecutor

    alone = sitewave.analyse(example_record, example_profile, threads=1, angle=15)
    with ThreadPoolExecutor(4) as pool:
        runs = list(pool.map(lambda angle: sitewave.analyse(
            example_record, example_profile, threads=1, angle=angle), [15] * 4))
    for run in runs:
        assert np.array_equal(run.surface, alone.surface)
        assert run.file("response.csv") == alone.file("response.csv")


def test_a_spectra_cache_shared_by_analyses_changes_no_result(tmp_path, example_record,
                                                               example_profile):
    """cache= keeps the record's spectra between analyses as a batch keeps
    them between its cases: the second analysis finds the entry, and both
    write what an analysis without the cache writes."""
    cache = tmp_path / "spectra"
    plain = sitewave.analyse(example_record, example_profile, angle=10, outputs=["response"])
    first = sitewave.analyse(example_record, example_profile, angle=10, outputs=["response"],
                             cache=cache)
    entries = [(p.name, p.stat().st_ino) for p in cache.iterdir()]
    assert len(entries) == 1
    second = sitewave.analyse(example_record, example_profile, angle=20, outputs=["response"],
                              cache=str(cache))
    assert [(p.name, p.stat().st_ino) for p in cache.iterdir()] == entries  # read, not rewritten
    assert first.file("response.csv") == plain.file("response.csv")
    assert np.array_equal(second.response["input"], plain.response["input"])
    assert not np.array_equal(second.response["surface"], plain.response["surface"])


def test_summary_is_the_batch_summary_row(tmp_path, example_record, example_profile):
    """Peaks, PSA and intensity measures of summary() print as the batch's
    summary.csv prints the same case."""
    row = batch_summary(tmp_path, [{"case": "oblique", "record": RECORD, "soil": SOIL,
                                    "angle": 25, "physics": "exact", "units": "mm/s2"}])[0]
    summary = sitewave.analyse(example_record, example_profile, angle=25, physics="exact",
                               units="mm/s2").summary()
    assert {"peak_out_H1", "psa_out_rotd50_2", "out_H2_cav"} <= set(summary)
    assert {k: summary_cell(v) for k, v in summary.items()} == {k: row[k] for k in summary}
    assert all(row[k] for k in summary)  # every value known for this record
