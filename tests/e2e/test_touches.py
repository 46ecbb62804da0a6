"""What people expect of a capture tool beyond its core: notes from the tray,
fitting big captures, zoom keys, the window's first size and its empty state."""

from rig import MAIN_CLASS, wait_until
from test_capture import autosave, saved  # noqa: F401 (fixture)
from test_clipboard import clip


def balloon(rig, words, timeout=10):
    return wait_until(lambda: next((w for w in rig.windows() if w['cls'] == 'tooltips_class32' and w['visible']
                                    and words in w['title']), None), timeout, what=f'a note saying "{words}"')


def test_a_hot_key_held_by_another_program_is_named_in_a_balloon(clean):
    rig = clean
    with rig.hot_key_held(0, 0x2C):  # PrintScreen, no modifiers
        rig.start_griv()
        note = balloon(rig, 'PrintScreen is in use by another program')
        assert 'Options' in note['title']


def test_the_first_close_to_the_tray_says_the_program_keeps_running(clean):
    rig = clean
    rig.start_griv(settle=True)
    rig.second_start()
    wait_until(rig.main_visible, 10, what='the main window')
    rig.probe('post', MAIN_CLASS, '0x112', '0xF060')  # the close box
    wait_until(lambda: not rig.main_visible(), 5, what='the window in the tray')
    balloon(rig, 'keeps running in the notification area')


def fit_ratio(w, h, vw, vh):
    ladder = [(1, d) for d in range(10, 1, -1)] + [(n, 1) for n in range(1, 11)]
    best = ladder[0]
    for n, d in ladder:
        if round(w * n / d) <= vw and round(h * n / d) <= vh:
            best = (n, d)
    return best


def test_fit_to_window_and_the_zoom_keys(autosave):
    rig, folder = autosave
    rig.reg_set('MainPosn', '300,200,605,317')
    rig.start_griv(settle=True)
    rig.second_start('\\F')
    saved(folder)
    wait_until(rig.main_visible, 10, what='the main window')
    left, top, right, bottom = rig.main_rect()
    assert (right - left, bottom - top) == (605, 317)  # a stored size is kept
    vl, vt, vr, vb = rig.child_rect('IDC_SCROLLBOX')
    n, d = fit_ratio(1280, 800, vr - vl, vb - vt)
    rig.focus_x_window(rig.main_rect())
    rig.key('ctrl+0')
    wait_until(lambda: rig.status_text().endswith(f'Viewed at: {n}:{d}'), 5, what=f'the view at {n}:{d}')
    rig.key('ctrl+plus')
    wait_until(lambda: rig.status_text().endswith(f'Viewed at: {n}:{d - 1}' if d > 2 else ''), 5, what='a step up')
    rig.key('ctrl+minus', 'ctrl+minus')
    wait_until(lambda: rig.status_text().endswith(f'Viewed at: 1:{d + 1}'), 5, what='two steps down')
    # The view holds the picture whole: no scroll bars, the sunken edge only.
    main, view = rig.probe('client', MAIN_CLASS)[1].split(), rig.child_rect('IDC_SCROLLBOX')
    assert int(main[2]) - int(main[0]) - (view[2] - view[0]) <= 8, (main, view)
    # Ctrl+C copies what is on show.
    rig.key('ctrl+c')
    shown = (round(1280 / (d + 1)), round(800 / (d + 1)))
    wait_until(lambda: clip(rig, 'info').startswith(f'bitmap {shown[0]} {shown[1]}'), 5, what='the shown copy')


def test_delete_clears_and_ctrl_z_brings_it_back(autosave):
    rig, folder = autosave
    rig.start_griv(settle=True)
    rig.second_start('\\F')
    saved(folder)
    wait_until(lambda: rig.status_text() == '(1280 x 800) - Full Screen capture', 10, what='the capture')
    rig.focus_x_window(rig.main_rect())
    rig.key('Delete')
    wait_until(lambda: rig.status_text() == '', 5, what='a cleared view')
    rig.key('ctrl+z')
    wait_until(lambda: rig.status_text() == '(1280 x 800) - Full Screen capture', 5, what='the capture back')
    rig.key('ctrl+shift+s')
    assert rig.probe('find-title', 'Save As', '10000')[0] == 0
    rig.probe('press-button', 'Save As', 'Cancel')


def test_a_first_capture_opens_the_window_large_enough_and_an_empty_one_says_what_to_do(autosave, shots):
    rig, folder = autosave
    rig.start_griv(settle=True)
    rig.second_start()
    wait_until(rig.main_visible, 10, what='the main window')
    vl, vt, vr, vb = rig.child_rect('IDC_SCROLLBOX')
    empty = rig.stable_screenshot(shots / 'empty.png')
    middle = [empty.pixel(x, (vt + vb) // 2) for x in range(vl + 10, vr - 10)]
    assert len(set(middle)) > 1, 'the empty view says nothing'
    small = rig.main_rect()
    rig.probe('post', MAIN_CLASS, '0x112', '0xF060')
    wait_until(lambda: not rig.main_visible(), 5)
    rig.second_start('\\F')
    saved(folder)
    wait_until(rig.main_visible, 10, what='the capture on show')
    big = rig.main_rect()
    assert big[2] - big[0] > small[2] - small[0] and big[3] - big[1] > small[3] - small[1]
    assert big[0] >= 0 and big[1] >= 0 and big[2] <= 1280 and big[3] <= 780  # inside the work area
