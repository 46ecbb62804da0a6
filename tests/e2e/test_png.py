"""PNG pictures through the program: numbered saves, and opening them again."""
from rig import Pixels, wait_until
from test_capture import POINTER_PARK, autosave, saved  # noqa: F401 (fixture)


def test_a_numbered_png_save_equals_the_screen_and_opens_again(autosave, shots):
    rig, folder = autosave
    rig.reg_set('AutoExt', '.png')
    rig.reg_set('InclMouse', '0')
    p = rig.start_griv(settle=True)
    rig.open_test_window()
    rig.xdotool('mousemove', *POINTER_PARK)
    screen = rig.stable_screenshot(shots / 'screen.png')
    rig.second_start('\\F')
    png = saved(folder)[0]
    assert png.name == 'GRIV-00001.png'
    assert png.read_bytes()[:8] == b'\x89PNG\r\n\x1a\n'
    capture = Pixels(png)
    assert capture.size == (1280, 800)
    assert capture.differing(screen) == []
    # A second start with the file shows it.
    name = rig.windows_path(png)
    rig.second_start(name)
    wait_until(lambda: rig.status_text() == f'(1280 x 800) - {name}', 10, what='the PNG opened')
    rig.close_griv(p)
    assert rig.reg_query('AutoExt') == '.png'
