"""While GRIV shows a modal window: capture requests are refused, a handed
file waits for it, a plain second start brings it to the front, and closing
GRIV from outside ends the program cleanly."""
import time

from rig import MAIN_CLASS, wait_until, write_bmp

OPTIONS = 'Option Settings'


def test_a_modal_window_holds_requests_and_closing_under_it_is_clean(clean, tmp_path):
    rig = clean
    p = rig.start_griv(settle=True)
    picture = write_bmp(tmp_path / 'waits.bmp', 40, 30)
    name = rig.windows_path(picture)

    rig.command('CM_OPTIONS')
    assert rig.probe('find-title', OPTIONS, '10000')[0] == 0
    assert rig.second_start('\\F').returncode == 0
    rig.command('CM_CAPSCREENNOW')  # the tray's "Capture Screen Now"
    assert rig.second_start(name).returncode == 0
    assert rig.second_start().returncode == 0
    wait_until(lambda: rig.probe('foreground')[1].endswith('\t' + OPTIONS), 5, what='the options in front')
    rig.probe('send', MAIN_CLASS, '0')  # every request above has been handled
    assert rig.status_text() == ''
    assert not rig.main_visible()

    rig.probe('dlg-click', OPTIONS, '2')  # Cancel: the handed file opens now, and only it
    wait_until(lambda: rig.status_text() == f'(40 x 30) - {name}', 10, what='the handed file')

    rig.command('CM_OPTIONS')
    assert rig.probe('find-title', OPTIONS, '10000')[0] == 0
    t0 = time.monotonic()
    rig.close_griv(p)
    assert p.returncode == 0
    assert time.monotonic() - t0 < 20
    assert rig.reg_query('AutoSave') == 'Off'  # the settings were written on the way out
