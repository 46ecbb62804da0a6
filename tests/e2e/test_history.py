"""Recent captures and the capture conveniences as a user meets them: every
capture kept at once and found again after a killed GRIV, the edited state
beside it; the delayed capture; a click on a window and a reverse drag in the
area overlay."""
import re
import time

from rig import IDS, MAIN_CLASS, Pixels, wait_until
from test_capture import autosave, drag, saved  # noqa: F401 (fixture)

LVM_GETITEMCOUNT = 0x1004
RECENT = 'Recent Captures'


def history_folder(rig):
    appdata = rig.wine('cmd', '/c', 'echo %APPDATA%').stdout.strip()
    return rig.unix_path(appdata + r'\GRIV\History')


def taken(name):
    """Oldest first: two captures in one second are named "... 12.png", "... 12 (2).png"."""
    m = re.fullmatch(r'(.*?)(?: \((\d+)\))?( edited)?\.png', name)
    return m[1], int(m[2] or 1), bool(m[3])


def pictures(folder, count, timeout=15):
    def ready():
        files = sorted((p.name for p in folder.glob('*.png')), key=taken) if folder.exists() else []
        return files if len(files) >= count else None
    return wait_until(ready, timeout, what=f'{count} picture(s) in {folder}')


def test_every_capture_is_kept_at_once_and_survives_a_killed_griv(clean, shots):
    import shutil
    rig = clean
    folder = history_folder(rig)
    shutil.rmtree(folder, ignore_errors=True)
    griv = rig.start_griv()
    screen = rig.stable_screenshot(shots / 'screen.png')
    rig.second_start('\\F')
    first = pictures(folder, 1)[0]
    assert Pixels(folder / first).size == (1280, 800)
    # A changed picture's state is stored beside its entry when the next capture replaces it.
    rig.command('CM_GREY')
    wait_until(lambda: rig.enabled('CM_UNDO'), 10, what='the greys')
    rig.second_start('\\F')
    edited = first[:-4] + ' edited.png'
    files = pictures(folder, 3)
    assert edited in files, files
    r, g, b = Pixels(folder / edited).pixel(640, 400)
    assert r == g == b, 'the edited state is not the grey picture'
    # Zoomed and replaced without a change: nothing is stored beside it.
    second = sorted(set(files) - {first, edited}, key=taken)[0]
    rig.command('CM_ZMI02')
    wait_until(lambda: 'Viewed at: 2:1' in rig.status_text(), 10, what='the zoom')
    rig.second_start('\\F')
    files = pictures(folder, 4)
    assert second[:-4] + ' edited.png' not in files, files

    # Killed without a word: every capture is already on disk and listed at the next start.
    griv.kill()
    griv.wait(10)
    rig.kill_all()
    rig.start_griv()
    rig.command('CM_RECENTCAPTURES')
    assert rig.probe('find-title', RECENT, '10000')[0] == 0, 'no Recent Captures window'
    count = rig.probe('dlg-send', RECENT, str(IDS['IDC_RECENT_LIST']), str(LVM_GETITEMCOUNT))[1]
    assert int(count) == len(files) == 4
    # Open takes the newest, as File > Open would.
    rig.probe('dlg-click', RECENT, '1')
    newest = sorted((f for f in files if not f.endswith('edited.png')), key=taken)[-1]
    wait_until(lambda: rig.status_text().endswith(newest), 10, what='the newest capture opened')
    assert rig.status_text().startswith('(1280 x 800)')


def test_the_delayed_capture_waits_at_least_its_delay_and_esc_stops_it(autosave, shots):
    rig, folder = autosave
    rig.reg_set('CaptureDelay', '2')
    rig.start_griv(settle=True)
    rig.tray_menu('Capture Screen in Seconds')
    started = time.monotonic()
    saved(folder, 1, timeout=15)
    assert time.monotonic() - started >= 2.0

    # Started again and stopped with Esc: the tray icon counts, then is itself again, and no capture comes.
    x, y = rig.TRAY_ICON

    def icon():
        return Pixels(rig.screenshot(shots / 'tray.png')).crop(x - 8, y - 8, 16, 16)
    plain = icon()
    rig.command('CM_CAPDELAYED')
    wait_until(lambda: icon() != plain, 10, what='the icon counting down')
    rig.key('Escape')
    wait_until(lambda: icon() == plain, 10, what='the icon back after Esc')
    time.sleep(2.5)  # past the delay: nothing may arrive
    assert len([p for p in folder.iterdir() if not p.name.endswith('.tmp')]) == 1


def test_a_click_on_the_overlay_takes_the_window_under_it_a_drag_upwards_its_rectangle_and_keys_adjust_it(autosave, shots):
    rig, folder = autosave
    rig.reg_set('MainPosn', '700,420,705,437')  # the main window away from the test window when it pops up
    rig.start_griv(settle=True)
    rig.open_test_window(120, 90, 420, 300)
    window = next(w['rect'] for w in rig.windows() if w['title'] == 'Pattern' and w['visible'])
    screen = rig.stable_screenshot(shots / 'screen.png')
    rig.command('CM_CAPAREANOW')
    assert rig.probe('wait', 'TfrmCapArea', 'visible', '10000')[0] == 0, 'no overlay'
    time.sleep(0.3)
    rig.xdotool('mousemove', 300, 250, 'click', 1)
    pic = Pixels(saved(folder, 1)[0])
    left, top, right, bottom = window
    assert pic.size == (right - left, bottom - top)  # the whole window, frame and caption
    assert pic.crop(0, 0, *pic.size) == screen.crop(left, top, *pic.size)

    rig.command('CM_CAPAREANOW')
    assert rig.probe('wait', 'TfrmCapArea', 'visible', '10000')[0] == 0, 'no overlay'
    time.sleep(0.3)
    drag(rig, (260, 240), (160, 180))  # up and to the left
    pic = Pixels(saved(folder, 2)[1])
    assert pic.size == (100, 60)
    assert pic.crop(0, 0, 100, 60) == screen.crop(160, 180, 100, 60)

    # Adjusted before it is taken: the released selection waits, Shift+Right moves it ten pixels, Enter takes it.
    rig.kill_all()
    rig.reg_set('AdjustArea', 'On')
    rig.start_griv(settle=True)
    rig.open_test_window(120, 90, 420, 300)
    screen = rig.stable_screenshot(shots / 'screen-again.png')
    rig.command('CM_CAPAREANOW')
    assert rig.probe('wait', 'TfrmCapArea', 'visible', '10000')[0] == 0, 'no overlay'
    time.sleep(0.3)
    drag(rig, (160, 180), (260, 240))
    rig.key('shift+Right', 'Right')
    assert len(list(folder.iterdir())) == 2, 'taken before Enter'
    rig.key('Return')
    pic = Pixels(saved(folder, 3)[2])
    assert pic.size == (100, 60)
    assert pic.crop(0, 0, 100, 60) == screen.crop(171, 180, 100, 60)


def test_fit_to_window_fills_the_view_and_follows_its_size(clean):
    import re
    rig = clean
    rig.reg_set('MainPosn', '100,100,605,417')  # a window smaller than the capture, kept as it is
    rig.start_griv(settle=True)
    rig.second_start('\\F')
    wait_until(lambda: rig.status_text().startswith('(1280 x 800)'), 10, what='the capture')

    def filled():
        m = re.match(r'\((\d+) x (\d+)\) - .* Viewed at: (\d+)%$', rig.status_text())
        if not m:
            return None
        w, h = int(m[1]), int(m[2])
        left, top, right, bottom = rig.child_rect('IDC_SCROLLBOX')
        vw, vh = right - left, bottom - top
        # All of it shown, and as large as the view allows one way (rounding aside).
        ok = w <= vw and h <= vh and (w >= vw - 1 or h >= vh - 1) and abs(int(m[3]) - 100 * w / 1280) <= 1
        return (w, h) if ok else None

    rig.command('CM_FITWINDOW')
    first = wait_until(filled, 10, what='the picture filling the view')
    SC_MAXIMIZE, WM_SYSCOMMAND = 0xF030, 0x0112
    rig.probe('send', MAIN_CLASS, str(WM_SYSCOMMAND), str(SC_MAXIMIZE))
    later = wait_until(lambda: (s := filled()) and s != first and s, 10, what='the fit following the window')
    assert later[0] > first[0]
