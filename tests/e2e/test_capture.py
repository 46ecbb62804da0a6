"""Captures driven as a user drives them, checked against what the X screen shows."""
import time

import pytest

from rig import MAIN_CLASS, Pixels, wait_until

POINTER_PARK = (800, 620)


@pytest.fixture
def autosave(clean, tmp_path):
    """Auto Save on into an empty folder; returns (rig, folder)."""
    rig = clean
    folder = tmp_path / 'shots'
    folder.mkdir()
    rig.reg_set('AutoSave', 'On')
    rig.reg_set('AutoSavePath', rig.windows_path(folder))
    return rig, folder


def saved(folder, count=1, timeout=15):
    def ready():
        files = sorted(p for p in folder.iterdir() if not p.name.endswith('.tmp'))
        return files if len(files) >= count else None
    return wait_until(ready, timeout, what=f'{count} saved file(s)')


def capture_full_screen(rig, folder, shots, incl_mouse):
    rig.reg_set('InclMouse', '1' if incl_mouse else '0')
    rig.start_griv(settle=True)  # the start-up splash must not come up between screenshot and capture
    rig.open_test_window()
    rig.xdotool('mousemove', *POINTER_PARK)
    screen = rig.stable_screenshot(shots / 'screen.png')
    assert rig.second_start('\\F').returncode == 0
    files = saved(folder)
    assert files[0].name == 'GRIV-00001.bmp'
    return screen, Pixels(files[0])


def test_full_screen_capture_equals_the_screen(autosave, shots):
    rig, folder = autosave
    screen, capture = capture_full_screen(rig, folder, shots, incl_mouse=False)
    assert capture.size == (1280, 800)
    assert capture.differing(screen) == []
    wait_until(rig.main_visible, 5, what='the pop-up of the main window')
    assert rig.status_text() == '(1280 x 800) - Full Screen capture'
    assert rig.reg_query('NextSaveNo') == '2'


def test_full_screen_capture_draws_the_arrow_at_the_pointer(autosave, shots):
    rig, folder = autosave
    screen, capture = capture_full_screen(rig, folder, shots, incl_mouse=True)
    diff = capture.differing(screen)
    assert diff, 'no pointer in the capture'
    px, py = POINTER_PARK
    assert all(px <= x < px + 32 and py <= y < py + 32 for x, y in diff), diff[:5]
    # The arrow's picture starts at the pointer: its top-left corner is drawn on.
    assert min(x for x, _ in diff) - px <= 2 and min(y for _, y in diff) - py <= 2


def drag(rig, start, end):
    rig.xdotool('mousemove', *start)
    rig.xdotool('mousedown', 1)
    x0, y0 = start
    x1, y1 = end
    for i in range(1, 6):
        rig.xdotool('mousemove', x0 + (x1 - x0) * i // 5, y0 + (y1 - y0) * i // 5)
    rig.xdotool('mouseup', 1)


def start_area_capture_from_the_tray(rig):
    rig.tray_menu('Capture Area Now')
    code, _ = rig.probe('wait', 'TfrmCapArea', 'visible', '10000')
    assert code == 0, 'the area overlay did not appear'
    time.sleep(0.3)


def test_area_dragged_from_10_40_to_110_90_saves_100_by_50(autosave, shots):
    rig, folder = autosave
    rig.start_griv()
    rig.open_test_window(0, 0, 300, 200)
    frozen = rig.stable_screenshot(shots / 'screen.png')  # what the overlay will freeze
    start_area_capture_from_the_tray(rig)
    rig.screenshot(shots / 'overlay.png')
    # Inside the test window's pattern: its title bar looks different once the tray menu took the focus.
    drag(rig, (10, 40), (110, 90))
    files = saved(folder)
    capture = Pixels(files[0])
    assert capture.size == (100, 50)
    assert capture.data == frozen.crop(10, 40, 100, 50)  # without a pointer
    wait_until(lambda: rig.status_text() == '(100 x 50) - Selected area captured', 5, what='the status text')


def test_a_drag_without_width_shows_the_retry_message(autosave, shots):
    rig, folder = autosave
    rig.start_griv()
    start_area_capture_from_the_tray(rig)
    drag(rig, (110, 60), (110, 10))  # straight up: a drag, but no area
    code, _ = rig.probe('find-title', 'Grivanta   ', '10000')
    assert code == 0, 'no message'
    _, texts = rig.probe('child-texts', 'Grivanta   ')
    assert 'Hold the mouse buton down from the Upper Left corner' in texts
    rig.screenshot(shots / 'message.png')
    rig.probe('press-button', 'Grivanta   ', 'Cancel')
    rig.probe('gone', 'TfrmCapArea', '5000')
    time.sleep(0.5)
    assert list(folder.iterdir()) == []  # abandoned: nothing saved


def test_zoom_2_to_1_shows_the_doubled_size(autosave, shots):
    rig, folder = autosave
    rig.start_griv(settle=True)
    rig.open_test_window(0, 0, 300, 200)
    start_area_capture_from_the_tray(rig)
    drag(rig, (10, 10), (110, 60))
    saved(folder)
    wait_until(lambda: rig.probe('foreground')[1].startswith(MAIN_CLASS), 5, what='the main window in front')
    # Image menu, Zoom In, "  2 : 1" by the keyboard.
    rig.menu_keys('alt+i', 'i', 'Down', 'Return')
    wait_until(lambda: rig.status_text() == '(200 x 100) - Selected area captured -  Viewed at: 2:1', 5,
               what='the zoomed status')
    rig.screenshot(shots / 'zoomed.png')


def test_opening_a_saved_file_from_the_command_line_shows_it(autosave, shots):
    rig, folder = autosave
    p = rig.start_griv()
    rig.second_start('\\F')
    bmp = saved(folder)[0]
    rig.close_griv(p)
    name = rig.windows_path(bmp)
    rig.start_griv(name)
    wait_until(rig.main_visible, 10, what='the main window')
    wait_until(lambda: rig.status_text() == f'(1280 x 800) - {name}', 10, what='the file in the status')
    rig.screenshot(shots / 'opened.png')
