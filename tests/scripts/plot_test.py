#!/usr/bin/python3
"""Runs sitewave_plot.py on small results folders and checks what it leaves.

Run as `/usr/bin/python3 tests/scripts/plot_test.py`; exits 0 when every
check passes. Figures are checked as PNG files of the expected pixel size;
the label wording is checked through the script's own label functions.
"""

import importlib.util
import os
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__

from results_folder import write_results  # noqa: E402

HERE = Path(__file__).resolve().parent
SCRIPT = HERE.parents[1] / "scripts" / "sitewave_plot.py"
PYTHON = "/usr/bin/python3"
FIGURES = ("amplification.png", "fourier.png", "response.png", "response-loglog.png",
           "waveforms.png", "husid.png", "profile.png")
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
MATPLOTLIB_HOME = tempfile.TemporaryDirectory(prefix="sitewave_mpl_")
ENVIRONMENT = dict(os.environ, MPLCONFIGDIR=MATPLOTLIB_HOME.name)


def setUpModule():
    """Builds matplotlib's font cache once, so no run reports building it."""
    command = [PYTHON, "-c", "import matplotlib.font_manager"]
    subprocess.run(command, env=ENVIRONMENT, capture_output=True, check=True)


def tearDownModule():
    MATPLOTLIB_HOME.cleanup()


def run_plot(*arguments):
    return subprocess.run(
        [PYTHON, str(SCRIPT), *map(str, arguments)],
        capture_output=True,
        text=True,
        timeout=300,
        env=ENVIRONMENT,
    )


def png_size(path):
    """Width and height from the IHDR chunk, or None for a file not a PNG."""
    head = path.read_bytes()[:24]
    if head[:8] != PNG_SIGNATURE or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def blank_rotd(path):
    """Empties the RotD cells, as a run of a single horizontal writes them."""
    lines = path.read_text().splitlines()
    header = lines[0].split(",")
    rows = [",".join("" if "rotd" in header[i] else cell for i, cell in enumerate(line.split(",")))
            for line in lines[1:]]
    path.write_text("\n".join([lines[0], *rows]) + "\n")


def load_script():
    module_spec = importlib.util.spec_from_file_location("sitewave_plot", SCRIPT)
    module = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(module)
    return module


class ScratchFolder(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory(prefix="sitewave_plot_")
        self.addCleanup(scratch.cleanup)
        self.scratch = Path(scratch.name)

    def assert_figures(self, folder, names, size):
        for name in names:
            with self.subTest(figure=name):
                path = folder / name
                self.assertTrue(path.is_file(), f"{path} missing")
                self.assertEqual(png_size(path), size)
                self.assertLess(20_000, path.stat().st_size, "an empty figure?")
                self.assertLess(path.stat().st_size, 1_500_000)

    def assert_one_line(self, result, *words):
        lines = result.stderr.strip().splitlines()
        self.assertEqual(len(lines), 1, result.stderr)
        for word in words:
            self.assertIn(str(word), lines[0])


class Figures(ScratchFolder):
    def test_writes_the_four_figures_at_ten_by_seven_inches(self):
        folder = write_results(self.scratch / "run")
        result = run_plot(folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "")
        self.assert_figures(folder / "plots", FIGURES, (1200, 840))

    def test_out_and_dpi_choose_the_folder_and_the_pixel_size(self):
        folder = write_results(self.scratch / "run")
        plots = self.scratch / "elsewhere" / "figures"
        result = run_plot(folder, "--out", plots, "--dpi", 80)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assert_figures(plots, FIGURES, (800, 560))
        self.assertFalse((folder / "plots").exists())

    def test_legacy_run_integrated_with_several_dampings(self):
        settings = {"motion": "integrate", "units": "", "components": None}
        folder = write_results(
            self.scratch / "run", exact=False, dampings=(0.02, 0.05), run=settings
        )
        result = run_plot(folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assert_figures(folder / "plots", FIGURES, (1200, 840))

    def test_titles_with_dollars_and_underscores_are_drawn_as_written(self):
        titles = {"H1": r"$\frac$", "H2": "N_28W", "V1": r"x$\alpha_1$"}
        settings = {"components": titles, "units": "m$/s2", "record": "a$b_c.csv"}
        folder = write_results(self.scratch / "run", run=settings)
        result = run_plot(folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assert_figures(folder / "plots", FIGURES, (1200, 840))

    def test_a_dead_channel_still_gets_its_panels(self):
        folder = write_results(self.scratch / "run")
        spectra = folder / "spectra.csv"
        lines = spectra.read_text().splitlines()
        dead = [i for i, name in enumerate(lines[0].split(",")) if "V1" in name]
        rows = [line.split(",") for line in lines[1:]]
        for row in rows:
            for index in dead:
                row[index] = "0"
        text = [lines[0]] + [",".join(row) for row in rows]
        spectra.write_text("\n".join(text) + "\n")
        result = run_plot(folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assert_figures(folder / "plots", ["fourier.png"], (1200, 840))


class MissingAndBroken(ScratchFolder):
    def test_missing_response_table_skips_its_figure_and_an_old_copy(self):
        folder = write_results(self.scratch / "run")
        (folder / "response.csv").unlink()
        (folder / "plots").mkdir()
        (folder / "plots" / "response.png").write_bytes(b"old figure")
        result = run_plot(folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("response.csv is missing", result.stderr)
        self.assertFalse((folder / "plots" / "response.png").exists())
        others = [name for name in FIGURES if not name.startswith("response")]
        self.assert_figures(folder / "plots", others, (1200, 840))

    def test_a_single_component_run_gets_one_panel_each(self):
        folder = write_results(self.scratch / "run")
        for name in ("surface.csv", "spectra.csv", "response.csv"):
            table = (folder / name).read_text().splitlines()
            header = table[0].split(",")
            keep = [i for i, column in enumerate(header) if "H2" not in column and "V1" not in column]
            rows = [",".join(line.split(",")[i] for i in keep) for line in table]
            (folder / name).write_text("\n".join(rows) + "\n")
        blank_rotd(folder / "response.csv")  # a single horizontal has none
        result = run_plot(folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assert_figures(folder / "plots", FIGURES, (1200, 840))

    def test_an_equivalent_linear_run_gets_its_convergence(self):
        history = [{"modulus": 0.4, "damping": 0.3}, {"modulus": 0.05, "damping": 0.04},
                   {"modulus": 0.004, "damping": 0.002}]
        eql = {"tolerance": 0.01, "H1": {"converged": True, "max_change": history},
               "H2": {"converged": True, "max_change": history[:2]}}
        folder = write_results(self.scratch / "run", run={"analysis": "eql", "eql": eql})
        result = run_plot(folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assert_figures(folder / "plots", (*FIGURES, "convergence.png"), (1200, 840))

    def test_the_curves_a_run_used_get_their_figure(self):
        folder = write_results(self.scratch / "run")
        strains = [10 ** (k / 4) for k in range(-16, 5)]
        rows = ["curve,strain_percent,modulus_ratio,damping_percent"]
        for name, reference in (("darendeli PI=20 sigma_m=0.5", 0.06), ("clay, site A", 0.2)):
            for s in strains:
                ratio = 1 / (1 + s / reference)
                rows.append(f'"{name}",{s},{ratio},{1 + 20 * (1 - ratio)}')
        (folder / "curves.csv").write_text("\n".join(rows) + "\n")
        result = run_plot(folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "")
        self.assert_figures(folder / "plots", (*FIGURES, "curves.png"), (1200, 840))
        (folder / "curves.csv").unlink()
        result = run_plot(folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertFalse((folder / "plots" / "curves.png").exists())

    def test_missing_run_json_costs_only_labels(self):
        folder = write_results(self.scratch / "run")
        (folder / "run.json").unlink()
        result = run_plot(folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assert_one_line(result, "run.json")
        self.assert_figures(folder / "plots", FIGURES, (1200, 840))

    def test_missing_folder_is_an_error_naming_it(self):
        missing = self.scratch / "no_such_run"
        result = run_plot(missing)
        self.assertEqual(result.returncode, 1)
        self.assert_one_line(result, missing)

    def test_folder_without_tables_is_an_error_pointing_at_legacy_scripts(self):
        folder = self.scratch / "dialogue"
        folder.mkdir()
        (folder / "wave1.csv").write_text("time,H1,H2,V1\n")
        result = run_plot(folder)
        self.assertEqual(result.returncode, 1)
        self.assert_one_line(result, folder, "wave.m")
        self.assertFalse((folder / "plots" / "waveforms.png").exists())

    def test_ragged_table_fails_its_figure_and_keeps_the_others(self):
        folder = write_results(self.scratch / "run")
        spectra = folder / "spectra.csv"
        lines = spectra.read_text().splitlines()
        lines[5] = lines[5].rsplit(",", 1)[0]
        spectra.write_text("\n".join(lines) + "\n")
        result = run_plot(folder)
        self.assertEqual(result.returncode, 1)
        self.assert_one_line(result, "spectra.csv, line 6", "fourier.png")
        others = [name for name in FIGURES if name != "fourier.png"]
        self.assert_figures(folder / "plots", others, (1200, 840))


class Usage(ScratchFolder):
    def test_bad_usage_exits_2(self):
        folder = write_results(self.scratch / "run")
        cases = [[], [folder, folder], [folder, "--dpi", "0"], [folder, "--dpi", "x"]]
        cases.append([folder, "--colour", "red"])
        for arguments in cases:
            with self.subTest(arguments=arguments):
                result = run_plot(*arguments)
                self.assertEqual(result.returncode, 2, result.stderr)
                self.assertIn("usage", result.stderr)
        self.assertFalse((folder / "plots").exists())


class Labels(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.plot = load_script()

    def surface_label(self, units, motion):
        return self.plot.surface_axis_label(
            self.plot.RunInfo(units=units, motion=motion)
        )

    def test_surface_quantity_and_unit_follow_the_motion(self):
        cases = [
            ("mm/s2", "none", "acceleration (mm/s²)"),
            ("mm/s2", "integrate", "velocity (mm/s)"),
            ("m/s^2", "differentiate", "jerk (m/s³)"),
            ("cm/s", "integrate", "displacement (cm)"),
            ("g", "integrate", "velocity (g·s)"),
            ("", "integrate", "velocity (record unit·s)"),
            ("counts", "none", "acceleration (counts)"),
        ]
        for units, motion, expected in cases:
            with self.subTest(units=units, motion=motion):
                self.assertEqual(self.surface_label(units, motion), expected)

    def test_unknown_motion_does_not_guess_a_unit(self):
        self.assertIn("unknown", self.surface_label("mm/s2", ""))

    def test_fundamental_is_the_first_peak_above_the_plateau(self):
        import numpy as np
        freq = np.linspace(0.01, 10.0, 2000)
        # A first resonance at 1 Hz and a higher one at 3 Hz over a plateau of 2.
        modulus = 2.0 + 3.0 / (1 + ((freq - 1.0) / 0.05) ** 2) + 6.0 / (1 + ((freq - 3.0) / 0.05) ** 2)
        index = self.plot.fundamental_index(freq, modulus)
        self.assertAlmostEqual(freq[index], 1.0, delta=0.01)
        self.assertIsNone(self.plot.fundamental_index(freq, np.full_like(freq, 2.0)))

    def test_display_units_convert_only_known_record_units(self):
        info = self.plot.with_display_units(self.plot.RunInfo(units="mm/s2", unit_m_s2=0.001), "g")
        self.assertAlmostEqual(info.scale, 0.001 / 9.80665)
        self.assertEqual(self.plot.shown_units(info), "g")
        with self.assertRaises(self.plot.ResultsError):
            self.plot.with_display_units(self.plot.RunInfo(units="counts"), "g")

    def test_profile_shows_the_softened_layers_when_deep_linear_rows_would_squeeze_them(self):
        import numpy as np

        def table(bottoms, ratios):
            return {"bottom_m": np.array(bottoms, dtype=float),
                    "modulus_ratio": np.array(ratios, dtype=float)}

        # Softened down to 40 m of an 800 m column: 60 m shown; a linear run,
        # or one softened below a third of the column, shows all of it.
        deep = table([10, 40, 300, 800, np.nan], [0.5, 0.3, 1.0, 1.0, 1.0])
        self.assertEqual(self.plot.shown_depth(deep, 800.0, "eql"), 60.0)
        self.assertEqual(self.plot.shown_depth(deep, 800.0, "linear"), 800.0)
        half = table([10, 300, 800, np.nan], [0.5, 0.9, 1.0, 1.0])
        self.assertEqual(self.plot.shown_depth(half, 800.0, "eql"), 800.0)
        stiff = table([10, 800, np.nan], [1.0, 1.0, 1.0])
        self.assertEqual(self.plot.shown_depth(stiff, 800.0, "eql"), 800.0)

    def test_each_horizontal_gets_its_own_amplification_when_its_layers_differ(self):
        shared = [c for c, *_ in self.plot.amplification_curves({"sh_abs": 0, "psv_abs": 0}, False)]
        self.assertEqual(shared, ["sh_abs", "psv_abs", "radial_abs"])
        own = self.plot.amplification_curves({"sh_abs": 0, "sh_H2_abs": 0, "psv_abs": 0}, False)
        self.assertEqual([c for c, *_ in own], ["sh_abs", "sh_H2_abs", "psv_abs", "radial_abs"])
        self.assertIn("H1", own[0][1])
        self.assertIn("H2", own[1][1])

    def test_husid_curve_of_a_sine_burst_crosses_where_the_closed_form_does(self):
        # a = sin(w t) over 4 cycles: H(t) = t/T - sin(2 w t) / (2 w T).
        import numpy as np
        dt, w, burst = 0.001, 2 * np.pi * 2.0, 2.0
        time = np.arange(0.0, 3.0, dt)
        curve = self.plot.husid(np.where(time <= burst, np.sin(w * time), 0.0), dt)
        for level in self.plot.HUSID_MARKS:
            crossing = self.plot.crossing_time(time, curve, level)
            self.assertAlmostEqual(crossing / burst - np.sin(2 * w * crossing) / (2 * w * burst),
                                   level, delta=1e-5)

    def test_response_figure_has_a_rotd_panel_only_with_a_pair(self):
        with tempfile.TemporaryDirectory() as scratch:
            folder = write_results(Path(scratch))
            figure = self.plot.response_figure(folder, self.plot.RunInfo(), 50)
            self.assertIn("RotD50 and RotD100 of H1, H2", [a.get_title() for a in figure.axes])
            blank_rotd(folder / "response.csv")
            figure = self.plot.response_figure(folder, self.plot.RunInfo(), 50)
            self.assertEqual(len(figure.axes), 6)

    def test_fourier_unit_is_record_unit_times_seconds(self):
        unit = self.plot.integrated(self.plot.parse_unit("cm/s**2"), 1)
        self.assertEqual(self.plot.render_unit(unit), "cm/s")


if __name__ == "__main__":
    unittest.main()
