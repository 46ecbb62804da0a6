"""The clipboard as another program and the user meet it: pictures taken when
watched or pasted, copies at the zoom on show, the viewer chain."""
import time

from rig import BIN, MAIN_CLASS, Pixels, wait_until
from test_capture import autosave, saved  # noqa: F401 (fixture)

CLIP = BIN / 'griv-clip.exe'


def clip(rig, *args):
    r = rig.wine(CLIP, *args)
    assert r.returncode == 0, (args, r.stderr)
    return r.stdout.strip()


def pattern_ok(pic, w, h):
    assert pic.size == (w, h)
    for x, y in [(0, 0), (w - 1, 0), (w // 2, h // 3), (w - 1, h - 1)]:
        assert pic.pixel(x, y) == (77, y % 256, x % 256), (x, y)


def test_watched_clipboard_takes_a_copied_picture_pops_up_and_saves_it(autosave):
    rig, folder = autosave
    rig.reg_set('WatchClips', '1')
    rig.start_griv(settle=True)
    clip(rig, 'set-bitmap', '120', '90')
    pattern_ok(Pixels(saved(folder)[0]), 120, 90)
    wait_until(rig.main_visible, 10, what='the window to pop up')
    assert rig.status_text() == ''  # the status panel is emptied for a clipboard picture


def test_unwatched_copy_only_enables_paste_and_ctrl_v_takes_it(autosave):
    rig, folder = autosave
    rig.reg_set('AutoSave', 'Off')
    clip(rig, 'set-text', 'no picture yet')
    rig.start_griv(settle=True)
    assert rig.second_start().returncode == 0
    wait_until(rig.main_visible, 10, what='the main window')
    assert not rig.enabled('CM_PASTE')
    clip(rig, 'set-bitmap', '64', '48')
    wait_until(lambda: rig.enabled('CM_PASTE'), 5, what='paste enabled')
    assert rig.status_text() == ''  # nothing taken yet
    rig.focus_x_window(rig.main_rect())
    rig.key('ctrl+v')
    wait_until(lambda: rig.enabled('CM_SAVE'), 10, what='the pasted picture')
    rig.key('ctrl+F2')  # a numbered save of the full image
    pattern_ok(Pixels(saved(folder)[0]), 64, 48)
    clip(rig, 'set-text', 'just words')
    wait_until(lambda: not rig.enabled('CM_PASTE'), 5, what='paste disabled by text')


def test_hot_key_capture_with_copy_and_watch_saves_once(autosave):
    rig, folder = autosave
    rig.reg_set('WatchClips', '1')
    rig.reg_set('AutoClipCopy', 'On')
    rig.start_griv(settle=True)
    rig.open_test_window()
    rig.key('Print')
    saved(folder)
    time.sleep(2)
    assert len(list(folder.iterdir())) == 1
    assert clip(rig, 'info').startswith('bitmap 1280 800')


def test_griv_never_takes_its_own_copies_back(autosave):
    rig, folder = autosave
    rig.reg_set('WatchClips', '1')
    rig.reg_set('AutoClipCopy', 'On')
    rig.start_griv(settle=True)
    # A capture from outside the hot keys copies itself (they stay on meanwhile) ...
    assert rig.second_start('\\F').returncode == 0
    saved(folder)
    # ... and so does Copy at 2:1: neither comes back as a capture of its own.
    rig.command('CM_ZMI02')
    wait_until(lambda: rig.status_text().endswith('Viewed at: 2:1'), 5, what='the view at 2:1')
    rig.command('CM_COPY')
    wait_until(lambda: clip(rig, 'info').startswith('bitmap 2560 1600'), 5, what='the doubled copy')
    rig.probe('send', MAIN_CLASS, '0')  # the change notices have been handled
    assert rig.status_text().endswith('Viewed at: 2:1')
    assert len(list(folder.iterdir())) == 1
    assert rig.enabled('CM_PASTE')  # pasting its own copy by hand stays possible


def test_a_copy_at_1_2_is_half_size_and_the_full_image_stays(autosave, tmp_path):
    rig, folder = autosave
    rig.start_griv(settle=True)
    clip(rig, 'set-bitmap', '200', '100')
    rig.command('CM_PASTE')
    wait_until(lambda: rig.status_text() == '', 5)
    rig.second_start('\\F')
    saved(folder)
    rig.command('CM_ZMO02')
    wait_until(lambda: rig.status_text().endswith('Viewed at: 1:2'), 5, what='the view at 1:2')
    rig.command('CM_COPY')
    wait_until(lambda: clip(rig, 'info').startswith('bitmap 640 400'), 5, what='the half-size copy')
    out = tmp_path / 'copy.bmp'
    clip(rig, 'save-bitmap', rig.windows_path(out))
    assert Pixels(out).size == (640, 400)
    rig.focus_x_window(rig.main_rect())
    rig.key('ctrl+F2')
    assert Pixels(saved(folder, 2)[1]).size == (1280, 800)


def test_the_chain_survives_a_viewer_that_joins_later_and_leaves(autosave):
    rig, folder = autosave
    rig.reg_set('WatchClips', '1')
    rig.start_griv(settle=True)
    viewer = rig.spawn(CLIP, 'viewer', '3000')
    time.sleep(1)
    clip(rig, 'set-bitmap', '30', '20')
    saved(folder, 1)
    viewer.wait(10)
    clip(rig, 'set-bitmap', '40', '25')
    pattern_ok(Pixels(saved(folder, 2)[1]), 40, 25)
