"""The results of one analysis: arrays for computing on, the clean files'
tables (and pandas DataFrames of them), run.json as a dict, and the folder
`sitewave run` writes."""

import json as _json
import os as _os

# The clean files, each with one header row; to_pandas reads these.
CLEAN_FILES = ("transfer.csv", "spectra.csv", "surface.csv", "intensity.csv", "response.csv",
               "profile.csv", "depth_motions.csv")


class Result:
    """What sitewave.analyse returns.

    transfer   dict of arrays: "freq_hz" and the complex amplification
               applied, "sh" (H1 and H2; "sh_H2" when H2 has its own), "psv"
               (V1) and, for the exact physics, "radial".
    time       the times of the surface motion in s (transform-size samples).
    surface    the surface motion, shape (samples, components H1, H2, V1 the
               record has), in the record's unit.
    response   dict: "periods" (s, 0 first), "damping", and the PSA of the
               "input" record and the "surface" motion, each of shape
               (damping ratios, periods, components); None when left out.
    spectra    the columns of spectra.csv (Fourier amplitudes, raw and
               smoothed), a dict of arrays.
    intensity  the columns of intensity.csv (PGA, PGV, PGD, Arias intensity,
               durations, CAV of each motion and component), or None.
    profile    the columns of profile.csv (the layers below the surface), or
               None (legacy physics).
    depth_motions  the columns of depth_motions.csv, or None.
    run        run.json as a dict.
    summary()  the run's row of a batch summary (peaks, PSA at 0.1 to 2 s,
               the surface's intensity measures).
    files      the names of the files to_folder writes.
    warnings   the command's warnings for this run.
    """

    def __init__(self, run, record, profile):
        self._run = run
        self.record = record
        self.input_profile = profile

    @property
    def transfer(self):
        return self._run.transfer

    @property
    def time(self):
        return self._run.time

    @property
    def surface(self):
        return self._run.surface

    @property
    def response(self):
        return self._run.response

    @property
    def spectra(self):
        return self._run.table("spectra.csv")

    @property
    def intensity(self):
        return self._run.table("intensity.csv")

    @property
    def profile(self):
        return self._run.table("profile.csv")

    @property
    def depth_motions(self):
        return self._run.table("depth_motions.csv")

    @property
    def run(self):
        return _json.loads(self._run.file("run.json"))

    @property
    def files(self):
        return self._run.file_names

    @property
    def warnings(self):
        return self._run.warnings

    def summary(self):
        """The run's row of a batch summary.csv, as a dict: the record's and
        the surface's peaks ("peak_in_H1", ..., "peak_out_V1") and the 5 %
        PSA at 0.1, 0.2, 0.5, 1 and 2 s ("psa_in_H1_0.1", ..., "psa_out_rotd50_2"),
        the surface horizontals' intensity measures ("out_H1_pgv", ...,
        "out_H2_cav"), NaN where the summary leaves a cell empty."""
        run = self.run
        row = {}
        for side, key in (("in", "input"), ("out", "surface")):
            peaks = run["peaks"][key]
            for component in ("H1", "H2", "V1"):
                value = peaks.get(component)
                row[f"peak_{side}_{component}"] = float("nan") if value is None else value
        row.update(self._run.summary_psa)
        row.update(self._run.summary_intensity)
        return row

    def file(self, name):
        """The text of one result file (as to_folder writes it), or None."""
        return self._run.file(name)

    def table(self, name):
        """The columns of a clean result file ("spectra.csv", ...) as a dict."""
        return self._run.table(name)

    def to_folder(self, path, force=False):
        """Writes the results folder `sitewave run --out path` writes: the
        same files, byte for byte, appearing whole or not at all. An existing
        folder is replaced only with force=True, and only if it holds
        sitewave's results. Returns the path."""
        self._run.write_folder(_os.fspath(path), force)
        return path

    def to_pandas(self):
        """A dict of pandas DataFrames, one per clean file of the run
        ("transfer", "spectra", "surface", "intensity", "response", "profile",
        "depth_motions"), with the files' column names. Needs pandas."""
        import io

        import pandas

        frames = {}
        for name in CLEAN_FILES:
            text = self._run.file(name)
            if text is not None:
                frames[name.removesuffix(".csv")] = pandas.read_csv(io.StringIO(text))
        return frames

    def __repr__(self):
        run = self.run
        return (f"<Result {run['record']} over {run['soil']}: {run['physics']} physics, "
                f"input {run['input']}, angle {run['angle_deg']} deg>")
