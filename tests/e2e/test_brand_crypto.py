"""The brand file, and encrypted files made and opened through the program's dialogs."""
import shutil
import subprocess
import time

import pytest

from rig import BIN, GRIV, MAIN_CLASS, TOP, wait_until
from test_capture import autosave, saved  # noqa: F401 (fixture)
from test_options import TITLE as OPTIONS, ctl, open_options, wait_closed

KEY_TITLE = 'GRIV - Enter Encryption Key'


def window(rig, title, timeout=10):
    return wait_until(lambda: next((r for r in rig.windows() if r['title'] == title and r['visible']), None),
                      timeout, what=f'the window "{title}"')


def type_into(rig, title, text, enter=True):
    """Types into the focused control of a dialog, as the user would."""
    w = window(rig, title)
    time.sleep(0.3)
    rig.focus_x_window(w['rect'])
    rig.xdotool('type', '--delay', '30', text)
    if enter:
        rig.key('Return')


def enter_key(rig, key, twice=False):
    """Types the key; a key chosen for encrypting goes into both boxes."""
    if twice:
        type_into(rig, KEY_TITLE, key, enter=False)
        rig.key('Tab')
        rig.xdotool('type', '--delay', '30', key)
        rig.key('Return')
    else:
        type_into(rig, KEY_TITLE, key)
    wait_until(lambda: not any(r['title'] == KEY_TITLE and r['visible'] for r in rig.windows()), 5,
               what='the key dialog to close')


@pytest.fixture
def branded(clean, tmp_path):
    """GRIV.exe in its own folder beside a brand file made with the brand tool."""
    rig = clean
    folder = tmp_path / 'brand'
    folder.mkdir()
    shutil.copy(GRIV, folder / 'GRIV.exe')
    ini = folder / 'brand.ini'
    ini.write_text('[Settings]\r\nMainCaption=Acme Shot\r\nWebSite=https://acme.example\r\n'
                   '[TagLines]\r\na=First line\r\nb=Second = line\r\nc=Third line\r\n')
    r = rig.wine(BIN / 'griv-brand.exe', 'make', rig.windows_path(ini), rig.windows_path(folder / 'griv.dat'))
    assert r.returncode == 0, r.stderr
    return rig, folder / 'GRIV.exe'


def test_brand_file_sets_the_caption_and_the_tag_lines_cycle(branded, shots):
    rig, exe = branded
    rig.reg_set('NextTagToShow', 5)  # beyond the three lines: starts at the first and stores 0
    p = rig.spawn(exe)
    assert rig.probe('wait', MAIN_CLASS, '20000')[0] == 0
    rig.probe('send', MAIN_CLASS, '0')
    assert rig.reg_query('NextTagToShow') == 0
    code, out = rig.probe('text', MAIN_CLASS)
    assert out.splitlines()[0] == 'Acme Shot'
    rig.wine(exe)  # a second start shows the window: the banner shows its first tag line
    wait_until(rig.main_visible, 5, what='the main window')
    time.sleep(1)
    rig.screenshot(shots / 'branded.png')
    rig.close_griv(p)
    assert rig.reg_query('NextTagToShow') == 1  # the next run goes on with the second line


def test_missing_brand_file_starts_with_the_defaults(clean, tmp_path):
    rig = clean
    shutil.copy(GRIV, tmp_path / 'GRIV.exe')  # no griv.dat beside it
    p = rig.spawn(tmp_path / 'GRIV.exe')
    assert rig.probe('wait', MAIN_CLASS, '20000')[0] == 0
    assert rig.probe('text', MAIN_CLASS)[1].splitlines()[0] == 'Grivanta'
    assert p.poll() is None


def test_encrypt_a_file_and_open_it_again(clean, tmp_path, shots):
    rig = clean
    report = tmp_path / 'report.txt'
    report.write_bytes(b'Quarterly figures\r\nall good\r\n' * 50)
    p = rig.start_griv(settle=True)
    rig.command('CM_ENCRYPTFILE')
    enter_key(rig, 'Sesame open 42', twice=True)
    type_into(rig, 'Select File to Encrypt', rig.windows_path(report))
    encrypted = tmp_path / 'report.txt.KTX'
    wait_until(encrypted.exists, 10, what='the encrypted file')
    data = encrypted.read_bytes()
    assert data.startswith(b'KTX2') and len(data) == 40 + len(report.read_bytes()) + 16
    assert b'Quarterly' not in data
    # The command-line tool reads the same format.
    out = tmp_path / 'check.txt'
    r = rig.wine(BIN / 'griv-ktx.exe', 'decrypt', '--key', 'Sesame open 42', rig.windows_path(encrypted),
                 rig.windows_path(out))
    assert r.returncode == 0, r.stderr
    assert out.read_bytes() == report.read_bytes()

    # Opening it decrypts into the work folder and hands it to the program registered for .txt.
    rig.command('CM_OPENENCRYPTED')
    type_into(rig, 'Select GRIV Encrypted file to open', rig.windows_path(encrypted))
    enter_key(rig, 'Sesame open 42')
    appdata = rig.unix_path(rig.wine('cmd', '/c', 'echo %APPDATA%').stdout.strip())
    plain = appdata / 'GRIV' / 'ework' / 'report.txt'
    wait_until(plain.exists, 10, what='the plain copy in the work folder')
    assert plain.read_bytes() == report.read_bytes()
    time.sleep(1)
    rig.screenshot(shots / 'opened.png')
    for w in rig.windows():  # whatever program opened it
        if 'report' in w['title'].lower():
            rig.probe('post', w['cls'], '0x10')
    rig.close_griv(p)
    assert not plain.exists()  # the work folder is emptied at exit


def test_wrong_key_leaves_no_plain_copy(clean, tmp_path):
    rig = clean
    secret = tmp_path / 'secret.bmp.ktx'
    plain = tmp_path / 'secret.bmp'
    from rig import write_bmp
    write_bmp(plain, 40, 30)
    r = rig.wine(BIN / 'griv-ktx.exe', 'encrypt', '--key', 'right key 123', rig.windows_path(plain),
                 rig.windows_path(secret))
    assert r.returncode == 0, r.stderr
    rig.start_griv(settle=True)
    rig.command('CM_OPENENCRYPTED')
    type_into(rig, 'Select GRIV Encrypted file to open', rig.windows_path(secret))
    enter_key(rig, 'wrong key 456')
    window(rig, 'Grivanta   ')
    _, texts = rig.probe('child-texts', 'Grivanta   ')
    assert 'Wrong key, or the file is damaged.' in texts
    rig.probe('press-button', 'Grivanta   ', 'OK')
    appdata = rig.unix_path(rig.wine('cmd', '/c', 'echo %APPDATA%').stdout.strip())
    assert not (appdata / 'GRIV' / 'ework' / 'secret.bmp').exists()


def test_save_image_encrypted_and_open_it(autosave, tmp_path):
    rig, folder = autosave
    rig.start_griv(settle=True)
    rig.second_start('\\F')
    saved(folder)
    # A file of the user's in the temporary folder with the name of the plain copy-to-be.
    victim = rig.unix_path(rig.temp_folder()) / 'shot.bmp'
    victim.write_bytes(b'the user\'s own file')
    rig.command('CM_SAVEENCRYPTED')
    enter_key(rig, 'picture key 99', twice=True)
    target = tmp_path / 'shot'
    type_into(rig, window(rig, 'Save As')['title'], rig.windows_path(target))
    encrypted = tmp_path / 'shot.bmp.ktx'
    wait_until(encrypted.exists, 10, what='shot.bmp.ktx')
    wait_until(lambda: encrypted.read_bytes().startswith(b'KTX2'), 10, what='an AES file')
    assert victim.read_bytes() == b'the user\'s own file'
    victim.unlink()
    rig.command('CM_OPENENCRYPTED')
    type_into(rig, 'Select GRIV Encrypted file to open', rig.windows_path(encrypted))
    enter_key(rig, 'picture key 99')
    wait_until(lambda: rig.status_text() == '(1280 x 800) - Encrypted Image', 10, what='the encrypted image')


def test_a_decrypted_file_that_is_no_picture_leaves_no_plain_copy(clean, tmp_path):
    rig = clean
    plain = tmp_path / 'notes.bmp'
    plain.write_bytes(b'not a bitmap at all, just text' * 10)
    ktx = tmp_path / 'notes.bmp.ktx'
    r = rig.wine(BIN / 'griv-ktx.exe', 'encrypt', '--key', 'picture key 99', rig.windows_path(plain),
                 rig.windows_path(ktx))
    assert r.returncode == 0, r.stderr
    rig.start_griv(settle=True)
    rig.command('CM_OPENENCRYPTED')
    type_into(rig, 'Select GRIV Encrypted file to open', rig.windows_path(ktx))
    enter_key(rig, 'picture key 99')
    window(rig, 'Grivanta   ')
    _, texts = rig.probe('child-texts', 'Grivanta   ')
    assert 'Unable to read or decrypt the image' in texts
    appdata = rig.unix_path(rig.wine('cmd', '/c', 'echo %APPDATA%').stdout.strip())
    assert not (appdata / 'GRIV' / 'ework' / 'notes.bmp').exists()
    rig.probe('press-button', 'Grivanta   ', 'OK')


def test_ktx_tool_takes_a_non_ascii_key_as_the_linux_tool_does(rig, tmp_path):
    """umlaut.txt.ktx was made on Linux by griv-ktx with the key "pässwörd1":
    the Windows tool, given the key in a UTF-8 file, opens it; a key that
    code page 1252 cannot hold is refused instead of being approximated."""
    data = TOP / 'tests' / 'data' / 'des'
    encrypted = tmp_path / 'umlaut.txt.ktx'
    shutil.copy(data / 'umlaut.txt.ktx', encrypted)
    key = tmp_path / 'key.txt'
    key.write_bytes('pässwörd1\r\n'.encode('utf-8'))
    out = tmp_path / 'umlaut.txt'
    r = rig.wine(BIN / 'griv-ktx.exe', 'decrypt', '--key-file', rig.windows_path(key), '--codepage', '1252',
                 rig.windows_path(encrypted), rig.windows_path(out))
    assert r.returncode == 0, r.stderr
    assert out.read_bytes() == (data / 'umlaut.txt').read_bytes()

    key.write_bytes('Łódź key 12'.encode('utf-8'))
    r = rig.wine(BIN / 'griv-ktx.exe', 'encrypt', '--format', 'des', '--key-file', rig.windows_path(key),
                 '--codepage', '1252', rig.windows_path(out), rig.windows_path(tmp_path / 'x.ktx'))
    assert r.returncode == 2
    assert 'cannot hold exactly' in r.stderr
    assert not (tmp_path / 'x.ktx').exists()
    # An AES key is its UTF-8 bytes, whatever the code page.
    r = rig.wine(BIN / 'griv-ktx.exe', 'encrypt', '--key-file', rig.windows_path(key), rig.windows_path(out),
                 rig.windows_path(tmp_path / 'x.ktx'))
    assert r.returncode == 0, r.stderr
    r = rig.wine(BIN / 'griv-ktx.exe', 'decrypt', '--key-file', rig.windows_path(key),
                 rig.windows_path(tmp_path / 'x.ktx'), rig.windows_path(tmp_path / 'back.txt'))
    assert r.returncode == 0, r.stderr
    assert (tmp_path / 'back.txt').read_bytes() == out.read_bytes()


def open_encrypted(rig, path, key):
    rig.command('CM_OPENENCRYPTED')
    type_into(rig, 'Select GRIV Encrypted file to open', rig.windows_path(path))
    enter_key(rig, key)


def test_des_on_request_old_des_files_open_and_damaged_aes_files_are_refused(clean, tmp_path):
    """"Encrypt for older versions (DES)" makes Encrypt a File write DES, which
    opens again; a DES file made by openssl as an earlier version made it
    opens; an AES file with one changed byte is refused and leaves no plain copy."""
    from rig import write_bmp
    rig = clean
    rig.start_griv(settle=True)
    work = rig.unix_path(rig.wine('cmd', '/c', 'echo %APPDATA%').stdout.strip()) / 'GRIV' / 'ework'
    open_options(rig)
    rig.probe('select-tab', OPTIONS, '2')
    assert rig.probe('dlg-check', OPTIONS, ctl('IDC_SET_ENCDES'), '1')[1] == '1 1'
    rig.probe('dlg-click', OPTIONS, '1')
    wait_closed(rig)
    wait_until(lambda: rig.reg_query('EncryptFormat') == 'DES', 10, what='EncryptFormat')

    pic = write_bmp(tmp_path / 'pic.bmp', 40, 30)
    rig.command('CM_ENCRYPTFILE')
    enter_key(rig, 'Sesame open 42', twice=True)
    type_into(rig, 'Select File to Encrypt', rig.windows_path(pic))
    des = tmp_path / 'pic.bmp.KTX'
    wait_until(des.exists, 10, what='the DES file')
    assert len(des.read_bytes()) == (pic.stat().st_size // 8 + 1) * 8 and not des.read_bytes().startswith(b'KTX2')
    open_encrypted(rig, des, 'Sesame open 42')
    wait_until(lambda: rig.status_text() == '(40 x 30) - Encrypted Image', 10, what='the DES picture')

    # Key "Grivanta test key!" and the fixed IV text, as DES files always had them.
    old = tmp_path / 'old.bmp.ktx'
    subprocess.run(['openssl', 'enc', '-des-cbc', '-provider', 'legacy', '-provider', 'default', '-K',
                    '7921657374206B65', '-iv', '1D031A1115030606', '-in', str(write_bmp(tmp_path / 'old.bmp', 50, 20)),
                    '-out', str(old)], check=True)
    open_encrypted(rig, old, 'Grivanta test key!')
    wait_until(lambda: rig.status_text() == '(50 x 20) - Encrypted Image', 10, what='the old DES picture')

    aes = tmp_path / 'new.bmp.ktx'
    r = rig.wine(BIN / 'griv-ktx.exe', 'encrypt', '--key', 'Sesame open 42', rig.windows_path(pic),
                 rig.windows_path(aes))
    assert r.returncode == 0, r.stderr
    damaged = bytearray(aes.read_bytes())
    damaged[100] ^= 1
    aes.write_bytes(damaged)
    open_encrypted(rig, aes, 'Sesame open 42')
    window(rig, 'Grivanta   ')
    assert 'Wrong key, or the file is damaged.' in rig.probe('child-texts', 'Grivanta   ')[1]
    rig.probe('press-button', 'Grivanta   ', 'OK')
    assert not (work / 'new.bmp').exists() and not list(work.glob('new.bmp*'))
    assert rig.status_text() == '(50 x 20) - Encrypted Image'  # the picture shown stays
