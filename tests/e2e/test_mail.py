"""Mail: whether Outlook counts as installed, as GRIV decides at start-up; the
send-mail window driven as a user drives it, against the tests' recording mail
client; the Outlook road through the tests' automation stand-in."""
import re
import subprocess

import pytest

from rig import BIN, IDS, Pixels, read_call_log, wait_until
from test_brand_crypto import enter_key, type_into, window

SEND = 'GRIV Screen Capture -- Send Email'
CAPTION = 'Grivanta   '
MESSAGING = r'HKLM\SOFTWARE\Microsoft\Windows Messaging Subsystem'
ID_SEND = '1'  # IDOK
ID_TO, ID_CC, ID_ATTACH = str(IDS['IDC_EMAIL_TO']), str(IDS['IDC_EMAIL_CC']), str(IDS['IDC_EMAIL_ATTACH'])


@pytest.fixture
def outlook(clean):
    rig = clean
    yield rig
    rig.remove_outlook()


def use_outlook_after_a_run(rig):
    rig.reg_set('UseOutlook', 'Yes')
    rig.close_griv(rig.start_griv())
    return rig.reg_query('UseOutlook')


def test_use_outlook_is_kept_only_while_app_paths_names_an_existing_outlook(outlook):
    rig = outlook
    rig.install_outlook()
    assert rig.wine('reg', 'query', r'HKCR\Outlook.Application\CLSID').returncode == 0
    assert use_outlook_after_a_run(rig) == 'Yes'
    # The entry names a file that is not there: no Outlook, the setting falls back.
    rig.install_outlook(exe_exists=False)
    assert use_outlook_after_a_run(rig) == 'No'
    rig.remove_outlook()
    assert use_outlook_after_a_run(rig) == 'No'
    assert rig.wine('reg', 'query', r'HKCR\Outlook.Application').returncode != 0


# ---- the send-mail window -------------------------------------------------------

@pytest.fixture
def mail(clean, tmp_path):
    """GRIV with the recording mail client, which copies what it is sent into tmp_path/copies.
    Returns (rig, start(**client settings) -> process, log path, copies folder)."""
    rig = clean
    copies = tmp_path / 'copies'
    copies.mkdir()
    log = tmp_path / 'mapi.log'
    rig.reg_set('AutoSave', 'Off')  # the capture has no file of its own: it goes as ~email.jpg
    rig.reg_set('InclMouse', '0')

    def start(**settings):
        rig.use_test_mail_client(log, COPY_DIR=rig.windows_path(copies), **settings)
        return rig.start_griv(settle=True)
    yield rig, start, log, copies
    rig.use_system_mail_client()


def capture(rig):
    rig.second_start('\\F')
    wait_until(rig.main_visible, 10, what='the capture on show')
    wait_until(lambda: rig.enabled('CM_SENDMAIL'), 5, what='Send as Email enabled')


def open_mail_window(rig):
    """Ctrl+E in the main window, as the user presses it."""
    for _ in range(3):
        rig.focus_x_window(rig.main_rect())
        rig.key('ctrl+e')
        try:
            return window(rig, SEND, timeout=5)
        except AssertionError:
            pass
    raise AssertionError('Ctrl+E opened no send-mail window')


def controls(rig):
    """{id: (text, enabled, visible)} of the send-mail window's controls."""
    _, out = rig.probe('child-texts', SEND)
    rows = {}
    for line in out.splitlines():
        parts = line.split('\t')
        if len(parts) >= 5:
            rows[parts[0]] = (parts[2], parts[3] == '1', parts[4] == '1')
    return rows


def send_enabled(rig):
    return controls(rig)[ID_SEND][1]


def gone(rig, title=SEND):
    wait_until(lambda: not any(w['title'] == title and w['visible'] for w in rig.windows()), 10,
               what=f'"{title}" to close')


def sends(log):
    return [fields for verb, fields in read_call_log(log) if verb == 'MAPISendMail']


def files_of_last_send(log):
    records = read_call_log(log)
    last = max(i for i, (verb, _) in enumerate(records) if verb == 'MAPISendMail')
    return [fields for verb, fields in records[last:] if verb == 'file']


def jpeg_error(reference_png, jpeg):
    """Mean absolute error of the JPEG against the reference, 0..1."""
    r = subprocess.run(['compare', '-metric', 'MAE', str(reference_png), str(jpeg), 'null:'],
                       capture_output=True, text=True, timeout=60)
    return float(r.stderr.split('(')[1].split(')')[0])


def test_a_capture_goes_out_as_typed_and_encrypted_on_request(mail, tmp_path, shots):
    rig, start, log, copies = mail
    p = start()
    rig.open_test_window()
    rig.xdotool('mousemove', 800, 620)
    rig.stable_screenshot(shots / 'screen.png')
    capture(rig)
    main = rig.main_rect()

    # Send follows To alone; Esc leaves without sending.
    w = open_mail_window(rig)
    assert w['rect'][:2] == (main[0] + 15, main[1] + 15)
    c = controls(rig)
    assert not c[ID_SEND][1]
    path, size = c[ID_ATTACH][0].split('\u00a0')
    assert path.endswith(r'\GRIV\ework\~email.jpg') and re.fullmatch(r'   \(\d+\.\d kb\)', size), c[ID_ATTACH]
    type_into(rig, SEND, '\tBob', enter=False)
    wait_until(lambda: controls(rig)[ID_CC][0] == 'Bob', 5, what='the CC text')
    assert not send_enabled(rig)
    rig.key('Escape')
    gone(rig)
    assert sends(log) == []

    # To, CC, BCC, subject and text typed in; Send.
    open_mail_window(rig)
    type_into(rig, SEND, 'ann; Dora\tBob, Carl\t[SMTP:eve@example.org]\tCapture for review\t'
                         'Hello,\nsee the picture.', enter=False)
    wait_until(lambda: send_enabled(rig), 5, what='Send enabled by To')
    rig.screenshot(shots / 'filled.png')
    rig.probe('press-button', SEND, '  &Send')
    gone(rig)
    [sent] = sends(log)
    assert sent['subject'] == 'Capture for review'
    assert sent['note'] == 'Hello,\r\nsee the picture.'
    recips = [(f['class'], f['name'], f['address']) for verb, f in read_call_log(log) if verb == 'recip']
    assert recips == [('1', 'Ann Example', 'SMTP:ann@example.com'), ('1', 'Dora', 'SMTP:Dora'),
                      ('2', 'Bob, Carl', 'SMTP:Bob, Carl'),  # a comma does not part recipients
                      ('3', 'SMTP:eve@example.org', 'SMTP:eve@example.org')]
    [f] = files_of_last_send(log)
    assert f['name'] == '~email.jpg' and f['path'].endswith(r'\GRIV\ework\~email.jpg')
    jpeg = copies / '1-~email.jpg'
    data = jpeg.read_bytes()
    assert data[:2] == b'\xff\xd8' and b'JFIF' in data[:16]
    assert Pixels(jpeg).size == (1280, 800)
    assert jpeg_error(shots / 'screen.png', jpeg) < 0.01

    # "Encrypt Images": the attachment goes as an encrypted file that decrypts to the picture.
    open_mail_window(rig)
    type_into(rig, SEND, 'ann', enter=False)
    wait_until(lambda: send_enabled(rig), 5, what='Send enabled by To')
    rig.probe('press-button', SEND, 'Encrypt Images')
    rig.probe('press-button', SEND, '  &Send')
    enter_key(rig, 'mail key 2024', twice=True)
    gone(rig)
    assert len(sends(log)) == 2
    [f] = files_of_last_send(log)
    assert f['name'] == '~email.jpg.ktx' and f['path'].endswith(r'\GRIV\ework\~email.jpg.ktx')
    plain = tmp_path / 'decrypted.jpg'
    r = rig.wine(BIN / 'griv-ktx.exe', 'decrypt', '--key', 'mail key 2024',
                 rig.windows_path(copies / '1-~email.jpg.ktx'), rig.windows_path(plain))
    assert r.returncode == 0, r.stderr
    assert plain.read_bytes() == data
    rig.close_griv(p)


def test_a_refused_send_is_said_with_its_code_and_the_mail_stays(mail):
    rig, start, log, _ = mail
    start(SEND_RESULT=2)
    capture(rig)
    open_mail_window(rig)
    type_into(rig, SEND, 'ann')  # Enter sends
    window(rig, CAPTION)
    _, texts = rig.probe('child-texts', CAPTION)
    assert 'MAPI Sendmail failed.' in texts and 'Error 2 from the mail program' in texts
    rig.probe('press-button', CAPTION, 'OK')
    wait_until(lambda: send_enabled(rig), 5, what='the send-mail window ready to send again')
    assert controls(rig)[ID_TO][0] == 'ann'
    assert len(sends(log)) == 1
    rig.probe('press-button', SEND, 'Cancel')
    gone(rig)


def test_without_mapi_the_mail_commands_are_disabled(mail):
    rig, start, log, _ = mail
    rig.reg_set('MAPI', '0', key=MESSAGING)
    try:
        start()
        capture(rig)
        assert rig.enabled('CM_SENDMAIL')
        rig.command('CM_SENDMAIL')
        window(rig, CAPTION)
        _, texts = rig.probe('child-texts', CAPTION)
        # (the console turns the message's line break into \r\r\n)
        assert 'Your system is not configured for MAPI Mail.\nMAPI mail is required for GRIV Send Mail' in \
            texts.replace('\r', '')
        rig.probe('press-button', CAPTION, 'OK')
        gone(rig, CAPTION)
        wait_until(lambda: not rig.enabled('CM_SENDMAIL'), 5, what='Send as Email disabled')
        assert not any(w['title'] == SEND for w in rig.windows())
        assert read_call_log(log) == []
    finally:
        rig.reg_set('MAPI', '1', key=MESSAGING)


def test_outlook_gets_the_attachment_and_a_missing_outlook_is_said(mail, tmp_path):
    rig, start, _, _ = mail
    log = tmp_path / 'outlook.log'
    rig.env['GRIV_TEST_OUTLOOK_LOG'] = rig.windows_path(log)
    rig.install_outlook()
    try:
        rig.reg_set('UseOutlook', 'Yes')
        start()
        capture(rig)
        rig.focus_x_window(rig.main_rect())
        rig.key('ctrl+e')
        wait_until(lambda: any(v == 'call' and f['member'] == 'Display' for v, f in read_call_log(log)), 10,
                   what='the mail item displayed')
        calls = [(f['object'].split('#')[0], f['member'], f['args']) for v, f in read_call_log(log) if v == 'call']
        assert [c[:2] for c in calls] == [('Application', 'CreateItem'), ('MailItem', 'Attachments'),
                                          ('Attachments', 'Add'), ('MailItem', 'Display')]
        assert calls[0][2] == 'I4:0'
        assert calls[2][2].startswith('BSTR:') and calls[2][2].endswith(r'\GRIV\ework\~email.jpg')
        assert calls[3][2] == 'BOOL:-1'  # shown modally
        wait_until(lambda: all(any(v == 'release' and f['object'] == o for v, f in read_call_log(log))
                               for o in {f['object'] for v, f in read_call_log(log) if v == 'new'}), 5,
                   what='every object released')

        # Outlook gone while the setting stays: a clear message, and the command works again afterwards.
        rig.wine('regsvr32', '/u', '/s', rig.windows_path(BIN / 'griv_test_outlook.dll'))
        rig.command('CM_SENDMAIL')
        window(rig, CAPTION)
        _, texts = rig.probe('child-texts', CAPTION)
        assert 'Unable to start Outlook: Outlook is not installed on this computer.' in texts
        rig.probe('press-button', CAPTION, 'OK')
        gone(rig, CAPTION)
        assert rig.enabled('CM_SENDMAIL')
    finally:
        rig.env.pop('GRIV_TEST_OUTLOOK_LOG', None)
        rig.remove_outlook()
