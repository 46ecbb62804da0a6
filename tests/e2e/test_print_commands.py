"""Printing through GRIV itself: the print command in each style, Auto Print
after a hot-key capture, notes typed for Ctrl+N, the print preview, console
text copied to the clipboard, and what happens without a printer. Every job
is rendered with ghostscript and read back in printer pixels."""
import datetime
import re
import struct
import time
from pathlib import Path

import pytest

from rig import (BIN, IDS, MAIN_CLASS, PRINTER_SETUP, TEST_PRINTER, Pixels, complete_jobs, install_printer,
                 job_chars, job_is_landscape, job_page_count, job_text, no_printer, remove_printer, render_job,
                 text_lines, wait_print_jobs, wait_until)
from test_printing import assert_picture_at, expected_placement

CLIP = BIN / 'griv-clip.exe'
PREVIEW = 'TPreviewForm'
PREVIEW_TITLE = 'Print Preview'
NOTES_TITLE = 'Enter Notes for the Image Print'
DIALOG_CAPTION = 'Grivanta   '
PRINT_FAILED = 'Printer problem - Unable to print image'


def brand_caption():
    text = (Path(__file__).resolve().parents[2] / 'resources' / 'brand.ini').read_text()
    return re.search(r'^PrintCaption=(.*)$', text, re.M).group(1).strip()


CAPTION = brand_caption()


@pytest.fixture(scope='module')
def printer(rig):
    jobs = install_printer(rig)
    yield jobs
    remove_printer(rig)  # other modules expect a prefix without printers


@pytest.fixture
def jobs(printer, clean):
    for f in printer.glob('job.*'):
        f.unlink()
    return printer


def page_of(rig, orientation):
    """W H DPIX DPIY OFFX OFFY of the test printer's page."""
    r = rig.wine(PRINTER_SETUP, 'page', TEST_PRINTER, orientation, check=True)
    return tuple(int(v) for v in r.stdout.split())


def pattern_bmp(path, w, h):
    """A 24-bit BMP in four quadrants: red, green / blue, yellow (the pattern assert_picture_at knows)."""
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(h - 1, -1, -1):
        top = y < h // 2
        left_colour = (0, 0, 255) if top else (255, 0, 0)   # B, G, R
        right_colour = (0, 255, 0) if top else (0, 255, 255)
        row = bytes(left_colour) * (w // 2) + bytes(right_colour) * (w - w // 2)
        rows.append(row + b'\0' * (stride - w * 3))
    data = b''.join(rows)
    Path(path).write_bytes(struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54) +
                           struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0) + data)
    return Path(path)


def open_picture(rig, tmp_path, w, h, **settings):
    """GRIV started on a w x h pattern file with these settings, its window shown."""
    for name, value in settings.items():
        rig.reg_set(name, value)
    name = rig.windows_path(pattern_bmp(tmp_path / f'pattern{w}x{h}.bmp', w, h))
    rig.start_griv(settle=True)  # the start-up splash must not hide the window afterwards
    assert rig.second_start(name).returncode == 0
    status = f'({w} x {h}) - {name}'
    wait_until(lambda: rig.status_text() == status, 10, what='the picture in the window')
    wait_until(rig.main_visible, 10, what='the main window')
    return status


def visible_title(rig, title, cls=None):
    return any(w['title'] == title and w['visible'] and cls in (None, w['cls']) for w in rig.windows())


def message_box(rig, title):
    """The text of the message box with this title, once it shows."""
    wait_until(lambda: visible_title(rig, title, '#32770'), 15, what=f'a message titled {title!r}')
    return rig.probe('child-texts', title)[1]


def close_message_box(rig, title):
    rig.probe('press-button', title, 'OK')
    wait_until(lambda: not visible_title(rig, title, '#32770'), 10, what='the message to close')


def no_new_job(jobs, count, wait=2.0):
    """Nothing more reaches the printer for a while (a job appears within a second of its end)."""
    time.sleep(wait)
    return len(list(Path(jobs).glob('job.*'))) == count


def header_rows(job):
    return [''.join(c for _, c in v) for v in text_lines(job_chars(job)).values()]


def assert_dated_header(job):
    """Date, time and caption on one line: the date with this year, the time with its colon."""
    today = datetime.date.today()
    line = next((t for t in header_rows(job) if CAPTION.replace(' ', '') in t.replace(' ', '')), None)
    assert line, header_rows(job)
    before = line.replace(' ', '')[:-len(CAPTION.replace(' ', ''))]
    assert (str(today.year) in before or f'{today.year % 100:02d}' in before) and ':' in before, line


@pytest.mark.parametrize('style', ['Full', 'Best', 'Zoom'])
def test_the_print_command_puts_the_picture_in_its_rectangle(rig, jobs, tmp_path, style):
    w, h = (333, 211) if style == 'Zoom' else (400, 300)
    status = open_picture(rig, tmp_path, w, h, PrintStyle=style, PrintDate='0' if style == 'Best' else '1',
                          AutoOrient='Off')
    zoom = 1
    if style == 'Zoom':
        rig.command('CM_ZMI02')  # printed as shown: twice the size
        zoom = 2
        status = wait_until(lambda: (lambda t: t.endswith('Viewed at: 2:1') and t)(rig.status_text()), 10,
                            what='the zoomed view')
    if style == 'Best':
        rig.focus_x_window(rig.main_rect())
        rig.key('ctrl+p')
    else:
        rig.command('CM_PRINT')
    job, = wait_print_jobs(jobs, 1)
    assert b'%%Title: GRIV Print Image' in job.read_bytes()[:2048]
    assert not job_is_landscape(job) and job_page_count(job) == 1
    pw, ph, _, _, ox, oy = page_of(rig, 'portrait')
    want = expected_placement(style, w, h, zoom, pw, ph, False)
    page = render_job(job, tmp_path)[0]
    assert_picture_at(page, want, (ox, oy), style)
    if style == 'Best':
        # Without the date the caption stands alone over the picture's left edge.
        assert job_text(job).split() == CAPTION.split()
        assert abs(min(x for _, x, _, _ in job_chars(job)) - (want[0] + ox)) <= 6
    else:
        assert_dated_header(job)
    # The status comes back once the job is done.
    wait_until(lambda: rig.status_text() == status, 10, what='the image status after printing')


def test_auto_print_after_a_hot_key_capture_prints_one_turned_page(rig, jobs, tmp_path, shots):
    # The capture's own copy to the watched clipboard must not print a second time.
    for name, value in dict(AutoPrint='On', AutoOrient='On', PrintStyle='Full', PrintDate='1', InclMouse='0',
                            AutoClipCopy='On', WatchClips='1').items():
        rig.reg_set(name, value)
    rig.start_griv(settle=True)
    rig.open_test_window()
    rig.xdotool('mousemove', 1200, 700)
    screen = rig.stable_screenshot(shots / 'screen.png')
    rig.key('Print')
    job, = wait_print_jobs(jobs, 1, timeout=30)
    assert no_new_job(jobs, 1)
    assert job_is_landscape(job) and job_page_count(job) == 1
    pw, ph, _, _, ox, oy = page_of(rig, 'landscape')
    left, top, width, height = expected_placement('Full', 1280, 800, 1, pw, ph, True)
    page = render_job(job, tmp_path)[0]
    assert page.size[0] > page.size[1]
    s = width / 1280
    assert abs(height - 800 * s) < 1.5
    # Screen pixels of one colour all around land on the page in that colour.
    checked = 0
    for y in range(10, 800, 23):
        for x in range(10, 1280, 29):
            c = screen.pixel(x, y)
            if any(screen.pixel(x + dx, y + dy) != c for dx in (-2, 0, 2) for dy in (-2, 0, 2)):
                continue
            got = page.pixel(ox + left + int((x + 0.5) * s), oy + top + int((y + 0.5) * s))
            assert max(abs(a - b) for a, b in zip(got, c)) <= 12, ((x, y), c, got)
            checked += 1
    assert checked > 500
    # The page around the picture stays white; the picture's corners are on it.
    assert page.pixel(ox + left - 4, oy + top + height // 2) == (255, 255, 255)
    assert page.pixel(ox + left + width + 3, oy + top + height // 2) == (255, 255, 255)
    assert page.pixel(ox + left + width // 2, oy + top + height + 3) == (255, 255, 255)
    assert_dated_header(job)


def notes_dialog(rig):
    assert rig.probe('find-title', NOTES_TITLE, '15000')[0] == 0
    return NOTES_TITLE


def test_notes_typed_for_ctrl_n_go_below_the_picture_and_on_to_a_second_page(rig, jobs, tmp_path):
    status = open_picture(rig, tmp_path, 300, 400, PrintStyle='Full', PrintDate='1', PrintNotes='0',
                          AutoOrient='Off')
    # A cancelled prompt prints nothing.
    rig.focus_x_window(rig.main_rect())
    rig.key('ctrl+n')
    assert rig.probe('press-button', notes_dialog(rig), 'Cancel')[0] == 0
    wait_until(lambda: not visible_title(rig, NOTES_TITLE), 10, what='the notes dialog to close')
    assert no_new_job(jobs, 0, 1.0)

    notes = [f'Note number {i}' for i in range(1, 7)]
    rig.focus_x_window(rig.main_rect())
    rig.key('ctrl+n')
    title = notes_dialog(rig)
    assert rig.probe('dlg-text', title, str(IDS['IDC_GETNOTES_MEMO']), '\r\n'.join(notes))[0] == 0
    assert rig.probe('press-button', title, 'OK')[0] == 0
    job, = wait_print_jobs(jobs, 1)
    assert job_page_count(job) == 2
    pw, ph, _, _, ox, oy = page_of(rig, 'portrait')
    left, top, width, height = expected_placement('Full', 300, 400, 1, pw, ph, False)
    by_page = {}
    for (page, y), v in text_lines(job_chars(job)).items():
        by_page.setdefault(page, []).append((y, v[0][0], ''.join(c for _, c in v).replace(' ', '')))
    printed = [t for p in sorted(by_page) for _, _, t in sorted(by_page[p]) if t.startswith('Notenumber')]
    assert printed == [n.replace(' ', '') for n in notes]
    first = [(y, x) for y, x, t in by_page[0] if t.startswith('Notenumber')]
    second = [(y, x) for y, x, t in by_page[1]]
    assert first and second, by_page
    # Under the picture, at its left edge (or at 225 when that lies further right than 700).
    note_x = 225 if left > 700 else left
    assert all(y > oy + top + height and abs(x - (ox + note_x)) <= 6 for y, x in first), (first, left)
    # Past nine tenths of the page the notes go on near the top of the next one.
    assert oy + 125 < min(y for y, _ in second) < oy + 125 + 70
    assert_dated_header(job)
    wait_until(lambda: rig.status_text() == status, 10, what='the image status after printing')


def preview_rect(rig, name):
    code, out = rig.probe('child-rect', PREVIEW, str(IDS[name]))
    assert code == 0, name
    return tuple(int(v) for v in out.split())


def preview_texts(rig):
    _, out = rig.probe('child-texts', PREVIEW_TITLE)
    return {int(p[0]): p[2] for p in (line.split('\t') for line in out.splitlines()) if len(p) >= 3}


def zoom_text(rig):
    return preview_texts(rig).get(IDS['IDC_PREVIEW_ZOOM'])


def open_preview(rig):
    rig.command('CM_PRINTPREVIEW')
    assert rig.probe('find-title', PREVIEW_TITLE, '15000')[0] == 0
    wait_until(lambda: zoom_text(rig), 10, what='the zoom box')


def test_preview_print_at_250_percent_lands_where_the_preview_put_it(rig, jobs, tmp_path, shots):
    open_picture(rig, tmp_path, 400, 300, PrintStyle='Full', PrintDate='0', PrintNotes='0', AutoOrient='Off')
    open_preview(rig)
    pw, ph, dpi, _, ox, oy = page_of(rig, 'portrait')
    # The opening scale fits the picture into the page less its margins.
    assert zoom_text(rig) == f'{round(min((ph - 250) / 300, (pw - 250) / 400) * 100)}%'
    ratio = round(4 * dpi / 300)
    l, t, r, b = preview_rect(rig, 'IDC_PREVIEW_PAGE')
    assert (r - l, b - t) == (round(pw / ratio), round(ph / ratio))
    rig.stable_screenshot(shots / 'preview-opened.png')

    # The zoom box has the keyboard with its text selected: typing replaces it.
    rig.focus_x_window(next(w['rect'] for w in rig.windows() if w['cls'] == PREVIEW))
    rig.key('2', '5', '0', 'Return')
    wait_until(lambda: zoom_text(rig) == '250%', 5, what='250% in the zoom box')
    # Clicks on the page step by a tenth; the keypad keys move the track bar by two.
    cx, cy = (l + r) // 2, (t + b) // 2
    rig.xdotool('mousemove', cx, cy, 'click', 1)
    wait_until(lambda: zoom_text(rig) == '260%', 5, what='a click to zoom in')
    rig.xdotool('click', 3)
    wait_until(lambda: zoom_text(rig) == '250%', 5, what='a right click to zoom out')
    rig.key('KP_Add')
    wait_until(lambda: zoom_text(rig) == '270%', 5, what='the keypad plus key')
    rig.key('KP_Subtract')
    wait_until(lambda: zoom_text(rig) == '250%', 5, what='the keypad minus key')
    page_shot = rig.stable_screenshot(shots / 'preview-250.png')

    # Where the preview shows the picture: 250% of 400 x 300 printer pixels, in preview pixels.
    margin = round(125 / ratio)
    box_w, box_h = round(400 * 2.5 / ratio), round(300 * 2.5 / ratio)
    box_left = max((round(pw / ratio) - box_w) // 2, margin)
    assert page_shot.pixel(l + box_left + box_w // 4, t + margin + box_h // 4) == (255, 0, 0)
    assert page_shot.pixel(l + box_left + box_w * 3 // 4, t + margin + box_h * 3 // 4) == (255, 255, 0)
    assert page_shot.pixel(l + box_left - 3, t + margin + 3) == (255, 255, 255)

    assert rig.probe('press-button', PREVIEW_TITLE, 'Print')[0] == 0
    job, = wait_print_jobs(jobs, 1)
    rig.probe('gone', PREVIEW, '10000')
    want = (box_left * ratio, margin * ratio, 1000, 750)
    assert_picture_at(render_job(job, tmp_path)[0], want, (ox, oy), 'preview print')
    assert CAPTION.split()[0] not in job_text(job)  # no header without the date
    # The main window is usable again: it takes commands once more.
    rig.command('CM_ZMI02')
    wait_until(lambda: rig.status_text().endswith('Viewed at: 2:1'), 10, what='the main window to respond')


def test_setup_from_the_preview_turns_the_page_and_its_print_asks_for_notes(rig, jobs, tmp_path, shots):
    status = open_picture(rig, tmp_path, 400, 300, PrintStyle='Full', PrintDate='1', PrintNotes='1',
                          AutoOrient='Off')
    open_preview(rig)
    scale = float(zoom_text(rig).rstrip('%')) / 100
    # The capture hot keys are off while the preview is open.
    rig.key('Print')
    assert rig.probe('press-button', PREVIEW_TITLE, 'Printer Setup')[0] == 0
    assert rig.probe('find-title', 'Print Setup', '15000')[0] == 0
    assert rig.probe('press-button', 'Print Setup', 'L&andscape')[0] == 0
    assert rig.probe('press-button', 'Print Setup', 'OK')[0] == 0
    pw, ph, dpi, _, ox, oy = page_of(rig, 'landscape')
    ratio = round(5 * dpi / 300)
    # The page follows the new orientation; the scale stays.
    wait_until(lambda: (lambda r: (r[2] - r[0], r[3] - r[1]))(preview_rect(rig, 'IDC_PREVIEW_PAGE')) ==
               (round(pw / ratio), round(ph / ratio)), 10, what='a landscape page in the preview')
    assert zoom_text(rig) == f'{round(scale * 100)}%'
    rig.stable_screenshot(shots / 'preview-landscape.png')

    rig.focus_x_window(next(w['rect'] for w in rig.windows() if w['cls'] == PREVIEW))
    rig.key('ctrl+p')
    title = notes_dialog(rig)
    assert rig.probe('dlg-text', title, str(IDS['IDC_GETNOTES_MEMO']), 'From the preview')[0] == 0
    assert rig.probe('press-button', title, 'OK')[0] == 0
    job, = wait_print_jobs(jobs, 1)
    rig.probe('gone', PREVIEW, '10000')
    assert job_is_landscape(job)
    margin = round(125 / ratio)
    box_w = round(400 * scale / ratio)
    box_left = max((round(pw / ratio) - box_w - margin) // 2, margin)
    want = (box_left * ratio, margin * ratio, min(round(400 * scale), pw - box_left * ratio),
            min(round(300 * scale), ph - margin * ratio))
    assert_picture_at(render_job(job, tmp_path)[0], want, (ox, oy), 'landscape preview print')
    rows = header_rows(job)
    assert any('Fromthepreview' in r.replace(' ', '') for r in rows), rows
    assert_dated_header(job)
    # The PrintScreen pressed during the preview took nothing.
    assert rig.status_text() == status


def test_console_text_copy_prints_with_its_line_breaks_and_tab_columns(rig, jobs, tmp_path):
    rig.reg_set('DosPrint', 'Yes')
    rig.start_griv(settle=True)
    # A copy made while an ordinary window is in front is left alone.
    rig.open_test_window(100, 80, 300, 200, 'Editor')
    assert rig.wine(CLIP, 'set-text', 'not from a console').returncode == 0
    assert no_new_job(jobs, 0)

    rig.open_test_window(150, 120, 400, 260, 'Console', cls='ConsoleWindowClass')
    wait_until(lambda: rig.probe('foreground')[1].startswith('ConsoleWindowClass'), 10, what='the console in front')
    text = 'alpha\tbeta\r\na\tb\tc\r\nx\ty\r\nlast line'
    assert rig.wine(CLIP, 'set-text', text).returncode == 0
    job, = wait_print_jobs(jobs, 1)
    lines = [v for (page, _), v in text_lines(job_chars(job)).items() if page == 0]
    assert [''.join(c for _, c in v).replace(' ', '') for v in lines] == ['alphabeta', 'abc', 'xy', 'lastline']
    # Tab stops lie a fixed step apart from the left edge of the printable area.
    _, _, _, _, ox, oy = page_of(rig, 'portrait')
    a, b, c = (x for x, _ in lines[1])
    beta = lines[0][5][0]
    step = b - a
    assert abs(a - ox) <= 6 and step > 20
    assert abs((c - b) - step) <= 6 and abs(beta - b) <= 6 and abs(lines[2][1][0] - b) <= 6
    # Lines one below the other, the first at the top of the printable area.
    ys = [y for (page, y) in text_lines(job_chars(job)) if page == 0]
    assert ys[0] - oy < 80 and all(0 < q - p < 120 for p, q in zip(ys, ys[1:]))
    assert not rig.main_visible()
    # The hot keys are on again: PrintScreen captures once the console is gone (and nothing else prints).
    rig.probe('post', 'ConsoleWindowClass', '0x10')
    rig.probe('gone', 'ConsoleWindowClass', '10000')
    wait_until(lambda: not rig.probe('foreground')[1].startswith('ConsoleWindowClass'), 10, what='another window')
    rig.key('Print')
    wait_until(lambda: rig.status_text().endswith('Full Screen capture'), 15, what='a hot-key capture')
    assert no_new_job(jobs, 1, 1.0)


def test_without_a_printer_print_commands_are_disabled_and_auto_print_is_silent(rig, jobs, tmp_path):
    with no_printer(rig):
        rig.reg_set('AutoPrint', 'On')
        open_picture(rig, tmp_path, 120, 90)
        for command in ('CM_PRINT', 'CM_PRINTPREVIEW', 'CM_PRINTSETUP'):
            assert not rig.enabled(command), command
        assert rig.enabled('CM_COPY')  # the picture is there
        # A capture with Auto Print on: nothing printed, nothing said.
        assert rig.second_start('\\F').returncode == 0
        wait_until(lambda: rig.status_text().endswith('Full Screen capture'), 15, what='the capture')
        time.sleep(1.0)
        assert not visible_title(rig, DIALOG_CAPTION)
        # Ctrl+N says why it cannot print, and no notes are asked for.
        rig.focus_x_window(rig.main_rect())
        rig.key('ctrl+n')
        assert 'No printer is installed' in message_box(rig, DIALOG_CAPTION)
        assert not visible_title(rig, NOTES_TITLE)
        close_message_box(rig, DIALOG_CAPTION)
    assert complete_jobs(jobs) == []
    # The printer is back while GRIV runs: it counts once the system says its settings changed.
    rig.probe('send', MAIN_CLASS, '0x1A')  # WM_SETTINGCHANGE
    assert rig.enabled('CM_PRINTSETUP') and rig.enabled('CM_PRINT')


def test_a_printer_that_goes_away_gives_the_failure_message(rig, jobs, tmp_path):
    status = open_picture(rig, tmp_path, 120, 90, PrintStyle='Full', AutoOrient='On')
    assert rig.enabled('CM_PRINT')
    remove_printer(rig)
    try:
        rig.command('CM_PRINT')
        assert PRINT_FAILED in message_box(rig, DIALOG_CAPTION)
        close_message_box(rig, DIALOG_CAPTION)
        wait_until(lambda: rig.status_text() == status, 10, what='the image status back')
        # The preview cannot start either: the general error report says why.
        rig.command('CM_PRINTPREVIEW')
        assert 'print preview' in message_box(rig, 'Grivanta')
        close_message_box(rig, 'Grivanta')
        assert not any(w['cls'] == PREVIEW for w in rig.windows())
    finally:
        install_printer(rig)
    # The hot keys came back on after both failures.
    rig.key('Print')
    wait_until(lambda: rig.status_text().endswith('Full Screen capture'), 15, what='a hot-key capture')


class TestPreviewAtHighDpi:
    """The preview in a prefix at 144 DPI: its tool bar grows with the DPI, the page
    picture keeps the size the printer's resolution gives it."""

    @pytest.fixture(scope='class')
    def rig(self):
        from test_monitors import HighDpiRig
        r = HighDpiRig()
        try:
            yield r.start()
        finally:
            r.stop()

    def test_the_tool_bar_scales_and_the_page_keeps_its_size(self, rig, tmp_path, shots):
        install_printer(rig)
        try:
            rig.reg_delete_key()
            open_picture(rig, tmp_path, 400, 300, PrintStyle='Best', AutoOrient='Off')
            open_preview(rig)
            rig.stable_screenshot(shots / 'preview-144dpi.png')
            pw, ph, dpi, _, _, _ = page_of(rig, 'portrait')
            l, t, r, b = preview_rect(rig, 'IDC_PREVIEW_PAGE')
            assert (r - l, b - t) == (round(pw / round(4 * dpi / 300)), round(ph / round(4 * dpi / 300)))
            pl, pt, pr, pb = preview_rect(rig, 'IDC_PREVIEW_PANEL')
            assert pb - pt == 48  # 32 at 96 DPI
            zl, zt, zr, zb = preview_rect(rig, 'IDC_PREVIEW_ZOOM')
            assert abs(zl - pl - 165) <= 4 and 70 <= zr - zl <= 77, (zl - pl, zr - zl)
            # The page sits 32 x 34 (at 96 DPI) into the scroll box.
            sl, st, _, _ = preview_rect(rig, 'IDC_PREVIEW_SCROLLBOX')
            assert (l - sl, t - st) == (48, 51)
            rig.probe('post', PREVIEW, '0x10')
            rig.probe('gone', PREVIEW, '10000')
        finally:
            rig.probe('post', MAIN_CLASS, '0x10')
            rig.probe('gone', MAIN_CLASS, '10000')
            rig.kill_all()
            remove_printer(rig)
            rig.reg_delete_key()
