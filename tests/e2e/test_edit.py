"""Editing the image: greys, crop on a zoomed view, undo and clear, numbered save by key."""
import time

import pytest

from rig import Pixels, wait_until
from test_capture import drag, saved



@pytest.fixture
def captured(clean, tmp_path):
    """A full-screen capture on show, Auto Save off, numbered saves going to a folder."""
    rig = clean
    folder = tmp_path / 'shots'
    folder.mkdir()
    rig.reg_set('AutoSavePath', rig.windows_path(folder))
    rig.reg_set('InclMouse', '0')
    rig.start_griv(settle=True)
    rig.open_test_window(60, 60, 400, 300)
    rig.second_start('\\F')
    wait_until(lambda: rig.status_text() == '(1280 x 800) - Full Screen capture', 10, what='the capture')
    return rig, folder


def keys_to_main(rig, *keys):
    rig.focus_x_window(rig.main_rect())
    rig.key(*keys)


def test_greys_then_numbered_save_by_ctrl_f2(captured):
    rig, folder = captured
    rig.command('CM_GREY')
    time.sleep(1)
    keys_to_main(rig, 'ctrl+F2')
    pic = Pixels(saved(folder)[0])
    assert pic.size == (1280, 800)
    samples = [pic.pixel(x, y) for x in range(70, 450, 37) for y in range(90, 350, 29)]
    assert all(r == g == b for r, g, b in samples)  # luminance only
    assert len(set(samples)) > 3  # and not a flat picture


def test_crop_on_a_zoomed_view_keeps_the_scale_and_undo_brings_it_back(captured, shots):
    rig, folder = captured
    rig.command('CM_ZMI02')
    wait_until(lambda: rig.status_text() == '(2560 x 1600) - Full Screen capture -  Viewed at: 2:1', 5,
               what='the zoomed view')
    left, top, right, bottom = rig.main_rect()
    rig.command('CM_CROP')
    assert rig.probe('wait', 'TfrmCapArea', 'visible', '10000')[0] == 0
    time.sleep(0.3)
    drag(rig, (left + 40, top + 100), (left + 240, top + 200))  # 200 x 100 on the screen
    wait_until(lambda: rig.status_text() == '(200 x 100) - Selected area captured -  Viewed at: 2:1', 10,
               what='the cropped image')
    keys_to_main(rig, 'ctrl+F2')
    assert Pixels(saved(folder)[0]).size == (100, 50)  # the full image stays at its own scale
    rig.screenshot(shots / 'cropped.png')
    keys_to_main(rig, 'ctrl+z')
    wait_until(lambda: rig.status_text() == '(2560 x 1600) - Full Screen capture -  Viewed at: 2:1', 5,
               what='the undone crop')


def test_clear_then_undo_brings_the_picture_back(captured):
    rig, _ = captured
    rig.command('CM_CLEAR')
    wait_until(lambda: rig.status_text() == '', 5, what='an empty status')
    keys_to_main(rig, 'ctrl+z')
    wait_until(lambda: rig.status_text() == '(1280 x 800) - Full Screen capture', 5, what='the picture back')
