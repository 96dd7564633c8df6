#!/usr/bin/python3
"""A suite on Dask: the bundled Kaikoura record through the best, lower and
upper profiles at a few incidence angles, one analysis per task on a
dask.distributed cluster, the 5 % PSA at 0.1 to 2 s of every case gathered
into one table. Its columns are those of `sitewave batch`'s summary.csv
(case, then psa_in_H1_0.1 ... psa_out_rotd50_2), with the same digits.

    python3 examples/dask_suite.py                  # a LocalCluster of 2 workers here
    python3 examples/dask_suite.py --angles 0,10,20,30 --out psa.csv
    python3 examples/dask_suite.py --scheduler tcp://scheduler:8786   # a running cluster

The record and the profiles are read here once and sent to the workers as
objects, so the workers need the sitewave module but not the files. The
record's own response spectra are the same in every case: the workers keep
them in a cache folder (--cache; with the LocalCluster a temporary folder
by default), as sitewave batch does for its cases.
Needs python3-dask and python3-distributed.
"""

import argparse
import csv
import math
import pathlib
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
RECORD = HERE / "kaikoura_wtmc.csv"
PROFILES = {"best": HERE / "soil_dat.csv", "lower": HERE / "soil_vs_minus20.csv",
            "upper": HERE / "soil_vs_plus20.csv"}
UNITS = "mm/s2"
PHYSICS = "exact"


def suite(angles):
    """The cases: (name, profile name, angle) for each profile and angle."""
    return [(f"{name}_{angle:g}", name, angle) for name in PROFILES for angle in angles]


def psa_row(record, profile, angle, cache=None):
    """One case on a worker: the PSA columns of its batch summary row."""
    import sitewave

    result = sitewave.analyse(record, profile, angle=angle, physics=PHYSICS, units=UNITS,
                              outputs=["response"], threads=1, cache=cache)
    return {key: value for key, value in result.summary().items() if key.startswith("psa_")}


def run_suite(client, cases, cache=None):
    """Runs the cases on the client's cluster (the record's spectra kept in
    the workers' folder cache, if given); returns their rows in case order."""
    import sitewave

    record = client.scatter(sitewave.read_record(RECORD), broadcast=True)
    profiles = {name: client.scatter(sitewave.read_soil(path), broadcast=True)
                for name, path in PROFILES.items()}
    futures = [client.submit(psa_row, record, profiles[profile], angle, cache, pure=False)
               for _, profile, angle in cases]
    rows = client.gather(futures)
    return [{"case": name, **row} for (name, _, _), row in zip(cases, rows)]


def cell(value):
    """A number as summary.csv prints it: 9 significant digits, empty when unknown."""
    if isinstance(value, str):
        return value
    return "" if not math.isfinite(value) else f"{value:.9g}"


def write_table(rows, path):
    with open(path, "w", newline="") as out:
        table = csv.DictWriter(out, fieldnames=list(rows[0]), lineterminator="\n")
        table.writeheader()
        for row in rows:
            table.writerow({key: cell(value) for key, value in row.items()})


def angle_list(text):
    try:
        angles = [float(a) for a in text.split(",")]
    except ValueError:
        raise argparse.ArgumentTypeError(f"{text!r}: angles in degrees, comma-separated")
    if not angles or not all(0 <= a < 90 for a in angles):
        raise argparse.ArgumentTypeError(f"{text!r}: angles from 0 up to 90 degrees expected")
    return angles


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--scheduler", metavar="ADDRESS",
                        help="a running Dask scheduler (default: a LocalCluster here)")
    parser.add_argument("--workers", type=int, default=2,
                        help="worker processes of the LocalCluster (default 2)")
    parser.add_argument("--angles", type=angle_list, default=[0.0, 15.0, 30.0],
                        help="incidence angles in degrees (default 0,15,30)")
    parser.add_argument("--out", default="dask-suite.csv", help="the table (default dask-suite.csv)")
    parser.add_argument("--cache", metavar="DIR",
                        help="a folder on each worker for the record's spectra (default: a "
                             "temporary folder with the LocalCluster, none with --scheduler)")
    args = parser.parse_args(argv)

    from dask.distributed import Client, LocalCluster

    cases = suite(args.angles)
    if args.scheduler:
        with Client(args.scheduler) as client:
            rows = run_suite(client, cases, args.cache)
    else:
        with tempfile.TemporaryDirectory() as scratch, \
                LocalCluster(n_workers=args.workers, threads_per_worker=1,
                             dashboard_address=None) as cluster, Client(cluster) as client:
            rows = run_suite(client, cases, args.cache or scratch)
    write_table(rows, args.out)
    print(f"{len(rows)} cases; PSA table in {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
