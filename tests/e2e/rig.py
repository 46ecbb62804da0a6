"""Drives GRIV.exe under Wine on a private Xvfb display, as a user would:
starting it, pressing keys and clicking with xdotool, reading the registry
with `wine reg`, looking at windows with griv-probe and at the screen with
ImageMagick. Every wait is for a condition, with a timeout."""
import contextlib
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
        # File names outside ASCII reach Wine's programs intact only from a UTF-8 locale.
        if 'UTF-8' not in (self.env.get('LC_ALL') or self.env.get('LANG') or ''):
            self.env['LC_ALL'] = 'C.UTF-8'
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

    @contextlib.contextmanager
    def hot_key_held(self, mods, vk):
        """Another program holds a system-wide hot key while the block runs."""
        holder = self.spawn(BIN / 'griv-hotkey.exe', str(mods), hex(vk))
        try:
            wait_until(lambda: any(w['title'] == 'griv-hotkey: held' for w in self.windows()), 10,
                       what='the other program to take the hot key')
            yield
        finally:
            self.probe('post', 'GrivHotKeyHolder', '0x10')
            holder.wait(10)

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

    def enabled(self, name):
        """Whether the main window's tool button of a command is enabled (every place of a
        command follows one state, and menus of another process cannot be read under Wine)."""
        code, out = self.probe('enabled', MAIN_CLASS, str(IDS[name]))
        if code:
            raise RigError(f'no control {name}')
        return out == '1'

    def child_rect(self, name):
        code, out = self.probe('child-rect', MAIN_CLASS, str(IDS[name]))
        if code:
            raise RigError(f'no control {name}')
        return tuple(int(v) for v in out.split())

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

    # ---- mail -------------------------------------------------------------------
    OUTLOOK_APP_PATH = r'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\OUTLOOK.EXE'
    OUTLOOK_EXE = r'C:\Program Files\GRIV Test Outlook\OUTLOOK.EXE'

    def install_outlook(self, exe_exists=True):
        """Makes Outlook look installed: the App Paths entry GRIV reads at start-up names
        OUTLOOK.EXE (an empty file, created unless exe_exists is false), and the tests'
        automation stand-in answers for "Outlook.Application". Its calls go to the file
        named by GRIV_TEST_OUTLOOK_LOG in self.env."""
        exe = self.unix_path(self.OUTLOOK_EXE)
        if exe_exists:
            exe.parent.mkdir(parents=True, exist_ok=True)
            exe.touch()
        elif exe.exists():
            exe.unlink()
        self.wine('reg', 'add', self.OUTLOOK_APP_PATH, '/ve', '/d', self.OUTLOOK_EXE, '/f', check=True)
        self.wine('regsvr32', '/s', self.windows_path(BIN / 'griv_test_outlook.dll'), check=True)

    def remove_outlook(self):
        self.wine('reg', 'delete', self.OUTLOOK_APP_PATH, '/f')
        self.wine('regsvr32', '/u', '/s', self.windows_path(BIN / 'griv_test_outlook.dll'))

    def use_test_mail_client(self, log_path, **settings):
        """Programs started from now on load the tests' recording mapi32.dll (beside
        GRIV.exe) instead of Wine's; it appends its calls to log_path. settings are
        its other GRIV_TEST_MAPI_* variables, e.g. SEND_RESULT='1'."""
        self.env['WINEDLLOVERRIDES'] = 'mscoree,mshtml=;mapi32=n,b'
        self.env['GRIV_TEST_MAPI_LOG'] = self.windows_path(log_path)
        for name, value in settings.items():
            self.env['GRIV_TEST_MAPI_' + name.upper()] = str(value)

    def use_system_mail_client(self):
        self.env['WINEDLLOVERRIDES'] = 'mscoree,mshtml='
        for name in [n for n in self.env if n.startswith('GRIV_TEST_MAPI_')]:
            del self.env[name]

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

    def mark(self, view, key, start, end=None, text=None):
        """Picks a markup tool by its key and draws with it on the view (its client
        rectangle): a drag from start to end, or a click at start, then text typed
        and finished with Enter. Positions are view pixels."""
        self.focus_x_window(self.main_rect())
        self.key(key)
        x0, y0 = view[0] + start[0], view[1] + start[1]
        self.xdotool('mousemove', x0, y0)
        self.xdotool('mousedown', 1)
        if end:
            x1, y1 = view[0] + end[0], view[1] + end[1]
            for i in range(1, 6):
                self.xdotool('mousemove', x0 + (x1 - x0) * i // 5, y0 + (y1 - y0) * i // 5)
        self.xdotool('mouseup', 1)
        if text:
            self.xdotool('type', '--delay', '40', text)
            self.key('Return')

    def open_test_window(self, x=100, y=80, w=500, h=360, title='Pattern', cls=None):
        """A window with a fixed colour pattern (griv-testwin), once it shows; cls
        gives it another window class (a console's, for instance)."""
        self.spawn(BIN / 'griv-testwin.exe', x, y, w, h, title, *([cls] if cls else []))
        wait_until(lambda: any(r['title'] == title and r['visible'] for r in self.windows()), 15,
                   what=f'the test window {title}')


# ---- call logs of the tests' mail client and Outlook stand-in --------------------
def read_call_log(path):
    """Records of a call log: [(verb, {key: value})], values as bytes unescaped to str
    (latin-1, so ANSI bytes keep their values)."""
    import re
    out = []
    p = Path(path)
    if not p.exists():
        return out
    def unescape(v):
        b = re.sub(rb'\\(x[0-9A-F]{2}|.)', lambda m: {b't': b'\t', b'r': b'\r', b'n': b'\n'}.get(
            m.group(1), bytes([int(m.group(1)[1:], 16)]) if m.group(1).startswith(b'x') else m.group(1)), v)
        return b.decode('latin-1')
    for line in p.read_bytes().split(b'\n'):
        if not line:
            continue
        verb, *fields = line.split(b'\t')
        out.append((verb.decode('latin-1'), {f.split(b'=', 1)[0].decode(): unescape(f.split(b'=', 1)[1])
                                              for f in fields if b'=' in f}))
    return out


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


# ---- installer ------------------------------------------------------------------
INSTALLER = TOP / 'build' / 'win' / 'installer' / 'GRIV-setup.exe'
INSTALLED_FILES = TOP / 'build' / 'win' / 'installer' / 'files'  # what the installer carries
UNINSTALL_KEY = r'Software\Microsoft\Windows\CurrentVersion\Uninstall'
RUN_KEY = r'HKCU\Software\Microsoft\Windows\CurrentVersion\Run'


def project_version():
    import re
    text = (TOP / 'build' / 'win' / 'gen' / 'version.h').read_text()
    return re.search(r'GRIV_VERSION_TEXT "([^"]+)"', text).group(1)


class InstallerRig(Rig):
    """A prefix of its own for installing and uninstalling, and the places a
    per-user or an all-users install uses in it."""

    def env_folder(self, name):
        """A folder named by an environment variable of the prefix (APPDATA, LOCALAPPDATA, ProgramData...)."""
        cache = self.__dict__.setdefault('_env_folders', {})
        if name not in cache:
            cache[name] = self.wine('cmd', '/c', f'echo %{name}%').stdout.strip()
        return cache[name]

    def places(self, product, all_users=False):
        """Windows paths of the program folder and the Start-menu link, and the uninstall key."""
        if all_users:
            folder = self.env_folder('ProgramFiles') + '\\' + product
            menu = self.env_folder('ProgramData') + r'\Microsoft\Windows\Start Menu\Programs'
            key = 'HKLM\\' + UNINSTALL_KEY + '\\' + product
        else:
            folder = self.env_folder('LOCALAPPDATA') + r'\Programs' + '\\' + product
            menu = self.env_folder('APPDATA') + r'\Microsoft\Windows\Start Menu\Programs'
            key = 'HKCU\\' + UNINSTALL_KEY + '\\' + product
        return dict(folder=folder, link=menu + '\\' + product + '.lnk', key=key)

    def unix_path(self, windows_path):
        """As Rig.unix_path, from the drive letter's folder of the prefix (no Wine call)."""
        drive, _, rest = windows_path.partition(':')
        if len(drive) != 1 or not rest.startswith('\\'):
            return super().unix_path(windows_path)
        return self.prefix / 'dosdevices' / f'{drive.lower()}:' / rest[1:].replace('\\', '/')

    def install(self, installer, *args, timeout=120):
        r = self.wine(installer, *args, timeout=timeout)
        if r.returncode:
            raise RigError(f'{installer.name} {args} ended with {r.returncode}')
        return r

    def uninstall(self, places, *args, timeout=60):
        """Runs the uninstaller of an install (places() of it). It copies itself away and
        returns at once; the copy removes the uninstall entry as its last step."""
        r = self.wine(places['folder'] + r'\Uninstall.exe', *args, timeout=timeout)
        if r.returncode:
            raise RigError(f'the uninstaller ended with {r.returncode}')
        wait_until(lambda: not self.reg_values(places['key']), timeout, what='the uninstaller to finish')

    def remove_installs(self, *products):
        """Takes away whatever earlier tests installed, without the uninstaller."""
        self.probe('post', MAIN_CLASS, '0x10')
        self.probe('gone', MAIN_CLASS, '10000')
        self.kill_all()
        hive = {'HKLM': 'HKEY_LOCAL_MACHINE', 'HKCU': 'HKEY_CURRENT_USER'}
        reg = ['Windows Registry Editor Version 5.00', '', r'[-HKEY_CURRENT_USER\Software\GRIV]']
        run = RUN_KEY.replace('HKCU', hive['HKCU'])
        reg += ['', f'[{run}]'] + [f'"{product}"=-' for product in products]
        for product in products:
            for all_users in (False, True):
                p = self.places(product, all_users)
                shutil.rmtree(self.unix_path(p['folder']), ignore_errors=True)
                self.unix_path(p['link']).unlink(missing_ok=True)
                root, _, rest = p['key'].partition('\\')
                reg += ['', f'[-{hive[root]}\\{rest}]']
        shutil.rmtree(self.unix_path(self.env_folder('APPDATA') + r'\GRIV'), ignore_errors=True)
        with tempfile.TemporaryDirectory() as tmp:
            f = Path(tmp) / 'clean.reg'
            f.write_text('\r\n'.join(reg) + '\r\n', encoding='utf-16')
            self.wine('regedit', '/s', f, check=True)

# ---- printing ------------------------------------------------------------------
# A printer that needs no daemon: Wine's own PostScript driver with the generic
# PPD that Wine carries inside winspool.drv, and a pipe port that the shell runs
# at the end of every job, writing each job to a file of its own. The printable
# area starts offsetX/offsetY pixels into the sheet (75/75 for this driver's A4
# at 300 dpi); a landscape job arrives as a portrait sheet drawn turned.
PRINTER_SETUP = BIN / 'griv-printer-setup.exe'
PRINT_SAMPLE = BIN / 'griv-print-sample.exe'
TEST_PRINTER = 'GRIV Test Printer'
WINSPOOL_DRV = Path('/usr/lib/i386-linux-gnu/wine/i386-windows/winspool.drv')


def wine_generic_ppd(dest):
    """Writes Wine's built-in PPD (the NUL-terminated text at "*PPD-Adobe" in winspool.drv) to dest."""
    import glob
    src = WINSPOOL_DRV if WINSPOOL_DRV.exists() else next(
        (Path(p) for p in glob.glob('/usr/lib/*/wine/i386-windows/winspool.drv')), None)
    if not src:
        raise RigError('no 32-bit winspool.drv: is wine32 installed?')
    data = src.read_bytes()
    start = data.find(b'*PPD-Adobe')
    if start < 0:
        raise RigError(f'no PPD inside {src}')
    end = data.find(b'\0', start)
    Path(dest).write_bytes(data[start:end])
    return Path(dest)


def printers(rig):
    """(name, port, is_default) of every printer of the prefix."""
    r = rig.wine(PRINTER_SETUP, 'list')
    rows = []
    for line in r.stdout.splitlines():
        parts = line.rstrip('\r').split('\t')
        if len(parts) == 3:
            rows.append((parts[0], parts[1], parts[2] == '1'))
    return rows


def install_printer(rig, name=TEST_PRINTER):
    """Adds the test printer to the prefix as its default printer (the driver
    only the first time, about a second; then at once) and returns the folder
    its jobs land in, emptied."""
    jobs = TOP / 'build' / 'print-jobs' / rig.prefix.name
    if jobs.exists():
        shutil.rmtree(jobs)
    jobs.mkdir(parents=True)
    if not any(p[0] == name for p in printers(rig)):
        ppd = wine_generic_ppd(jobs.parent / 'wine-generic.ppd')
        rig.wine(PRINTER_SETUP, 'install', name, rig.windows_path(ppd), jobs, timeout=60, check=True)
    else:
        rig.wine(PRINTER_SETUP, 'default', name, check=True)
    rig.print_jobs = jobs
    return jobs


def remove_printer(rig, name=TEST_PRINTER):
    """Deletes the test printer (the driver stays for the next install)."""
    rig.wine(PRINTER_SETUP, 'remove', name, check=True)


class no_printer:
    """A prefix without any printer for the time of a with-block; the test
    printer comes back afterwards if it was there."""

    def __init__(self, rig):
        self.rig = rig

    def __enter__(self):
        self.had = any(p[0] == TEST_PRINTER for p in printers(self.rig))
        for p in printers(self.rig):
            remove_printer(self.rig, p[0])
        if printers(self.rig):
            raise RigError('printers left after removing them all')
        return self.rig

    def __exit__(self, *exc):
        if self.had:
            install_printer(self.rig)
        return False


def complete_jobs(jobs_dir):
    """Job files that are complete: they end with %%EOF. (A job file appears
    when the port's shell opens it and grows until then.)"""
    out = []
    for f in sorted(Path(jobs_dir).glob('job.*.ps'), key=lambda p: int(p.name.split('.')[1])):
        try:
            with open(f, 'rb') as fh:
                fh.seek(0, os.SEEK_END)
                size = fh.tell()
                fh.seek(max(0, size - 64))
                if fh.read().rstrip().endswith(b'%%EOF'):
                    out.append(f)
        except OSError:
            pass
    return out


def wait_print_jobs(jobs_dir, count, timeout=20):
    """Waits until count jobs are complete and none grows any more; returns them."""
    def ready():
        jobs = complete_jobs(jobs_dir)
        if len(jobs) < count or len(list(Path(jobs_dir).glob('job.*.ps'))) > len(jobs):
            return None
        sizes = [j.stat().st_size for j in jobs]
        time.sleep(0.1)
        return jobs if sizes == [j.stat().st_size for j in jobs] else None
    return wait_until(ready, timeout, 0.1, f'{count} complete print job(s) in {jobs_dir}')


def job_is_landscape(job):
    head = Path(job).read_bytes()[:4096]
    return b'%%Orientation: Landscape' in head


def job_page_count(job):
    import re
    m = re.findall(rb'%%Pages: (\d+)', Path(job).read_bytes()[-4096:])
    return int(m[-1]) if m else 0


def read_ppm(path):
    """A binary PPM (as ghostscript writes it, comments included) as Pixels, without ImageMagick."""
    import re
    data = Path(path).read_bytes()
    m = re.match(rb'P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(?:#[^\n]*\n\s*)*(\d+)\s+(?:#[^\n]*\n\s*)*255\s', data)
    if not m:
        raise RigError(f'{path} is not a PPM with 8-bit channels')
    px = Pixels.__new__(Pixels)
    px.width, px.height = int(m.group(1)), int(m.group(2))
    px.data = data[m.end():]
    return px


def render_job(job, out_dir, dpi=300):
    """Renders every page of a job with ghostscript at the printer's resolution.
    A landscape job's pages are turned a quarter clockwise, so that they read
    as the program drew them. Returns one Pixels a page."""
    out_dir = Path(out_dir)
    out_dir.mkdir(parents=True, exist_ok=True)
    stem = Path(job).stem
    for old in out_dir.glob(f'{stem}-*.ppm'):
        old.unlink()
    subprocess.run(['gs', '-q', '-dSAFER', '-dBATCH', '-dNOPAUSE', '-sDEVICE=ppmraw', f'-r{dpi}',
                    '-o', str(out_dir / f'{stem}-%d.ppm'), str(job)], check=True, timeout=120,
                   stdout=subprocess.DEVNULL)
    pages = sorted(out_dir.glob(f'{stem}-*.ppm'), key=lambda p: int(p.stem.rsplit('-', 1)[1]))
    if job_is_landscape(job):
        for p in pages:
            subprocess.run(['convert', str(p), '-rotate', '90', str(p)], check=True, timeout=120)
    return [read_ppm(p) for p in pages]


def job_text(job):
    """The text of a job as ghostscript reads it back, pages one after another
    (a landscape job's text line by line as the turned page reads)."""
    if job_is_landscape(job):
        return '\n'.join(''.join(c for _, c in v) for v in text_lines(job_chars(job)).values())
    r = subprocess.run(['gs', '-q', '-dSAFER', '-dBATCH', '-dNOPAUSE', '-sDEVICE=txtwrite', '-o', '-', str(job)],
                       capture_output=True, timeout=120, check=True)
    return r.stdout.decode('utf-8', 'replace')


def job_chars(job, dpi=300):
    """Every character of a job with its place: (page, x, y, char), x the left
    edge and y the baseline in pixels at dpi (whole points, so within about
    dpi/72 pixels) of the sheet, turned a quarter clockwise for a landscape job."""
    import html
    import re
    landscape = job_is_landscape(job)
    m = re.search(rb'/PageSize\s*\[\s*(\d+)\s+(\d+)\s*\]', Path(job).read_bytes()[:8192])
    sheet_h = int(m.group(2)) if m else 842
    r = subprocess.run(['gs', '-q', '-dSAFER', '-dBATCH', '-dNOPAUSE', '-sDEVICE=txtwrite', '-dTextFormat=0',
                        '-o', '-', str(job)], capture_output=True, timeout=120, check=True)
    out, page = [], -1
    for line in r.stdout.decode('utf-8', 'replace').splitlines():
        if line.startswith('<page'):
            page += 1
        m = re.match(r'<char bbox="(-?\d+) (-?\d+) (-?\d+) (-?\d+)" c="(.*)"/>', line.strip())
        if m:
            x, y = int(m.group(1)), int(m.group(2))
            if landscape:  # text runs up the sheet
                x, y = sheet_h - y, x
            out.append((page, x * dpi / 72, y * dpi / 72, html.unescape(m.group(5))))
    return out


def text_lines(chars, tolerance=6):
    """Characters grouped into lines: {(page, y): [(x, char), ...]} in reading order."""
    lines = {}
    for page, x, y, c in chars:
        key = next((k for k in lines if k[0] == page and abs(k[1] - y) <= tolerance), (page, y))
        lines.setdefault(key, []).append((x, c))
    return {k: sorted(v) for k, v in sorted(lines.items())}


def coloured_span(px, fixed, vertical=False, spread=100):
    """First and last position of strongly coloured pixels (grey and black text
    excluded) on one row (or column) of a rendered page."""
    hits = []
    n = px.height if vertical else px.width
    for i in range(n):
        c = px.pixel(fixed, i) if vertical else px.pixel(i, fixed)
        if max(c) - min(c) > spread:
            hits.append(i)
    return (hits[0], hits[-1]) if hits else None


def job_png(job, path, dpi=300, page=1):
    """One page of a job as a PNG to look at (turned upright for landscape)."""
    subprocess.run(['gs', '-q', '-dSAFER', '-dBATCH', '-dNOPAUSE', '-sDEVICE=png16m', f'-r{dpi}',
                    f'-dFirstPage={page}', f'-dLastPage={page}', '-o', str(path), str(job)], check=True, timeout=120,
                   stdout=subprocess.DEVNULL)
    if job_is_landscape(job):
        subprocess.run(['convert', str(path), '-rotate', '90', str(path)], check=True, timeout=120)
    return Path(path)


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
