#!/usr/bin/env python3
"""Start-up time, memory and program size of GRIV.exe under Wine, each against
an empty Win32 program measured in the same run, on a 1920 x 1080 screen, and
where GRIV's start-up goes as the program times its own steps.
Prints the figures and TABLE lines for scripts/bench; never fails on a figure.
  app_bench.py [runs]"""
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / 'tests' / 'e2e'))
from rig import BIN, GRIV, MAIN_CLASS, TOP, Rig, wait_until  # noqa: E402

EMPTY = BIN / 'griv-empty.exe'
LAUNCH = BIN / 'griv-launch.exe'
SCREEN = (1920, 1080)


def table(measure, anchor, griv, ratio, goal):
    print(f'TABLE|{measure}|{anchor}|{griv}|{ratio}|{goal}')


PREFIX = TOP / 'build' / 'wine-bench'


def unix_pids(exe_name):
    """The Linux processes running exe_name in this benchmark's Wine prefix (others may run tests meanwhile)."""
    pids = []
    mark = f'WINEPREFIX={PREFIX}'.encode()
    for d in Path('/proc').iterdir():
        if d.name.isdigit():
            try:
                cmd = (d / 'cmdline').read_bytes().decode('latin-1').lower()
                if exe_name.lower() in cmd and 'griv-launch' not in cmd and mark in (d / 'environ').read_bytes():
                    pids.append(int(d.name))
            except OSError:
                pass
    return pids


def rss_anon_kb(exe_name):
    """Private resident memory of the Wine process running exe_name."""
    total = 0
    for pid in unix_pids(exe_name):
        try:
            for line in Path(f'/proc/{pid}/status').read_text().splitlines():
                if line.startswith('RssAnon:'):
                    total = max(total, int(line.split()[1]))
        except OSError:
            pass
    return total


def launch(rig, exe, cls, *args):
    r = rig.wine(LAUNCH, exe, cls, *args, timeout=60)
    ms, _ = r.stdout.split()
    return float(ms)


def stop(rig, exe_name, cls):
    rig.probe('post', cls, '0x10')
    wait_until(lambda: not unix_pids(exe_name), 20, what=f'{exe_name} to end')


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 7
    os.environ['GRIV_DESKTOP_SIZE'] = f'{SCREEN[0]}x{SCREEN[1]}'
    rig = Rig(PREFIX, size=f'{SCREEN[0]}x{SCREEN[1]}').start()
    try:
        rig.reg_delete_key()
        rig.reg_set('CheckClose', 'N')
        # Start-up: the two programs in turns, until each window answers.
        empty_ms, griv_ms, steps = [], [], {}
        with tempfile.TemporaryDirectory() as d:
            times = Path(d) / 'steps.txt'
            for _ in range(runs):
                empty_ms.append(launch(rig, EMPTY, 'GrivEmptyApp'))
                stop(rig, 'griv-empty.exe', 'GrivEmptyApp')
                rig.env['GRIV_STEP_TIMES'] = rig.windows_path(times)
                griv_ms.append(launch(rig, GRIV, MAIN_CLASS))
                del rig.env['GRIV_STEP_TIMES']
                stop(rig, 'GRIV.exe', MAIN_CLASS)
                for line in times.read_text().splitlines() if times.exists() else []:
                    step, ms = line.rsplit('\t', 1)
                    steps.setdefault(step, []).append(float(ms))
                times.unlink(missing_ok=True)
        e, g = statistics.median(empty_ms), statistics.median(griv_ms)
        print(f'start-up until the main window answers (median of {runs}): empty program {e:.1f} ms, GRIV {g:.1f} ms,'
              f' ratio {g / e:.2f}')
        print(f'  all runs: empty program {" ".join(f"{v:.0f}" for v in empty_ms)};'
              f' GRIV {" ".join(f"{v:.0f}" for v in griv_ms)}')
        print('  GRIV\'s steps as it times them (ms: median, minimum):')
        for step, values in steps.items():
            print(f'    {step:<48} {statistics.median(values):7.1f} {min(values):7.1f}')
        total = sum(statistics.median(v) for v in steps.values())
        print(f'    {"sum of the medians":<48} {total:7.1f}')
        table('start-up until the main window answers', f'empty Win32 program {e:.0f} ms', f'{g:.0f} ms',
              f'{g / e:.2f}', '<= 1.2')

        # Memory: private resident memory over that of the empty program.
        launch(rig, EMPTY, 'GrivEmptyApp')
        time.sleep(1.5)
        base = rss_anon_kb('griv-empty.exe')
        stop(rig, 'griv-empty.exe', 'GrivEmptyApp')
        rig.reg_set('AutoSave', 'Off')
        launch(rig, GRIV, MAIN_CLASS)
        time.sleep(rig.SPLASH_END + 1.5)  # past the start-up splash
        idle = rss_anon_kb('GRIV.exe')
        for _ in range(3):
            rig.second_start('\\F')
        time.sleep(6)  # what is kept only while captures follow each other is let go
        after = rss_anon_kb('GRIV.exe')
        stop(rig, 'GRIV.exe', MAIN_CLASS)
        screen_mb = SCREEN[0] * SCREEN[1] * 4 / 1e6
        mb = lambda kb: kb * 1024 / 1e6  # noqa: E731
        print(f'private memory (RssAnon): empty program {mb(base):.1f} MB; GRIV idle +{mb(idle - base):.1f} MB,'
              f' after 3 captures at {SCREEN[0]}x{SCREEN[1]} +{mb(after - base):.1f} MB'
              f' (one screen image is {screen_mb:.1f} MB)')
        table('private memory idle, over an empty program', f'empty program {mb(base):.1f} MB',
              f'+{mb(idle - base):.1f} MB', '-', '<= +5 MB')
        table(f'private memory after 3 captures at {SCREEN[0]}x{SCREEN[1]}', f'empty program {mb(base):.1f} MB',
              f'+{mb(after - base):.1f} MB', f'{(after - base) * 1024 / 1e6 / screen_mb:.2f} screens',
              f'<= 2 screens + 4 MB (+{2 * screen_mb + 4:.1f} MB)')
    finally:
        rig.stop()

    # Size as shipped: the program stripped of its symbols.
    with tempfile.TemporaryDirectory() as d:
        stripped = Path(d) / 'GRIV.exe'
        subprocess.run(['i686-w64-mingw32-strip', '-o', str(stripped), str(GRIV)], check=True)
        size = stripped.stat().st_size
    print(f'GRIV.exe {GRIV.stat().st_size / 1e6:.2f} MB as built, {size / 1e6:.2f} MB stripped')
    table('GRIV.exe as shipped (stripped)', '-', f'{size / 1e6:.2f} MB', '-', '<= 1.3 MB')


if __name__ == '__main__':
    main()
