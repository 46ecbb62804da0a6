"""Stamping a pointer shape onto the image, as the user chooses and clicks it."""
import time

from rig import Pixels, wait_until
from test_brand_crypto import type_into, window
from test_capture import autosave, saved  # noqa: F401 (fixture)

HAND = 18  # the pointing hand's place in the shape menu


def bbox(diff):
    xs = [x for x, _ in diff]
    ys = [y for _, y in diff]
    return min(xs), min(ys), max(xs), max(ys)


def choose_shape(rig, index):
    left, top, right, bottom = rig.child_rect('CM_GETCURSOR')
    rig.xdotool('mousemove', (left + right) // 2, (top + bottom) // 2, 'click', 1)
    menu = wait_until(lambda: next((w['rect'] for w in rig.windows() if w['cls'] == '#32768' and w['visible']),
                                   None), 5, what='the shape menu')
    item_h = (menu[3] - menu[1]) / 20.0
    rig.xdotool('mousemove', menu[0] + 10, int(menu[1] + item_h * (index + 0.5)), 'click', 1)


def test_the_hand_is_stamped_at_the_click_and_kept_for_the_next_run(autosave, tmp_path, shots):
    rig, folder = autosave
    p = rig.start_griv(settle=True)
    rig.open_test_window(760, 470, 300, 200)  # the click lands on the plain desktop
    rig.second_start('\\F')
    before = Pixels(saved(folder)[0])
    wait_until(rig.main_visible, 10, what='the main window')
    rig.reg_set('AutoSave', 'Off')
    choose_shape(rig, HAND)
    wait_until(lambda: rig.reg_query('LastIconIx') == HAND, 5, what='the choice stored')
    assert rig.reg_query('LastCursorIx') == 21
    button = rig.child_rect('CM_STAMPICON')
    view = rig.child_rect('IDC_SCROLLBOX')
    click = (200, 120)  # in the picture, shown at 1:1 from its top-left corner
    rig.xdotool('mousemove', view[0] + click[0], view[1] + click[1], 'click', 1)
    time.sleep(0.5)
    rig.focus_x_window(rig.main_rect())
    rig.key('ctrl+F2')
    full = Pixels(saved(folder, 2)[1])
    x0, y0, x1, y1 = bbox(full.differing(before))
    assert (x0, y0) == click and x1 - x0 < 32 and y1 - y0 < 32, (x0, y0, x1, y1)
    # The shown picture got the same pointer 7 pixels left of and 1 above it.
    rig.command('CM_SAVEASSHOWN')
    shown_file = tmp_path / 'shown.bmp'
    type_into(rig, window(rig, 'Save As')['title'], rig.windows_path(shown_file))
    wait_until(shown_file.exists, 10, what='the shown picture saved')
    time.sleep(0.5)
    sx0, sy0, _, _ = bbox(Pixels(shown_file).differing(before))
    assert (sx0, sy0) == (click[0] - 7, click[1] - 1)
    glyph = rig.stable_screenshot(shots / 'first-run.png').crop(button[0], button[1], button[2] - button[0],
                                                                button[3] - button[1])
    rig.close_griv(p)
    rig.start_griv(settle=True)
    rig.second_start()
    wait_until(rig.main_visible, 10, what='the main window again')
    rig.xdotool('mousemove', 5, 795)  # not over the button
    button = rig.child_rect('CM_STAMPICON')
    again = rig.stable_screenshot(shots / 'second-run.png').crop(button[0], button[1], button[2] - button[0],
                                                                 button[3] - button[1])
    assert again == glyph  # the button shows the hand again
