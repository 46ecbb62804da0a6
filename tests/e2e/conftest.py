import shutil
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).parent))
from rig import GRIV, KEY, MAIN_CLASS, PROBE, TOP, Rig  # noqa: E402


@pytest.fixture(scope='session')
def rig():
    if not GRIV.exists() or not PROBE.exists():
        pytest.fail('build GRIV.exe and griv-probe.exe first (scripts/build)')
    r = Rig(TOP / 'build' / 'wine-e2e').start()
    yield r
    r.stop()


@pytest.fixture(scope='session')
def high_dpi_rig():
    """A second desktop whose prefix runs at 144 DPI, started once for every test that needs it."""
    from test_monitors import HighDpiRig
    r = HighDpiRig()
    try:
        yield r.start()
    finally:
        r.stop()


@pytest.fixture
def clean(rig):
    """No GRIV running and no settings stored, before and after each test."""
    rig.probe('post', MAIN_CLASS, '0x10')
    rig.probe('gone', MAIN_CLASS, '10000')
    rig.kill_all()
    rig.reg_delete_key(KEY)
    yield rig
    rig.probe('post', MAIN_CLASS, '0x10')
    rig.probe('gone', MAIN_CLASS, '10000')
    rig.kill_all()
    rig.reg_delete_key(KEY)


@pytest.fixture
def shots(request):
    """Folder for screenshots of this test (kept under build/ for a look afterwards)."""
    d = TOP / 'build' / 'e2e-shots' / request.node.name
    shutil.rmtree(d, ignore_errors=True)
    d.mkdir(parents=True, exist_ok=True)
    return d
