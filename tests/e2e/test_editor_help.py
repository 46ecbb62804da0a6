"""The image handed to the external editor, the manual (help file and its
plain pages) and the quick-start guide, with griv-record standing in for the
editor and for the programs Windows opens documents with."""
import shutil
import time

import pytest

from rig import BIN, GRIV, IDS, MAIN_CLASS, RECORDER, Pixels, RigError, read_records, wait_until, write_bmp

HELP_TITLE = 'Grivanta Help'


def visible(rig, title):
    return [w for w in rig.windows() if w['title'] == title and w['visible']]


def close_help(rig):
    rig.probe('post', 'HH Parent', '0x10')
    wait_until(lambda: not visible(rig, HELP_TITLE), 10, what='the help window to close')


def records(path, count, timeout=15):
    return wait_until(lambda: (lambda r: r if len(r) >= count else None)(read_records(path)), timeout,
                      what=f'{count} start(s) of griv-record')


@pytest.fixture
def recording(clean, tmp_path):
    """GRIV's children write their records to a file of this test."""
    rig = clean
    log = tmp_path / 'record.log'
    rig.env['GRIV_RECORD_FILE'] = rig.windows_path(log)
    yield rig, log
    rig.env.pop('GRIV_RECORD_FILE', None)


def start_in_cmd(rig, tmp_path, lines, *args):
    """Starts GRIV from a batch file, so that it gets the environment set there
    (Wine gives programs started from outside TEMP and TMP from the registry)."""
    bat = tmp_path / 'start.bat'
    call = ' '.join(f'"{a}"' for a in [rig.windows_path(GRIV), *args])
    bat.write_text(''.join(f'@{line}\r\n' for line in lines) + f'@{call}\r\n')
    p = rig.spawn('cmd', '/c', rig.windows_path(bat))
    if rig.probe('wait', MAIN_CLASS, '20000')[0] != 0:
        raise RigError('GRIV did not start')
    rig.probe('send', MAIN_CLASS, '0')
    return p


def test_the_editor_gets_the_shown_image_through_a_temporary_folder_with_blanks(recording, tmp_path):
    rig, log = recording
    rig.reg_set('ImageEditor', rig.windows_path(RECORDER))
    temp = tmp_path / 'temp with blanks'
    temp.mkdir()
    temp_win = rig.windows_path(temp)
    picture = write_bmp(tmp_path / 'picture.bmp', 64, 48, colour=(10, 120, 250))
    name = rig.windows_path(picture)
    start_in_cmd(rig, tmp_path, [f'set "TEMP={temp_win}"', f'set "TMP={temp_win}"'], name)
    wait_until(lambda: rig.status_text() == f'(64 x 48) - {name}', 15, what='the picture')
    rig.command('CM_ZMI02')
    wait_until(lambda: rig.status_text().endswith('Viewed at: 2:1'), 10, what='the 2:1 view')

    rig.command('CM_EDITOR')
    first = records(log, 1)[0]
    handoff = temp_win + '\\~~ktw.bmp'
    assert first['args'] == [handoff]  # one argument, blanks and all
    assert f'"{handoff}"' in first['cmdline']
    shown = Pixels(temp / '~~ktw.bmp')
    assert shown.size == (128, 96)  # as shown, not as captured
    assert shown.pixel(0, 0) == shown.pixel(127, 95) == (10, 120, 250)

    # The image menu's "Send To Editor" does the same.
    (temp / '~~ktw.bmp').unlink()
    rig.command('CM_SENDTOEDITOR')
    assert records(log, 2)[1]['args'] == [handoff]
    assert Pixels(temp / '~~ktw.bmp').size == (128, 96)


def test_auto_edit_hands_every_capture_to_the_editor(recording):
    rig, log = recording
    rig.reg_set('ImageEditor', rig.windows_path(RECORDER))
    rig.reg_set('AutoEdit', 'Yes')
    rig.start_griv()
    rig.second_start('\\F')
    arg = records(log, 1)[0]['args'][0]
    assert arg.endswith('\\~~ktw.bmp')
    assert Pixels(rig.unix_path(arg)).size == (1280, 800)
    assert rig.unix_path(arg).read_bytes()[28] == 24  # bits a pixel at 1:1 too: no alpha to hide it


def test_f1_and_the_help_menu_open_the_help_file(clean):
    rig = clean
    rig.start_griv()
    assert rig.second_start().returncode == 0
    wait_until(rig.main_visible, 10, what='the main window')
    rig.focus_x_window(rig.main_rect())
    rig.key('F1')
    wait_until(lambda: visible(rig, HELP_TITLE), 15, what='the help contents')
    close_help(rig)
    for command in ('CM_HELPCAPTURE', 'CM_HELPPRINT', 'CM_HELPSAVE', 'CM_HELPCONTACT', 'CM_HELP1'):
        rig.command(command)
        wait_until(lambda: visible(rig, HELP_TITLE), 15, what=f'the help of {command}')
        close_help(rig)


def test_f1_over_the_area_overlay_opens_help_above_it(clean):
    rig = clean
    rig.start_griv()
    rig.command('CM_CAPAREANOW')
    assert rig.probe('wait', 'TfrmCapArea', 'visible', '10000')[0] == 0, 'no overlay'
    time.sleep(0.5)
    rig.key('F1')
    wait_until(lambda: visible(rig, HELP_TITLE), 15, what='the help over the overlay')
    rig.probe('post', 'TfrmCapArea', '0x10')  # abandon the selection
    assert rig.probe('gone', 'TfrmCapArea', '10000')[0] == 0
    assert visible(rig, HELP_TITLE), 'the help went with the overlay'
    close_help(rig)


@pytest.fixture
def opened_by_recorder(rig):
    """.htm pages and .doc documents open in griv-record, as a browser and a word processor would."""
    added = []
    for ext in ('.htm', '.doc'):
        if rig.wine('reg', 'query', rf'HKCR\{ext}').returncode != 0:
            rig.wine('reg', 'add', rf'HKCR\{ext}', '/ve', '/d', 'grivtest.document', '/f', check=True)
            added.append(ext)
    rig.wine('reg', 'add', r'HKCR\grivtest.document\shell\open\command', '/ve',
             '/d', f'"{rig.windows_path(RECORDER)}" "%1"', '/f', check=True)
    yield
    for ext in added:
        rig.wine('reg', 'delete', rf'HKCR\{ext}', '/f')
    rig.wine('reg', 'delete', r'HKCR\grivtest.document', '/f')


def test_without_the_help_file_the_pages_open_in_the_browser(recording, opened_by_recorder, tmp_path):
    rig, log = recording
    if not (BIN / 'griv.chm').exists():
        pytest.skip('griv.chm is not built (chmcmd missing)')
    # A copy of the program whose help file is missing; its plain pages are there.
    prog = tmp_path / 'program'
    prog.mkdir()
    for f in ('GRIV.exe', 'griv.dat'):
        shutil.copy(BIN / f, prog / f)
    shutil.copytree(BIN / 'help', prog / 'help')
    rig.spawn(prog / 'GRIV.exe')
    assert rig.probe('wait', MAIN_CLASS, '20000')[0] == 0
    rig.probe('send', MAIN_CLASS, '0')
    pages = rig.windows_path(prog / 'help') + '\\'

    rig.command('CM_HELPSAVE')
    assert records(log, 1)[-1]['args'] == [pages + 'saving.htm']
    rig.command('CM_HELPCONTENT')
    assert records(log, 2)[-1]['args'] == [pages + 'index.htm']

    # In the options: two tabs on with Ctrl+Tab, F1 there; the Help button on the last tab.
    rig.command('CM_OPTIONS')
    assert rig.probe('find-title', 'Option Settings', '10000')[0] == 0
    rig.focus_x_window(visible(rig, 'Option Settings')[0]['rect'])
    rig.key('ctrl+Tab', 'ctrl+Tab', 'F1')
    assert records(log, 3)[-1]['args'] == [pages + 'options_save.htm']
    rig.probe('select-tab', 'Option Settings', '3')
    rig.probe('dlg-click', 'Option Settings', str(IDS['IDC_SET_HELP']))
    assert records(log, 4)[-1]['args'] == [pages + 'options_other.htm']
    rig.probe('dlg-click', 'Option Settings', '2')

    # The quick-start guide: the manual's page, or the brand owner's document when one ships.
    rig.command('CM_QUICKSTART')
    assert records(log, 5)[-1]['args'] == [pages + 'quick_start.htm']
    (prog / 'GRIV_Quick_Start_Guide.doc').write_bytes(b'guide')
    rig.command('CM_QUICKSTART')
    assert records(log, 6)[-1]['args'] == [rig.windows_path(prog / 'GRIV_Quick_Start_Guide.doc')]
    assert not visible(rig, HELP_TITLE)
