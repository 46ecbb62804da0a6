"""Drives GRIV.exe under Wine on a private Xvfb display, as a user would:
starting it, pressing keys and clicking with xdotool, reading the registry
with `wine reg`, looking at windows with griv-probe and at the screen with
ImageMagick. Every wait is for a condition, with a timeout."""
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

TOP = Path(__file__).resolve().parents[2]
BIN = TOP / 'build' / 'win' / 'bin'
GRIV = BIN / 'GRIV.exe'
PROBE = BIN / 'griv-probe.exe'
MAIN_CLASS = 'TfrmCaptureForm'
KEY = r'HKCU\Software\GRIV'


class RigError(AssertionError):
    pass


def _resource_ids():
    """Every #define NAME number of the program's resource headers (command and control ids)."""
    ids = {}
    for header in sorted((TOP / 'resources').glob('ids_*.h')):
        for m in re.finditer(r'^#define\s+(\w+)\s+(\d+)\s*$', header.read_text(), re.M):
            ids[m.group(1)] = int(m.group(2))
    return ids


IDS = _resource_ids()


def wait_until(cond, timeout=10.0, interval=0.05, what='condition'):
    end = time.monotonic() + timeout
    while True:
        v = cond()
        if v:
            return v
        if time.monotonic() > end:
            raise RigError(f'timed out after {timeout}s waiting for {what}')
        time.sleep(interval)


class Rig:
    def __init__(self, prefix: Path, size='1280x800'):
        self.prefix = prefix
        self.size = size
        self.xvfb = None
        self.env = dict(os.environ)
        self.procs = []

    # ---- set-up and tear-down -------------------------------------------
    def start(self):
        self._start_xvfb()
        self.env.update(WINEPREFIX=str(self.prefix), WINEARCH='win32', WINEDEBUG='-all',
                        WINEDLLOVERRIDES='mscoree,mshtml=')
        subprocess.run(['bash', '-c', f'. "{TOP}/scripts/wine-env.sh" "{self.prefix}" && griv_wine_prefix'],
                       env=self.env, check=True, timeout=300,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self

    def _start_xvfb(self):
        for n in range(150, 200):
            if Path(f'/tmp/.X{n}-lock').exists() or Path(f'/tmp/.X11-unix/X{n}').exists():
                continue
            self.xvfb = subprocess.Popen(['Xvfb', f':{n}', '-screen', '0', f'{self.size}x24', '-nolisten', 'tcp'],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                wait_until(lambda: Path(f'/tmp/.X11-unix/X{n}').exists(), 5, what='Xvfb')
            except RigError:
                self.xvfb.kill()
                continue
            self.display = f':{n}'
            self.env['DISPLAY'] = self.display
            return
        raise RigError('no free X display')

    def stop(self):
        self.kill_all()
        subprocess.run(['wineserver', '-k'], env=self.env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.xvfb:
            self.xvfb.send_signal(signal.SIGTERM)
            try:
                self.xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()

    def kill_all(self):
        for p in self.procs:
            if p.poll() is None:
                p.kill()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    pass
        self.procs.clear()

    # ---- running programs ---------------------------------------------------
    def wine(self, *args, timeout=30, check=False):
        # Output goes through files, not pipes: a Wine service started on the
        # way (the desktop's explorer) inherits them and would hold a pipe open.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            p = subprocess.run(['wine', *map(str, args)], env=self.env, timeout=timeout,
                               stdout=out, stderr=err, stdin=subprocess.DEVNULL)
            out.seek(0)
            err.seek(0)
            r = subprocess.CompletedProcess(p.args, p.returncode, out.read().decode('utf-8', 'replace'),
                                            err.read().decode('utf-8', 'replace'))
        if check and r.returncode:
            raise RigError(f'{args} failed ({r.returncode}): {r.stderr.strip()}')
        return r

    def spawn(self, *args):
        p = subprocess.Popen(['wine', *map(str, args)], env=self.env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(p)
        return p

    def probe(self, *args, timeout=30):
        r = self.wine(PROBE, *args, timeout=timeout)
        return r.returncode, r.stdout.strip()

    SPLASH_END = 6.5  # the start-up splash's third timer tick (2 s each) hides the main window

    def start_griv(self, *args, wait=True, settle=False):
        """First start; waits until its main window exists (it stays hidden). With
        settle, also waits until the start-up splash is over, so that a window
        shown later is not hidden by its last tick."""
        t0 = time.monotonic()
        p = self.spawn(GRIV, *args)
        if wait:
            code, _ = self.probe('wait', MAIN_CLASS, '20000')
            if code != 0:
                raise RigError('GRIV did not create its main window')
            # A sent message is answered once start-up has run to its end (hot keys registered).
            self.probe('send', MAIN_CLASS, '0')
        if settle:
            time.sleep(max(0.0, t0 + self.SPLASH_END - time.monotonic()))
        return p

    def second_start(self, *args, timeout=30):
        return self.wine(GRIV, *args, timeout=timeout)

    def close_griv(self, proc, timeout=20):
        """Asks GRIV to close as the system would (no question) and waits for its end."""
        self.probe('post', MAIN_CLASS, '0x10')
        proc.wait(timeout)

    def main_visible(self):
        code, _ = self.probe('wait', MAIN_CLASS, 'visible', '0')
        return code == 0

    def main_rect(self):
        code, out = self.probe('rect', MAIN_CLASS)
        if code:
            raise RigError('no main window')
        return tuple(int(v) for v in out.split())

    def status_text(self):
        code, out = self.probe('text', MAIN_CLASS)
        lines = out.splitlines()
        return lines[1] if len(lines) > 1 else ''

    def command(self, name):
        """Runs a command of the main window as its menu item does, by its name in the resource headers."""
        self.probe('command', MAIN_CLASS, str(IDS[name]))

    def windows(self):
        code, out = self.probe('windows')
        rows = []
        for line in out.splitlines():
            parts = line.split('\t')
            if len(parts) >= 6:
                rows.append(dict(hwnd=parts[0], pid=parts[1], cls=parts[2], title=parts[3],
                                 visible=parts[4] == '1', rect=tuple(int(v) for v in parts[5].split())))
        return rows

    # ---- registry -----------------------------------------------------------
    def reg_query(self, name, key=KEY):
        r = self.wine('reg', 'query', key, '/v', name)
        if r.returncode != 0:
            return None
        for line in r.stdout.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == name.lower():
                if len(parts) == 2:
                    return ''
                typ, _, val = parts[1], None, parts[2]
                if typ == 'REG_DWORD':
                    return int(val, 16)
                return val
        return None

    def reg_values(self, key=KEY):
        r = self.wine('reg', 'query', key)
        out = {}
        if r.returncode != 0:
            return out
        for line in r.stdout.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith('REG_'):
                val = parts[2] if len(parts) > 2 else ''
                out[parts[0]] = int(val, 16) if parts[1] == 'REG_DWORD' else val
        return out

    def reg_set(self, name, value, key=KEY):
        typ = 'REG_DWORD' if isinstance(value, int) else 'REG_SZ'
        self.wine('reg', 'add', key, '/v', name, '/t', typ, '/d', str(value), '/f', check=True)

    def reg_delete_key(self, key=KEY):
        self.wine('reg', 'delete', key, '/f')

    # ---- files ---------------------------------------------------------------
    def unix_path(self, windows_path):
        r = self.wine('winepath', '-u', windows_path)
        return Path(r.stdout.strip())

    def windows_path(self, unix_path):
        r = self.wine('winepath', '-w', str(unix_path))
        return r.stdout.strip()

    def temp_folder(self):
        code, out = self.probe('temp')
        return out

    # ---- keyboard, mouse, screen ---------------------------------------------
    def xdotool(self, *args):
        subprocess.run(['xdotool', *map(str, args)], env=self.env, check=True, timeout=30)

    def key(self, *keys):
        self.xdotool('key', '--delay', '60', *keys)

    TRAY_ICON = (1270, 788)  # notification area of the 1280 x 800 Wine desktop
    # Rows of the tray menu (one monitor: no monitor items), from the menu's top edge.
    TRAY_ROWS = {'Restore': 12, 'Auto Print': 38, 'Auto Save': 55, 'Add Notes to Image': 72,
                 'Capture Screen Now': 98, 'Capture Active Now': 115, 'Capture Area Now': 132,
                 'GRIV Help': 158, 'Visit our Web Site': 175, 'Quick Start Guide': 192, 'Close': 218}

    def tray_menu(self, item):
        """Right-clicks the tray icon and clicks an item of its menu. (Keys typed into a
        tray menu go to the foreground program under Wine, so the mouse it is.)"""
        def menu_rect():
            return next((r['rect'] for r in self.windows() if r['cls'] == '#32768' and r['visible']), None)
        wait_until(lambda: not menu_rect(), 5, what='the previous menu to close')
        for attempt in range(3):
            # A second right click soon after the first counts as a double click, which opens no menu.
            time.sleep(0.6)
            self.xdotool('mousemove', *self.TRAY_ICON, 'click', 3)
            try:
                rect = wait_until(menu_rect, 3, what='the tray menu')
                break
            except RigError:
                if attempt == 2:
                    raise
        self.xdotool('mousemove', rect[0] + 40, rect[1] + self.TRAY_ROWS[item], 'click', 1)

    def focus_x_window(self, rect):
        """Gives the X keyboard focus to the X window of a Wine window (found by its
        rectangle): Wine does not always move the X focus when a window of another
        process was the last to have it."""
        left, top, right, bottom = rect
        out = subprocess.run(['xwininfo', '-root', '-tree'], env=self.env, capture_output=True, text=True,
                             timeout=30).stdout
        for m in re.finditer(r'(0x[0-9a-f]+) .*?(\d+)x(\d+)\+(-?\d+)\+(-?\d+)', out):
            wid, w, h, x, y = m.group(1), *map(int, m.groups()[1:])
            if (x, y, w, h) == (left, top, right - left, bottom - top):
                subprocess.run(['xdotool', 'windowfocus', wid], env=self.env, timeout=30)
                time.sleep(0.1)
                return True
        return False

    def menu_visible(self):
        return any(r['cls'] == '#32768' and r['visible'] for r in self.windows())

    def menu_keys(self, opener, *keys):
        """Opens a menu with a key (alt+letter), retrying until a menu shows (input
        can take a moment to follow a change of the foreground window), then
        types the remaining keys. The pointer goes over the main window first: after
        some windows close, X sends keys to the window under the pointer."""
        for _ in range(10):
            self.focus_x_window(self.main_rect())
            self.key(opener)
            try:
                wait_until(self.menu_visible, 1.0, what='a menu')
                break
            except RigError:
                self.key('Escape')
        else:
            raise RigError(f'{opener} opened no menu')
        for k in keys:
            self.key(k)
            time.sleep(0.2)

    def screenshot(self, path):
        subprocess.run(['import', '-window', 'root', str(path)], env=self.env, check=True, timeout=30)
        return Path(path)

    def stable_screenshot(self, path):
        """Waits for two identical screenshots in a row: nothing is still being drawn."""
        path = Path(path)
        prev = None
        for _ in range(30):
            self.screenshot(path)
            cur = path.read_bytes()
            if cur == prev:
                break
            prev = cur
            time.sleep(0.2)
        return Pixels(path)

    def open_test_window(self, x=100, y=80, w=500, h=360, title='Pattern'):
        """A window with a fixed colour pattern (griv-testwin), once it shows."""
        self.spawn(BIN / 'griv-testwin.exe', x, y, w, h, title)
        wait_until(lambda: any(r['title'] == title and r['visible'] for r in self.windows()), 15,
                   what=f'the test window {title}')


# ---- pictures ------------------------------------------------------------------
def write_bmp(path, width, height, colour=(200, 30, 60)):
    """A 24-bit BMP of one colour (B, G, R rows bottom-up)."""
    import struct
    stride = (width * 3 + 3) & ~3
    row = bytes((colour[2], colour[1], colour[0])) * width + b'\0' * (stride - width * 3)
    data = row * height
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    Path(path).write_bytes(header + info + data)
    return Path(path)


class Pixels:
    """An RGB picture read through ImageMagick (alpha ignored)."""

    def __init__(self, path):
        out = subprocess.run(['convert', str(path), '-alpha', 'off', '-depth', '8', 'ppm:-'],
                             check=True, capture_output=True, timeout=60).stdout
        # P6\n<w> <h>\n255\n<data>
        parts = out.split(b'\n', 3)
        self.width, self.height = map(int, parts[1].split())
        self.data = parts[3]

    @property
    def size(self):
        return self.width, self.height

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, x, y, w, h):
        rows = []
        for r in range(y, y + h):
            i = (r * self.width + x) * 3
            rows.append(self.data[i:i + w * 3])
        return b''.join(rows)

    def differing(self, other, box=None):
        """Positions (x, y) where the two pictures differ, optionally only inside box (x, y, w, h)."""
        assert self.size == other.size, (self.size, other.size)
        x0, y0, w, h = box or (0, 0, self.width, self.height)
        out = []
        for y in range(y0, y0 + h):
            a = self.data[(y * self.width + x0) * 3:(y * self.width + x0 + w) * 3]
            b = other.data[(y * self.width + x0) * 3:(y * self.width + x0 + w) * 3]
            if a != b:
                for x in range(w):
                    if a[x * 3:x * 3 + 3] != b[x * 3:x * 3 + 3]:
                        out.append((x0 + x, y))
        return out


# ---- griv-record, the stand-in for programs GRIV starts -------------------------
RECORDER = BIN / 'griv-record.exe'


def read_records(path):
    """The starts griv-record wrote down in path: a list of dicts with 'cmdline' and 'args'."""
    path = Path(path)
    if not path.exists():
        return []
    records, cur = [], None
    for line in path.read_bytes().decode('utf-8', 'replace').splitlines():
        if line.startswith('cmdline: '):
            cur = {'cmdline': line[len('cmdline: '):], 'args': []}
        elif line.startswith('arg: ') and cur is not None:
            cur['args'].append(line[len('arg: '):])
        elif line == 'end' and cur is not None:
            records.append(cur)
            cur = None
    return records
