"""While GRIV shows a modal window: capture requests are refused, a handed
file waits for it, a plain second start brings it to the front, and closing
GRIV from outside ends the program cleanly."""
import time

from rig import IDS, MAIN_CLASS, wait_until, write_bmp

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


CAPTION = 'Grivanta   '  # the title of GRIV's questions


def titled_rect(rig, title):
    return next(w['rect'] for w in rig.windows() if w['title'] == title and w['visible'])


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def foreground_class(rig):
    return rig.probe('foreground')[1].split('\t')[0]


def keyboard_in(rig):
    """The class of the top-level window whose control has the keyboard."""
    code, out = rig.probe('focus')
    return out.split('\t')[2] if code == 0 else ''


def test_modal_windows_stay_in_front_own_their_questions_and_give_the_keyboard_back(clean, tmp_path):
    rig = clean
    # A name the system cannot wrap: one run far wider than a message box should be.
    first, handed = write_bmp(tmp_path / ('y' * 180 + '.bmp'), 40, 30), write_bmp(tmp_path / 'handed.bmp', 50, 20)
    first_name, handed_name = rig.windows_path(first), rig.windows_path(handed)
    rig.start_griv(settle=True)
    assert rig.second_start(first_name).returncode == 0
    wait_until(lambda: rig.status_text() == f'(40 x 30) - {first_name}', 10, what='the first picture')

    # Save As opens over the window; a picture handed over meanwhile waits for it to close.
    rig.command('CM_SAVEAS')
    assert rig.probe('find-title', 'Save As', '10000')[0] == 0
    (mx, my), (sx, sy) = centre(rig.main_rect()), centre(titled_rect(rig, 'Save As'))
    assert abs(mx - sx) <= 2 and abs(my - sy) <= 40, (rig.main_rect(), titled_rect(rig, 'Save As'))
    assert rig.second_start(handed_name).returncode == 0
    rig.probe('send', MAIN_CLASS, '0')
    assert rig.status_text() == f'(40 x 30) - {first_name}'
    assert rig.probe('foreground')[1].endswith('\tSave As')
    # Saving over the first file asks: owned by the window, inside the screen whatever the name.
    rig.probe('dlg-text', 'Save As', '1148', first_name)
    rig.probe('press-button', 'Save As', '&Save')
    assert rig.probe('find-title', CAPTION, '10000')[0] == 0
    assert rig.probe('owner', CAPTION)[1].startswith(MAIN_CLASS + '\t')
    left, top, right, bottom = titled_rect(rig, CAPTION)
    assert 0 <= left and right - left < 900 and 0 <= top and bottom <= 800, (left, top, right, bottom)
    rig.probe('press-button', CAPTION, '&No')
    wait_until(lambda: rig.status_text() == f'(50 x 20) - {handed_name}', 10, what='the handed picture')

    # "No" to the exit question gives the window its keyboard back (not the banner over its title).
    rig.command('CM_EXIT')
    assert rig.probe('find-title', CAPTION, '10000')[0] == 0
    assert rig.probe('owner', CAPTION)[1].startswith(MAIN_CLASS + '\t')
    rig.probe('press-button', CAPTION, '&No')
    wait_until(lambda: keyboard_in(rig) == MAIN_CLASS, 10, what='the keyboard back in the window')

    # The About box comes to the front for a plain second start, over another program.
    rig.command('CM_ABOUT')
    wait_until(lambda: foreground_class(rig) == '#32770', 10, what='the About box')
    rig.open_test_window()
    assert rig.second_start().returncode == 0
    wait_until(lambda: foreground_class(rig) == '#32770', 10, what='the About box in front again')
    assert keyboard_in(rig) == '#32770'
    assert rig.second_start('\\F').returncode == 0
    rig.probe('send', MAIN_CLASS, '0')
    assert rig.status_text() == f'(50 x 20) - {handed_name}'  # no capture under the About box
    rig.probe('press-button', '', 'OK')
    wait_until(lambda: keyboard_in(rig) == MAIN_CLASS, 10, what='the keyboard back after About')


def test_closing_griv_from_outside_under_each_modal_window_ends_it_cleanly(clean, tmp_path):
    """WM_CLOSE, as an installer's upgrade sends it, while each modal window runs."""
    from rig import install_printer, remove_printer
    from test_brand_crypto import KEY_TITLE
    from test_mail import SEND
    rig = clean
    picture = rig.windows_path(write_bmp(tmp_path / 'shown.bmp', 40, 30))
    settings_box = str(IDS['IDC_SET_SAVEPATH'])

    def titled(title, count=1):
        return lambda: sum(w['title'] == title and w['visible'] for w in rig.windows()) >= count

    def of_class(cls):
        return lambda: any(w['cls'] == cls and w['visible'] for w in rig.windows())

    def options_warning():
        rig.command('CM_OPTIONS')
        wait_until(titled(OPTIONS), 10, what='the options')
        rig.probe('dlg-text', OPTIONS, settings_box, 'relshots')
        rig.probe('dlg-click', OPTIONS, '1')

    cases = [  # (what, how it opens, when it is there)
        ('options and a message box over them', options_warning, titled(OPTIONS, 2)),
        ('About', lambda: rig.command('CM_ABOUT'), lambda: foreground_class(rig) == '#32770'),
        ('Save As', lambda: rig.command('CM_SAVEAS'), titled('Save As')),
        ('the open dialog', lambda: rig.command('CM_OPENFILE'), titled('Open')),
        ('the key dialog', lambda: rig.command('CM_SAVEENCRYPTED'), titled(KEY_TITLE)),
        ('the notes', lambda: rig.command('CM_PRINT'), titled('Enter Notes for the Image Print')),
        ('the print preview', lambda: rig.command('CM_PRINTPREVIEW'), of_class('TPreviewForm')),
        ('the send-mail window', lambda: rig.command('CM_SENDMAIL'), titled(SEND)),
        ('the area overlay', lambda: rig.command('CM_CAPAREANOW'), of_class('TfrmCapArea')),
        ('the exit question', lambda: rig.command('CM_EXIT'), titled(CAPTION)),
    ]
    rig.reg_set('PrintNotes', '1')
    install_printer(rig)
    rig.use_test_mail_client(tmp_path / 'mapi.log')
    try:
        for what, open_it, shown in cases:
            p = rig.start_griv(picture)
            open_it()
            wait_until(shown, 15, what=what)
            rig.close_griv(p)
            assert p.returncode == 0, what
    finally:
        rig.use_system_mail_client()
        remove_printer(rig)  # other modules expect a prefix without printers
