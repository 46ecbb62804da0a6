"""Hot keys pressed in any program, and the notification-area icon."""
import time

from rig import Pixels, wait_until
from test_capture import autosave, saved  # noqa: F401 (fixture)

TICK = 2.0  # the foreground tracker looks every two seconds


def test_printscreen_captures_the_full_screen(autosave):
    rig, folder = autosave
    rig.start_griv()
    rig.key('Print')
    files = saved(folder)
    assert Pixels(files[0]).size == (1280, 800)


def test_alt_printscreen_captures_the_last_active_window(autosave):
    rig, folder = autosave
    rig.start_griv()
    rig.open_test_window(150, 120, 420, 300, 'Active one')
    time.sleep(TICK + 0.5)  # one tick of the tracker remembers it
    rig.key('alt+Print')
    files = saved(folder)
    assert Pixels(files[0]).size == (420, 300)
    wait_until(lambda: rig.status_text() == '(420 x 300) - Captured: [Active one]', 5, what='the status text')


def test_win_printscreen_opens_the_area_overlay(autosave):
    rig, folder = autosave
    rig.start_griv()
    rig.key('super+Print')
    code, _ = rig.probe('wait', 'TfrmCapArea', 'visible', '10000')
    assert code == 0, 'no area overlay'
    rig.key('Escape')  # abandons the selection
    assert rig.probe('gone', 'TfrmCapArea', '5000')[0] == 0
    time.sleep(0.5)
    assert list(folder.iterdir()) == []


def test_a_stored_hot_key_text_is_registered(autosave):
    rig, folder = autosave
    rig.reg_set('HotKeyFull', 'Ctrl|Shift|#80')
    rig.start_griv()
    rig.key('Print')  # no longer the full-screen key
    time.sleep(1.0)
    assert list(folder.iterdir()) == []
    rig.key('ctrl+shift+F12')
    assert len(saved(folder)) == 1


def test_damaged_hot_key_text_falls_back_to_the_default(autosave):
    rig, folder = autosave
    rig.reg_set('HotKeyFull', 'garbage')  # would otherwise mean Backspace for every program
    rig.start_griv()
    rig.key('Print')
    assert len(saved(folder)) == 1


def test_double_click_on_the_tray_icon_shows_the_main_window(clean):
    rig = clean
    rig.start_griv(settle=True)
    assert not rig.main_visible()
    rig.xdotool('mousemove', *rig.TRAY_ICON, 'click', '--repeat', 2, '--delay', 80, 1)
    wait_until(rig.main_visible, 5, what='the main window')


def test_tray_menu_capture_screen_now_captures(autosave, shots):
    rig, folder = autosave
    rig.start_griv()
    rig.tray_menu('Capture Screen Now')
    files = saved(folder)
    assert Pixels(files[0]).size == (1280, 800)
    rig.screenshot(shots / 'after.png')


def test_tray_toggles_show_in_the_status_bar_and_hint(clean):
    rig = clean
    p = rig.start_griv(settle=True)
    rig.tray_menu('Auto Print')
    rig.tray_menu('Auto Save')
    rig.second_start()
    wait_until(rig.main_visible, 5, what='the main window')
    rig.close_griv(p)
    assert rig.reg_query('AutoPrint') == 'On'
    assert rig.reg_query('AutoSave') == 'On'
