"""The options dialog driven as a user drives it: opened from the menu and the
tool bar, folders typed in, hot keys changed through their editor, Reset and
Cancel, a hot key another program holds, and its look at 96 and 144 DPI."""
import subprocess
import time

import pytest

from rig import BIN, IDS, MAIN_CLASS, wait_until
from test_capture import autosave, saved  # noqa: F401 (fixture)

TITLE = 'Option Settings'
HOTKEY_EDITOR = 'Full Screen Capture Hot Key'
IN_USE = ' \u2014 in use by another program'


def ctl(name):
    return str(IDS[name])


def titled(rig, title):
    return [w for w in rig.windows() if w['title'] == title and w['visible']]


def open_options(rig):
    rig.command('CM_OPTIONS')
    assert rig.probe('find-title', TITLE, '10000')[0] == 0, 'the options did not open'


def text(rig, name):
    return rig.probe('dlg-get', TITLE, ctl(name))[1]


def press(rig, name):
    rig.probe('dlg-click', TITLE, ctl(name))


def wait_closed(rig, title=TITLE):
    wait_until(lambda: not titled(rig, title), 10, what=f'"{title}" to close')


def answer_folder_question(rig, button):
    """Ok on a folder that does not exist asks, in a box with the dialog's title."""
    wait_until(lambda: len(titled(rig, TITLE)) == 2, 10, what='the folder question')
    _, texts = rig.probe('child-texts', TITLE)
    assert 'Does not exist -- Create it?' in texts
    assert rig.probe('press-button', TITLE, button)[0] == 0


def show_main(rig):
    assert rig.second_start().returncode == 0
    wait_until(rig.main_visible, 10, what='the main window')


def nothing_saved_for(folder, seconds):
    time.sleep(seconds)
    return [p.name for p in folder.iterdir()] == []


def test_opens_from_the_menu_and_the_tool_button_with_the_hot_keys_off(autosave, shots):
    rig, folder = autosave
    rig.start_griv()
    show_main(rig)
    left, top, _, _ = rig.main_rect()

    rig.menu_keys('alt+o', 'e')  # Options, Option Settings
    assert rig.probe('find-title', TITLE, '10000')[0] == 0, 'the keyboard did not open the options'
    dialog = titled(rig, TITLE)[0]
    assert dialog['rect'][:2] == (left + 15, top + 25)
    rig.key('Print')  # no capture while the options are open
    assert nothing_saved_for(folder, 1.0)
    rig.screenshot(shots / 'from-menu.png')
    rig.probe('dlg-click', TITLE, '2')  # Cancel
    wait_closed(rig)

    # The tool button "Options" (376, 6, 68 x 25 in the tool bar at 96 DPI).
    cl, ct, _, _ = map(int, rig.probe('client', MAIN_CLASS)[1].split())
    rig.xdotool('mousemove', cl + 376 + 34, ct + 6 + 12, 'click', 1)
    assert rig.probe('find-title', TITLE, '10000')[0] == 0, 'the tool button did not open the options'
    rig.key('Escape')
    wait_closed(rig)
    rig.key('Print')  # the hot keys are back
    assert len(saved(folder)) == 1


def test_a_missing_nested_folder_is_created_on_yes_and_stored(clean, tmp_path):
    rig = clean
    old = tmp_path / 'old'
    old.mkdir()
    rig.reg_set('AutoSavePath', rig.windows_path(old) + '\\')
    rig.start_griv()
    open_options(rig)
    assert text(rig, 'IDC_SET_SAVEPATH') == rig.windows_path(old) + '\\'
    leaf = tmp_path / 'new' / 'deeper' / 'leaf'
    rig.probe('dlg-text', TITLE, ctl('IDC_SET_SAVEPATH'), rig.windows_path(tmp_path) + '\\new\\deeper\\leaf')
    rig.probe('dlg-click', TITLE, '1')  # Ok
    answer_folder_question(rig, '&Yes')
    wait_closed(rig)
    assert leaf.is_dir()
    wait_until(lambda: rig.reg_query('AutoSavePath') == rig.windows_path(leaf) + '\\', 10,
               what='AutoSavePath to be stored')


def test_answering_no_keeps_the_old_folder(clean, tmp_path):
    rig = clean
    old = tmp_path / 'old'
    old.mkdir()
    rig.reg_set('AutoSavePath', rig.windows_path(old) + '\\')
    rig.start_griv()
    open_options(rig)
    rig.probe('dlg-text', TITLE, ctl('IDC_SET_SAVEPATH'), rig.windows_path(tmp_path) + '\\never\\made')
    rig.probe('dlg-click', TITLE, '1')
    answer_folder_question(rig, '&No')
    wait_closed(rig)
    assert not (tmp_path / 'never').exists()
    # Ok went on: the settings were saved, with the folder in effect before.
    wait_until(lambda: rig.reg_query('PrintStyle') == 'Full', 10, what='the settings to be saved')
    assert rig.reg_query('AutoSavePath') == rig.windows_path(old) + '\\'


def test_a_folder_that_cannot_be_made_keeps_the_dialog_open(clean, tmp_path):
    rig = clean
    rig.start_griv()
    open_options(rig)
    rig.probe('dlg-text', TITLE, ctl('IDC_SET_SAVEPATH'), 'Q:\\no drive\\here')
    rig.probe('dlg-click', TITLE, '1')
    answer_folder_question(rig, 'Cancel')  # Cancel: back to the dialog, nothing made
    wait_until(lambda: len(titled(rig, TITLE)) == 1, 10, what='the question to close')
    rig.probe('dlg-click', TITLE, '1')
    answer_folder_question(rig, '&Yes')
    wait_until(lambda: 'Q:\\no drive\\here - is not a valid path' in rig.probe('child-texts', TITLE)[1], 10,
               what='the warning')
    assert rig.probe('press-button', TITLE, 'OK')[0] == 0
    wait_until(lambda: len(titled(rig, TITLE)) == 1, 10, what='the warning to close')
    time.sleep(0.5)
    assert titled(rig, TITLE), 'the options closed'
    # Forms no file could be saved under are refused without a question.
    for box, value, said in (('IDC_SET_SAVEPATH', 'relshots', 'relshots - is not a valid path'),
                             ('IDC_SET_SAVEPATH', 'D:', 'D: - is not a valid path'),
                             ('IDC_SET_PREFIX', 'a/b:c', 'File Name Prefix - a/b:c cannot be used')):
        rig.probe('dlg-text', TITLE, ctl(box), value)
        rig.probe('dlg-click', TITLE, '1')
        wait_until(lambda: said in rig.probe('child-texts', TITLE)[1], 10, what=f'the warning about {value}')
        assert rig.probe('press-button', TITLE, 'OK')[0] == 0
        wait_until(lambda: len(titled(rig, TITLE)) == 1, 10, what='the warning to close')
    assert rig.reg_query('AutoSavePath') is None  # nothing saved
    rig.probe('dlg-click', TITLE, '2')
    wait_closed(rig)


def test_typed_values_are_stored_back_and_used(autosave):
    rig, folder = autosave
    rig.start_griv()
    open_options(rig)
    rig.probe('select-tab', TITLE, '2')
    rig.probe('dlg-text', TITLE, ctl('IDC_SET_PREFIX'), 'shot')
    rig.probe('dlg-text', TITLE, ctl('IDC_SET_NEXTNO'), '12abc')
    assert rig.probe('dlg-combo', TITLE, ctl('IDC_SET_EXT'), '1')[1] == '1'  # .jpg
    rig.probe('select-tab', TITLE, '1')
    assert rig.probe('dlg-check', TITLE, ctl('IDC_SET_DOSPRINT'))[1] == '0 1'
    assert rig.probe('dlg-check', TITLE, ctl('IDC_SET_ARIAL'))[1] == '0 0'  # greyed while console printing is off
    assert rig.probe('dlg-check', TITLE, ctl('IDC_SET_DOSPRINT'), '1')[1] == '1 1'
    assert rig.probe('dlg-check', TITLE, ctl('IDC_SET_ARIAL'), '1')[1] == '1 1'
    rig.probe('dlg-click', TITLE, '1')
    wait_closed(rig)
    wait_until(lambda: rig.reg_query('AutoExt') == '.jpg', 10, what='the settings to be saved')
    values = rig.reg_values()
    assert values['AutoPrefix'] == 'shot'
    assert values['DosPrint'] == 'Yes' and values['DosFont'] == 'Arial'
    assert 'NextSaveNo' not in values  # held until the next numbered save writes the one after it
    rig.key('Print')
    assert [p.name for p in saved(folder)] == ['shot-00012.jpg']
    wait_until(lambda: rig.reg_query('NextSaveNo') == '13', 10, what='NextSaveNo')


def test_the_browse_buttons_fill_the_folder_and_the_editor(clean):
    rig = clean
    rig.start_griv()
    open_options(rig)
    rig.probe('select-tab', TITLE, '2')
    press(rig, 'IDC_SET_BROWSEPATH')
    assert rig.probe('find-title', 'Browse for Folder', '20000')[0] == 0, 'no folder picker'
    _, texts = rig.probe('child-texts', 'Browse for Folder')
    assert 'Choose a folder below:' in texts
    assert rig.probe('press-button', 'Browse for Folder', 'OK')[0] == 0  # the desktop, chosen at the start
    wait_closed(rig, 'Browse for Folder')
    assert text(rig, 'IDC_SET_SAVEPATH').endswith('\\Desktop')  # as the shell gives it, no backslash added

    rig.probe('select-tab', TITLE, '3')
    press(rig, 'IDC_SET_BROWSEEDITOR')
    assert rig.probe('find-title', 'Open', '20000')[0] == 0, 'no open dialog'
    editor = rig.windows_path(BIN / 'griv-record.exe')
    rig.probe('dlg-text', 'Open', '1148', editor)  # the file name box
    assert rig.probe('press-button', 'Open', '&Open')[0] == 0
    wait_closed(rig, 'Open')
    assert text(rig, 'IDC_SET_EDITOR').lower() == editor.lower()
    rig.probe('dlg-click', TITLE, '1')
    wait_closed(rig)
    wait_until(lambda: (rig.reg_query('ImageEditor') or '').lower() == editor.lower(), 10, what='ImageEditor')


def change_full_screen_key(rig, ctrl, shift, key_index):
    press(rig, 'IDC_SET_CHGFULL')
    assert rig.probe('find-title', HOTKEY_EDITOR, '10000')[0] == 0, 'no hot-key editor'
    rig.probe('dlg-check', HOTKEY_EDITOR, ctl('IDC_HKSET_CTRL'), '1' if ctrl else '0')
    rig.probe('dlg-check', HOTKEY_EDITOR, ctl('IDC_HKSET_SHIFT'), '1' if shift else '0')
    rig.probe('dlg-combo', HOTKEY_EDITOR, ctl('IDC_HKSET_KEY'), str(key_index))
    rig.probe('dlg-click', HOTKEY_EDITOR, '1')
    wait_closed(rig, HOTKEY_EDITOR)


def test_full_screen_hot_key_changed_through_the_editor(autosave):
    rig, folder = autosave
    rig.start_griv()
    open_options(rig)
    assert text(rig, 'IDC_SET_HKFULL') == 'PrintScreen'
    change_full_screen_key(rig, True, True, 79)  # F11
    assert text(rig, 'IDC_SET_HKFULL') == 'Ctrl, Shift, F11'
    rig.probe('dlg-click', TITLE, '1')
    wait_closed(rig)
    wait_until(lambda: rig.reg_query('HotKeyFull') == 'Ctrl|Shift|#79', 10, what='HotKeyFull')
    assert rig.reg_query('HotKeyActive') == 'Alt|#15'
    rig.key('Print')
    assert nothing_saved_for(folder, 1.0), 'PrintScreen still captures'
    rig.key('ctrl+shift+F11')
    assert len(saved(folder)) == 1


def test_reset_then_cancel_changes_nothing(autosave):
    rig, folder = autosave
    rig.reg_set('HotKeyFull', 'Ctrl|Shift|#80')
    rig.start_griv()
    open_options(rig)
    assert text(rig, 'IDC_SET_HKFULL') == 'Ctrl, Shift, F12'
    press(rig, 'IDC_SET_RESET')
    wait_until(lambda: text(rig, 'IDC_SET_HKFULL') == 'PrintScreen', 5, what='the reset display')
    assert text(rig, 'IDC_SET_HKAREA') == 'Win, PrintScreen'
    rig.probe('dlg-click', TITLE, '2')  # Cancel
    wait_closed(rig)
    assert rig.reg_query('HotKeyFull') == 'Ctrl|Shift|#80'
    assert rig.reg_query('PrintStyle') is None  # nothing saved
    rig.key('Print')
    assert nothing_saved_for(folder, 1.0)
    rig.key('ctrl+shift+F12')
    assert len(saved(folder)) == 1


def test_a_hot_key_held_by_another_program_is_shown_as_refused(clean):
    rig = clean
    with rig.hot_key_held(0, 0x2C):  # PrintScreen, no modifiers
        rig.start_griv()
        open_options(rig)
        assert text(rig, 'IDC_SET_HKFULL') == 'PrintScreen' + IN_USE
        assert text(rig, 'IDC_SET_HKACTIVE') == 'Alt, PrintScreen'
        # A key chosen in the editor is looked at as well.
        change_full_screen_key(rig, True, False, 15)
        assert text(rig, 'IDC_SET_HKFULL') == 'Ctrl, PrintScreen'
        change_full_screen_key(rig, False, False, 15)
        assert text(rig, 'IDC_SET_HKFULL') == 'PrintScreen' + IN_USE
        rig.probe('dlg-click', TITLE, '2')
        wait_closed(rig)


def test_f1_on_the_save_tab_opens_the_saving_options_topic(clean):
    rig = clean
    rig.start_griv()
    open_options(rig)
    assert rig.probe('select-tab', TITLE, '2')[0] == 0
    rig.focus_x_window(titled(rig, TITLE)[0]['rect'])
    rig.key('F1')
    # The help engine opens a window only for a topic the help file maps the number to.
    wait_until(lambda: titled(rig, 'Grivanta Help'), 15, what='the help window')
    assert titled(rig, TITLE), 'the options closed'
    rig.probe('post', 'HH Parent', '0x10')
    wait_closed(rig, 'Grivanta Help')
    rig.probe('dlg-click', TITLE, '2')
    wait_closed(rig)


# ---- the look at 96 and 144 DPI ---------------------------------------------------

def look_at_every_tab(rig, shots, dpi):
    open_options(rig)
    scale = dpi / 96
    left, top, right, bottom = map(int, rig.probe('title-client', TITLE)[1].split())
    assert abs((right - left) - 426 * scale) <= 2 and abs((bottom - top) - 303 * scale) <= 2, (left, top, right, bottom)
    for tab in range(4):
        rig.probe('select-tab', TITLE, str(tab))
        time.sleep(0.3)
        rig.stable_screenshot(shots / f'tab{tab}.png')
        dialog = titled(rig, TITLE)[0]['rect']
        subprocess.run(['convert', str(shots / f'tab{tab}.png'), '-crop',
                        f'{dialog[2] - dialog[0]}x{dialog[3] - dialog[1]}+{dialog[0]}+{dialog[1]}', '+repage',
                        str(shots / f'options-{dpi}-tab{tab}.png')], check=True, timeout=30)
    # Every control of every tab lies inside the client area.
    for name, value in IDS.items():
        if name.startswith('IDC_SET_') and name != 'IDC_SET_TABS':
            code, out = rig.probe('title-rect', TITLE, str(value))
            assert code == 0, name
            l, t, r, b = map(int, out.split())
            assert left <= l and r <= right and top <= t and b <= bottom, (name, (l, t, r, b), (left, top, right, bottom))
    rig.probe('dlg-click', TITLE, '2')
    wait_closed(rig)


def test_the_dialog_is_laid_out_at_96_dpi(clean, shots):
    rig = clean
    rig.start_griv(settle=True)  # the start-up splash would lie over the screenshots
    look_at_every_tab(rig, shots, 96)


class TestHighDpi:
    @pytest.fixture
    def rig(self, high_dpi_rig):
        return high_dpi_rig

    def test_the_dialog_is_laid_out_at_144_dpi(self, rig, shots):
        rig.reg_delete_key()
        rig.start_griv(settle=True)
        try:
            look_at_every_tab(rig, shots, 144)
        finally:
            rig.probe('post', MAIN_CLASS, '0x10')
            rig.probe('gone', MAIN_CLASS, '10000')
            rig.kill_all()
