#!/usr/bin/python3
"""Runs the module's tests with pytest. Says first which Python, pytest and
numpy it runs with and where the module was found, so that a failure on
another machine shows its cause; exits 77 (skipped) when pytest or numpy is
missing (python3-pytest, python3-numpy)."""

import pathlib
import sys
import traceback

try:
    import numpy
    import pytest
except ImportError as missing:
    print(f"{missing} for {sys.executable} (python3-pytest, python3-numpy): skipped")
    sys.exit(77)

print(f"python {sys.version.split()[0]}, pytest {pytest.__version__}, numpy {numpy.__version__}")
try:
    import sitewave
except Exception:  # the cause is what matters here, whatever it is
    traceback.print_exc()
    sys.exit(1)
print(f"sitewave from {pathlib.Path(sitewave.__file__).parent}")
sys.stdout.flush()
sys.exit(pytest.main(["-q", "-p", "no:cacheprovider", str(pathlib.Path(__file__).parent)]))
