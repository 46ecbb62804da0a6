"""Full-screen captures on two monitors and at a high DPI setting, each in a
Wine prefix of its own so that the shared one keeps one virtual desktop at
96 DPI.

Two monitors: Wine inside a virtual desktop reports one monitor, so that
prefix runs without one, on a nested X server: Xephyr with Xinerama, one
screen of 1024 x 768 and one of 800 x 600 placed at x 1024, shown inside an
Xvfb. Wine puts the primary monitor (the first Xinerama head) at (0, 0) of its
desktop coordinates and the others where Xinerama places them relative to it;
here the first head is at the X root's origin, so desktop coordinates and
Xephyr root coordinates are the same, and monitor 2, (1024, 0)-(1824, 600), is
the root window's rectangle (1024, 0, 800, 600). The root screenshot is
1824 x 768; its strip below monitor 2 belongs to no monitor."""
import glob
import os
import shutil
import signal
import subprocess
import time
from pathlib import Path

import pytest

from rig import KEY, MAIN_CLASS, TOP, Pixels, Rig, RigError, wait_until

MONITOR_1 = (0, 0, 1024, 768)
MONITOR_2 = (1024, 0, 800, 600)
PREFIX_2MON = TOP / 'build' / 'wine-e2e-2mon'
PREFIX_DPI = TOP / 'build' / 'wine-e2e-dpi'
HIGH_DPI = 144


def free_display(first):
    for n in range(first, first + 50):
        if not Path(f'/tmp/.X{n}-lock').exists() and not Path(f'/tmp/.X11-unix/X{n}').exists():
            yield n


def stop_process(p):
    if p and p.poll() is None:
        p.send_signal(signal.SIGTERM)
        try:
            p.wait(5)
        except subprocess.TimeoutExpired:
            p.kill()
            p.wait(5)


class TwoMonitorRig(Rig):
    """Wine without a virtual desktop on Xephyr with two Xinerama screens,
    Xephyr itself shown in an Xvfb large enough for both."""

    def __init__(self, prefix=PREFIX_2MON):
        super().__init__(prefix, size='1824x768')
        self.xephyr = None

    def start(self):
        self._start_xvfb()
        self._start_xephyr()
        self.env.update(WINEPREFIX=str(self.prefix), WINEARCH='win32', WINEDEBUG='-all',
                        WINEDLLOVERRIDES='mscoree,mshtml=')
        self._prepare_prefix()
        return self

    def _start_xephyr(self):
        for n in free_display(250):
            self.xephyr = subprocess.Popen(
                ['Xephyr', f':{n}', '+xinerama', '-extension', 'RANDR',
                 '-screen', '1024x768', '-origin', '1024,0', '-screen', '800x600', '-nolisten', 'tcp'],
                env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                wait_until(lambda: Path(f'/tmp/.X11-unix/X{n}').exists() or self.xephyr.poll() is not None,
                           10, what='Xephyr')
            except RigError:
                pass
            if self.xephyr.poll() is None and Path(f'/tmp/.X11-unix/X{n}').exists():
                self.display = f':{n}'
                self.env['DISPLAY'] = self.display  # everything below runs on Xephyr
                return
            stop_process(self.xephyr)
        raise RigError('Xephyr did not start')

    def _prepare_prefix(self):
        # The usual prefix first (fonts, settled services), then without its
        # virtual desktop; the stamp keeps the result between runs.
        subprocess.run(['bash', '-c', f'. "{TOP}/scripts/wine-env.sh" "{self.prefix}" && griv_wine_prefix'],
                       env=self.env, check=True, timeout=300,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        stamp = self.prefix / '.griv-2mon-ready'
        if not stamp.exists():
            self.wine('reg', 'delete', r'HKCU\Software\Wine\Explorer', '/v', 'Desktop', '/f')
            self.restart_server()
            stamp.touch()

    def restart_server(self):
        for args in (['-k'], ['-w'], ['-p']):
            subprocess.run(['wineserver', *args], env=self.env, timeout=60,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def monitors(self):
        _, out = self.probe('monitors')
        return [tuple(int(v) for v in line.split()) for line in out.splitlines() if line.strip()]

    def stop(self):
        self.kill_all()
        subprocess.run(['wineserver', '-k'], env=self.env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        stop_process(self.xephyr)
        stop_process(self.xvfb)


class HighDpiRig(Rig):
    """The usual virtual desktop of 1280 x 800, with the prefix's DPI at 144."""

    def __init__(self, prefix=PREFIX_DPI, dpi=HIGH_DPI):
        super().__init__(prefix)
        self.dpi = dpi

    def start(self):
        super().start()
        # Each Wine process reads the DPI when it starts: set it, then restart
        # everything of the prefix so that no process still has the old one.
        self.reg_set('LogPixels', self.dpi, key=r'HKCU\Control Panel\Desktop')
        for args in (['-k'], ['-w'], ['-p']):
            subprocess.run(['wineserver', *args], env=self.env, timeout=60,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self


def have_32bit_xinerama():
    """Wine's 32-bit X11 driver needs the 32-bit Xinerama library to see more than one monitor."""
    dirs = [d for d in os.environ.get('LD_LIBRARY_PATH', '').split(':') if d]
    dirs += ['/usr/lib/i386-linux-gnu', '/lib/i386-linux-gnu', '/usr/lib32']
    return any(glob.glob(f'{d}/libXinerama.so.1*') for d in dirs)


def reset(rig):
    """No GRIV running and no settings stored."""
    rig.probe('post', MAIN_CLASS, '0x10')
    rig.probe('gone', MAIN_CLASS, '10000')
    rig.kill_all()
    rig.reg_delete_key(KEY)


@pytest.fixture
def autosave_to(tmp_path):
    """Returns a function that resets a rig and turns Auto Save on into an empty folder."""
    def prepare(rig):
        reset(rig)
        folder = tmp_path / 'shots'
        folder.mkdir()
        rig.reg_set('AutoSave', 'On')
        rig.reg_set('AutoSavePath', rig.windows_path(folder))
        rig.reg_set('InclMouse', '0')
        return folder
    return prepare


def saved(folder, timeout=15):
    def ready():
        files = sorted(p for p in folder.iterdir() if not p.name.endswith('.tmp'))
        return files or None
    return wait_until(ready, timeout, what='a saved file')


def pattern_pixels(pic):
    """Pixels of the test window's red."""
    return sum(1 for i in range(0, len(pic.data), 3) if pic.data[i:i + 3] == b'\xdc\x28\x28')


def differing_count(a, b):
    return sum(1 for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3])


def full_screen_capture(rig, folder, shots):
    """Screen as X shows it, then the capture that a second start with \\F saves."""
    screen = rig.stable_screenshot(shots / 'screen.png')
    assert rig.second_start('\\F').returncode == 0
    files = saved(folder)
    assert [f.name for f in files] == ['GRIV-00001.bmp']
    shutil.copy(files[0], shots / 'capture.bmp')
    return screen, Pixels(files[0])


# ---- two monitors -----------------------------------------------------------------

class TestTwoMonitors:
    @pytest.fixture(scope='class')
    def rig(self):
        if not shutil.which('Xephyr'):
            pytest.skip('Xephyr is not installed (package xserver-xephyr)')
        if not have_32bit_xinerama():
            pytest.skip('Wine would see one monitor: the 32-bit Xinerama library (libxinerama1:i386) is missing')
        r = TwoMonitorRig()
        try:
            r.start()
            assert r.monitors() == [(0, 0, 1024, 768), (1024, 0, 1824, 600)]
            yield r
        finally:
            r.stop()

    @pytest.mark.parametrize('use_monitor, rect', [(1, MONITOR_2), (0, MONITOR_1)], ids=['monitor2', 'monitor1'])
    def test_full_screen_capture_is_the_chosen_monitor(self, rig, autosave_to, shots, use_monitor, rect):
        folder = autosave_to(rig)
        rig.reg_set('UseMonitor', use_monitor)
        rig.start_griv(settle=True)
        # A pattern on each monitor, the second one's close to its left edge.
        rig.open_test_window(100, 80, 500, 360, 'Left')
        rig.open_test_window(1100, 50, 500, 360, 'Right')
        screen, capture = full_screen_capture(rig, folder, shots)
        assert screen.size == (1824, 768)
        x, y, w, h = rect
        assert capture.size == (w, h)
        expected = screen.crop(x, y, w, h)
        assert capture.data == expected, f'{differing_count(capture.data, expected)} pixels differ'
        assert pattern_pixels(capture) > 10000  # the test window on that monitor, not an empty screen
        wait_until(lambda: rig.status_text() == f'({w} x {h}) - Full Screen capture', 10, what='the status text')
        assert rig.reg_query('UseMonitor') == use_monitor  # the choice itself is left alone


# ---- high DPI -------------------------------------------------------------------

class TestHighDpi:
    @pytest.fixture
    def rig(self, high_dpi_rig):
        return high_dpi_rig

    def test_full_screen_capture_keeps_the_screen_pixel_size(self, rig, autosave_to, shots):
        folder = autosave_to(rig)
        assert rig.reg_query('LogPixels', key=r'HKCU\Control Panel\Desktop') == HIGH_DPI
        rig.start_griv(settle=True)
        rig.open_test_window(100, 80, 500, 360, 'Pattern')
        screen, capture = full_screen_capture(rig, folder, shots)
        assert capture.size == screen.size == (1280, 800)
        expected = screen.data
        assert capture.data == expected, f'{differing_count(capture.data, expected)} pixels differ'
        wait_until(lambda: rig.status_text() == '(1280 x 800) - Full Screen capture', 10, what='the status text')

    def test_main_window_is_laid_out_for_the_dpi(self, rig, autosave_to, shots):
        autosave_to(rig)
        rig.start_griv(settle=True)
        assert rig.second_start().returncode == 0
        wait_until(rig.main_visible, 10, what='the main window')
        time.sleep(0.5)
        left, top, right, bottom = rig.main_rect()
        screen = rig.stable_screenshot(shots / 'screen.png')
        subprocess.run(['convert', str(shots / 'screen.png'), '-crop',
                        f'{right - left}x{bottom - top}+{max(0, left)}+{max(0, top)}', '+repage',
                        str(shots / 'main-window.png')], check=True, timeout=30)
        # A client area of 597 x 271 at 96 DPI is 896 x 407 at 144, plus frame, caption and menu.
        assert right - left >= 896 and bottom - top >= 407, (left, top, right, bottom)
        assert right - left < 1000 and bottom - top < 560, (left, top, right, bottom)
        assert screen.size == (1280, 800)
