"""The area selection and the main window as a user meets them: abandoning a
selection, selecting on a zoomed view, the screen's last pixels, the status
after greys and undo, the splash, the banner after a drag, leftovers of a
killed run."""
import time

from rig import MAIN_CLASS, Pixels, wait_until
from test_capture import autosave, drag, saved  # noqa: F401 (fixture)


def overlay_up(rig):
    assert rig.probe('wait', 'TfrmCapArea', 'visible', '10000')[0] == 0, 'no overlay'
    time.sleep(0.3)


def escape_on_the_overlay(rig):
    code, out = rig.probe('rect', 'TfrmCapArea')
    assert code == 0
    rig.focus_x_window(tuple(int(v) for v in out.split()))
    rig.key('Escape')
    assert rig.probe('gone', 'TfrmCapArea', '5000')[0] == 0, 'Esc did not end the selection'


def shown_window(rig):
    rig.start_griv(settle=True)
    assert rig.second_start().returncode == 0
    wait_until(rig.main_visible, 10, what='the main window')


def test_esc_and_cancel_bring_back_the_window_that_select_an_area_hid(clean):
    rig = clean
    shown_window(rig)
    rig.command('CM_SELECTAREA')
    overlay_up(rig)
    assert not rig.main_visible()
    escape_on_the_overlay(rig)
    wait_until(rig.main_visible, 10, what='the window back after Esc')
    rig.command('CM_SELECTAREA')
    overlay_up(rig)
    drag(rig, (300, 300), (200, 200))  # upwards: nothing selected
    assert rig.probe('find-title', 'Grivanta   ', '10000')[0] == 0, 'no retry message'
    rig.probe('press-button', 'Grivanta   ', 'Cancel')
    wait_until(rig.main_visible, 10, what='the window back after Cancel')


def test_an_area_of_the_screen_is_taken_pixel_for_pixel_whatever_the_zoom(autosave, shots):
    rig, folder = autosave
    rig.reg_set('MainPosn', '600,300,605,317')  # the window, shown after the capture, away from the area
    rig.start_griv(settle=True)
    rig.open_test_window(0, 0, 300, 200)
    rig.second_start('\\F')
    saved(folder)
    rig.command('CM_ZMO02')
    wait_until(lambda: rig.status_text().endswith('Viewed at: 1:2'), 5, what='the view at 1:2')
    frozen = rig.stable_screenshot(shots / 'screen.png')
    rig.command('CM_CAPAREANOW')
    overlay_up(rig)
    drag(rig, (20, 30), (80, 75))
    pic = Pixels(saved(folder, 2)[1])
    assert pic.size == (60, 45)  # not doubled by the view's 1:2
    assert pic.data == frozen.crop(20, 30, 60, 45)
    wait_until(lambda: rig.status_text() == '(60 x 45) - Selected area captured', 5, what='a 1:1 status')


def test_a_drag_to_the_bottom_right_corner_takes_the_last_column_and_row(autosave, shots):
    rig, folder = autosave
    rig.start_griv(settle=True)
    frozen = rig.stable_screenshot(shots / 'screen.png')
    rig.command('CM_CAPAREANOW')
    overlay_up(rig)
    drag(rig, (1200, 720), (1279, 799))  # the pointer cannot go further
    pic = Pixels(saved(folder)[0])
    assert pic.size == (80, 80)
    assert pic.data == frozen.crop(1200, 720, 80, 80)


def test_status_describes_the_view_after_greys_and_undo_at_2_1(autosave):
    rig, folder = autosave
    rig.start_griv(settle=True)
    rig.second_start('\\F')
    saved(folder)
    rig.command('CM_ZMI02')
    wait_until(lambda: rig.status_text() == '(2560 x 1600) - Full Screen capture -  Viewed at: 2:1', 5,
               what='the 2:1 view')
    rig.command('CM_GREY')
    wait_until(lambda: rig.status_text() == '(1280 x 800) - Full Screen capture', 10, what='greys at 1:1')
    rig.focus_x_window(rig.main_rect())
    rig.key('ctrl+z')
    wait_until(lambda: rig.status_text() == '(2560 x 1600) - Full Screen capture -  Viewed at: 2:1', 5,
               what='undo back to 2:1')


def test_the_splash_leaves_a_window_the_user_called_up(clean):
    rig = clean
    rig.start_griv()
    assert rig.second_start().returncode == 0  # well before the splash's last tick
    wait_until(rig.main_visible, 10, what='the main window')
    time.sleep(rig.SPLASH_END + 1.5)
    assert rig.main_visible()


def test_the_banner_lies_above_the_title_bar_after_a_drag(clean, shots):
    rig = clean
    shown_window(rig)
    left, top, right, bottom = rig.main_rect()
    # Press on the caption left of the banner strip and drag the window.
    rig.xdotool('mousemove', left + 60, top + 12, 'mousedown', 1)
    for dx in range(10, 130, 20):
        rig.xdotool('mousemove', left + 60 + dx, top + 12 + dx // 2)
    rig.xdotool('mouseup', 1)
    wait_until(lambda: rig.main_rect()[0] > left + 50, 5, what='the window to move')
    time.sleep(0.5)
    wins = rig.windows()
    order = [w['cls'] for w in wins if w['visible']]
    banner = next(w for w in wins if w['cls'] == 'TfTop')
    assert banner['visible']
    assert order.index('TfTop') < order.index(MAIN_CLASS), order[:6]
    ml, mt, mr, _ = rig.main_rect()
    bl, bt, br, bb = banner['rect']
    assert ml < bl < br < mr and mt < bt < bb < mt + 40, (banner['rect'], rig.main_rect())
    rig.screenshot(shots / 'dragged.png')


def test_the_banner_is_drawn_after_a_hot_key_capture_under_the_tray_menu(clean, shots):
    rig = clean
    rig.start_griv(settle=True)
    rig.xdotool('mousemove', *rig.TRAY_ICON, 'click', 3)
    wait_until(rig.menu_visible, 5, what='the tray menu')
    rig.key('Print')
    wait_until(rig.main_visible, 10, what='the capture on show')
    rig.key('Escape')
    wait_until(lambda: not rig.menu_visible(), 5, what='the menu to close')
    banner = next(w['rect'] for w in rig.windows() if w['cls'] == 'TfTop' and w['visible'])
    back = (255, 200, 160)  # the brand's tag-line background (TaglineBackColor 10537215)

    def drawn():
        px = rig.screenshot(shots / 'banner.png') and Pixels(shots / 'banner.png')
        y = (banner[1] + banner[3]) // 2
        return sum(px.pixel(x, y) == back for x in range(banner[0], banner[2])) > (banner[2] - banner[0]) // 2
    wait_until(drawn, 10, interval=0.3, what='the banner over the title bar')


def test_plain_copies_left_by_a_killed_run_are_removed_at_the_next_start(clean):
    rig = clean
    p = rig.start_griv()
    rig.kill_all()
    work = rig.unix_path(rig.wine('cmd', '/c', 'echo %APPDATA%').stdout.strip() + '\\GRIV\\ework')
    work.mkdir(parents=True, exist_ok=True)
    left = work / 'report.txt'
    left.write_text('plain text of a decrypted file')
    rig.start_griv()
    wait_until(lambda: not left.exists(), 10, what='the plain copy removed at start-up')
    assert p.poll() is not None


def test_an_abandoned_selection_keeps_the_name_save_writes_to(autosave, tmp_path):
    rig, folder = autosave
    rig.start_griv(settle=True)
    rig.second_start('\\F')
    first = saved(folder)[0]
    rig.close_griv(rig.procs[0])
    rig.kill_all()
    rig.reg_set('AutoSave', 'Off')
    rig.start_griv(rig.windows_path(first))
    wait_until(lambda: rig.status_text().endswith(first.name), 10, what='the opened file')
    before = first.stat().st_mtime_ns
    rig.command('CM_CAPAREANOW')
    overlay_up(rig)
    escape_on_the_overlay(rig)
    time.sleep(1.1)  # the file system's clock must be able to show a new write
    rig.command('CM_SAVE')
    wait_until(lambda: first.stat().st_mtime_ns != before, 10, what='Save rewriting the opened file')
    assert rig.probe('find-title', 'Save As', '500')[0] != 0  # no dialog asked for a name


def test_the_overlay_dims_outside_the_selection_and_shows_its_size(autosave, shots):
    rig, folder = autosave
    rig.start_griv(settle=True)
    rig.open_test_window(200, 150, 500, 360)
    screen = rig.stable_screenshot(shots / 'screen.png')
    rig.command('CM_CAPAREANOW')
    overlay_up(rig)
    rig.xdotool('mousemove', 300, 250, 'mousedown', 1)
    for x, y in [(350, 300), (450, 350), (500, 380)]:
        rig.xdotool('mousemove', x, y)
    time.sleep(0.5)
    during = rig.screenshot(shots / 'dragging.png')
    rig.xdotool('mouseup', 1)
    seen = Pixels(during)
    # Outside the selection every colour is at half strength; inside it is untouched.
    for x, y in [(250, 200), (650, 200), (100, 700)]:
        assert seen.pixel(x, y) == tuple(c >> 1 for c in screen.pixel(x, y)), (x, y)
    for x, y in [(310, 260), (420, 330), (490, 370)]:
        assert seen.pixel(x, y) == screen.pixel(x, y), (x, y)
    # The size next to the pointer: a dark box with light text below the magnifier.
    label = [(x, y) for y in range(380, 560) for x in range(500, 700) if seen.pixel(x, y) == (32, 32, 32)]
    assert len(label) > 200, 'no size label'
    pic = Pixels(saved(folder)[0])
    assert pic.size == (200, 130)
    assert pic.data == screen.crop(300, 250, 200, 130)  # no dimming in the saved pixels
