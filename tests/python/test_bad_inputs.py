"""Bad input raises ValueError with a message that names the problem (the
command's own message where the command has one), never a crash."""

import numpy as np
import pytest

import sitewave
from conftest import EXAMPLES, command_refusal

RECORD = str(EXAMPLES / "kaikoura_wtmc.csv")
SOIL = str(EXAMPLES / "soil_dat.csv")
GOOD = np.zeros((100, 3))

# Options the command refuses: the same message from analyse.
BAD_OPTIONS = [
    ({"angle": 95}, ["--angle", "95"]),
    ({"filter": (1, 2, 3)}, ["--filter", "1,2,3"]),
    ({"damping": 1.5}, ["--damping", "1.5"]),
    ({"physics": "approximate"}, ["--physics", "approximate"]),
    ({"input": "borehole"}, ["--input", "borehole"]),
    ({"fft_size": 1000}, ["--fft-size", "1000"]),
    ({"analysis": "eql", "physics": "legacy"}, ["--analysis", "eql", "--physics", "legacy"]),
    ({"at_depth": -5}, ["--at-depth", "-5"]),
    ({"outputs": ["everything"]}, ["--outputs", "everything"]),
]


@pytest.mark.parametrize("keywords,words", BAD_OPTIONS)
def test_refused_options_give_the_command_message(tmp_path, example_record, example_profile,
                                                  keywords, words):
    expected = command_refusal(tmp_path, "--record", RECORD, "--soil", SOIL, *words)
    with pytest.raises(ValueError) as refused:
        sitewave.analyse(example_record, example_profile, **keywords)
    assert str(refused.value) == expected


def test_refused_files_give_the_command_message(tmp_path):
    bad = tmp_path / "bad.csv"
    bad.write_text("time,H1\n0,1\n0.01,x\n")
    expected = command_refusal(tmp_path, "--record", str(bad), "--soil", SOIL)
    with pytest.raises(ValueError) as refused:
        sitewave.read_record(bad)
    assert str(refused.value) == expected
    with pytest.raises(ValueError, match="nowhere.csv"):
        sitewave.read_soil(tmp_path / "nowhere.csv")


BAD_RECORDS = [
    ((-0.01, GOOD), "dt -0.01"),
    ((float("nan"), GOOD), "dt nan"),
    ((0.01, np.zeros((100, 4))), "one to three columns"),
    ((0.01, np.zeros((10, 2, 2))), "dimensions"),
    ((0.01, np.zeros((100, 3), dtype=complex)), "complex"),
    ((0.01, [["a", "b"]]), "dtype"),
    ((0.01, np.zeros((0, 3))), "Record: "),
    ((0.01, np.full((100, 1), np.nan)), "sample 0 of column H1 is nan"),
    ((0.01, np.full(100, 1e300)), "within single precision"),
    ((0.01, GOOD, ["a", "b"]), "2 names for 3 components"),
    ((0.01, GOOD, ["a", "b", "a,b"]), "without commas"),
]


@pytest.mark.parametrize("arguments,message", BAD_RECORDS)
def test_bad_records(arguments, message):
    with pytest.raises(ValueError, match=message.replace("(", r"\(")):
        sitewave.Record(*arguments)


LAYERS = dict(thickness=[10.0], density=[2.0, 2.2], vp=[500.0, 2000.0], vs=[200.0, 1000.0],
              qp=[20.0, 50.0], qs=[10.0, 25.0])
BAD_PROFILES = [
    (dict(LAYERS, vs=[], thickness=[], density=[], vp=[], qp=[], qs=[]), "Profile: "),
    (dict(LAYERS, vs=[200.0, -1000.0]), "Profile: layer row 2"),
    (dict(LAYERS, density=[2.0, 2.2, 2.4]), "3 values for 2 rows"),
    (dict(LAYERS, qs=0.1), "Qs 0.1"),
    (dict(LAYERS, vp=[np.nan, 2000.0]), "finite"),
    (dict(LAYERS, angle=float("nan")), "Profile: "),
    (dict(LAYERS, input="surface"), "incident or within"),
]


@pytest.mark.parametrize("columns,message", BAD_PROFILES)
def test_bad_profiles(columns, message):
    with pytest.raises(ValueError, match=message):
        sitewave.Profile(**columns)


def test_bad_arrays_for_the_core_functions(example_profile):
    refusals = [
        (lambda: sitewave.response_spectrum(np.ones(100), -0.01, [0.1]), "time step"),
        (lambda: sitewave.response_spectrum([1.0, np.nan], 0.01, [0.1]), "acc: entry 1"),
        (lambda: sitewave.response_spectrum(np.ones((10, 2)), 0.01, [0.1]), "dimensions"),
        (lambda: sitewave.response_spectrum([], 0.01, [0.1]), "at least one sample"),
        (lambda: sitewave.response_spectrum(np.ones(10), 0.01, [0.1], damping=1.5), "damping"),
        (lambda: sitewave.konno_ohmachi([0, 1, 3], [1, 1, 1]), "evenly spaced"),
        (lambda: sitewave.konno_ohmachi([0, 1, 2], [1, 1]), "2 rows for 3 frequencies"),
        (lambda: sitewave.transfer(example_profile, [1, 2, 4], physics="legacy"), "evenly"),
        (lambda: sitewave.transfer(example_profile, [1.0], physics="other"), "legacy or exact"),
        (lambda: sitewave.transfer(example_profile, [1.0], angle=-1), "angle"),
        (lambda: sitewave.transfer(example_profile, [np.inf]), "finite"),
    ]
    for call, message in refusals:
        with pytest.raises(ValueError, match=message):
            call()


def test_analyse_takes_only_its_own_keywords(example_record, example_profile):
    with pytest.raises(TypeError):
        sitewave.analyse(example_record, example_profile, out="folder")
    with pytest.raises(TypeError):
        sitewave.analyse(RECORD, SOIL)


def test_to_folder_refuses_a_folder_in_the_way(tmp_path, example_record, example_profile):
    result = sitewave.analyse(example_record, example_profile, outputs=["transfer"])
    (tmp_path / "taken").mkdir()
    (tmp_path / "taken" / "notes.txt").write_text("mine")
    with pytest.raises(ValueError, match="holds what sitewave does not write there"):
        result.to_folder(tmp_path / "taken", force=True)
    assert (tmp_path / "taken" / "notes.txt").read_text() == "mine"
