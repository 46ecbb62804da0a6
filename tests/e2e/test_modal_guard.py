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


def shown(rig, title=None, cls=None, count=1):
    """The visible windows with this title and class, once there are count of them."""
    found = [w for w in rig.windows() if w['visible'] and title in (None, w['title']) and cls in (None, w['cls'])]
    return found if len(found) >= count else []


def keyboard_in(rig):
    """The classes of the foreground window and of the top-level window whose control has the keyboard."""
    return rig.probe('foreground')[1].split('\t')[0], (rig.probe('focus')[1].split('\t') + ['', '', ''])[2]


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
    save = wait_until(lambda: shown(rig, 'Save As'), 10, what='Save As')[0]['rect']
    main = rig.main_rect()
    assert abs(main[0] + main[2] - save[0] - save[2]) <= 4 and abs(main[1] + main[3] - save[1] - save[3]) <= 80
    assert rig.second_start(handed_name).returncode == 0
    rig.probe('send', MAIN_CLASS, '0')
    assert rig.status_text() == f'(40 x 30) - {first_name}'
    assert keyboard_in(rig) == ('#32770', '#32770')
    # Saving over the first file asks: owned by the window, inside the screen whatever the name.
    rig.probe('dlg-text', 'Save As', '1148', first_name)
    rig.probe('press-button', 'Save As', '&Save')
    left, top, right, bottom = wait_until(lambda: shown(rig, CAPTION), 10, what='the question')[0]['rect']
    assert 0 <= left and right - left < 900 and 0 <= top and bottom <= 800, (left, top, right, bottom)
    assert rig.probe('owner', CAPTION)[1].startswith(MAIN_CLASS + '\t')
    rig.probe('press-button', CAPTION, '&No')
    wait_until(lambda: rig.status_text() == f'(50 x 20) - {handed_name}', 10, what='the handed picture')

    # "No" to the exit question gives the window its keyboard back (not the banner over its title).
    rig.command('CM_EXIT')
    wait_until(lambda: shown(rig, CAPTION), 10, what='the exit question')
    assert rig.probe('owner', CAPTION)[1].startswith(MAIN_CLASS + '\t')
    rig.probe('press-button', CAPTION, '&No')
    wait_until(lambda: keyboard_in(rig) == (MAIN_CLASS, MAIN_CLASS), 10, what='the keyboard back')

    # The About box comes to the front for a plain second start, over another program; no capture under it.
    rig.command('CM_ABOUT')
    wait_until(lambda: keyboard_in(rig) == ('#32770', '#32770'), 10, what='the About box')
    rig.open_test_window()
    assert rig.second_start().returncode == 0 and rig.second_start('\\F').returncode == 0
    wait_until(lambda: keyboard_in(rig) == ('#32770', '#32770'), 10, what='the About box in front again')
    assert rig.status_text() == f'(50 x 20) - {handed_name}'
    rig.probe('press-button', '', 'OK')
    wait_until(lambda: keyboard_in(rig) == (MAIN_CLASS, MAIN_CLASS), 10, what='the keyboard back after About')


def test_closing_griv_from_outside_under_each_modal_window_ends_it_cleanly(clean, tmp_path):
    """WM_CLOSE, as an installer's upgrade sends it, while each modal window runs."""
    from rig import install_printer, remove_printer
    from test_brand_crypto import KEY_TITLE
    from test_mail import SEND
    rig = clean

    def options_warning():
        rig.command('CM_OPTIONS')
        wait_until(lambda: shown(rig, OPTIONS), 10, what='the options')
        rig.probe('dlg-text', OPTIONS, str(IDS['IDC_SET_SAVEPATH']), 'relshots')
        rig.probe('dlg-click', OPTIONS, '1')

    def there(**window):
        return lambda: shown(rig, **window)

    cases = [  # how each opens, and when it is there
        (options_warning, there(title=OPTIONS, count=2)),
        ('CM_ABOUT', lambda: keyboard_in(rig) == ('#32770', '#32770')),  # not the splash, which never has it
        ('CM_SAVEAS', there(title='Save As')), ('CM_OPENFILE', there(title='Open')),
        ('CM_SAVEENCRYPTED', there(title=KEY_TITLE)), ('CM_PRINT', there(title='Enter Notes for the Image Print')),
        ('CM_PRINTPREVIEW', there(cls='TPreviewForm')), ('CM_SENDMAIL', there(title=SEND)),
        ('CM_CAPAREANOW', there(cls='TfrmCapArea')), ('CM_EXIT', there(title=CAPTION)),
    ]
    rig.reg_set('PrintNotes', '1')  # Print asks for notes first
    install_printer(rig)
    rig.use_test_mail_client(tmp_path / 'mapi.log')
    try:
        for open_it, ready in cases:
            p = rig.start_griv(rig.windows_path(write_bmp(tmp_path / 'shown.bmp', 40, 30)))
            open_it() if callable(open_it) else rig.command(open_it)
            wait_until(ready, 15, what=f'the window of {open_it}')
            rig.close_griv(p)
            assert p.returncode == 0, open_it
    finally:
        rig.use_system_mail_client()
        remove_printer(rig)  # other modules expect a prefix without printers
