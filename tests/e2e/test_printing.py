"""Printing on paper: GRIV's printing code (through griv-print-sample) prints to
the test printer, and each job is rendered with ghostscript and read back: the
picture must land in its rectangle (within 2 printer pixels) with its colours,
the header and notes must be there, and console text must keep its line breaks
and tab columns."""
import re
import subprocess

import pytest

from rig import (PRINT_SAMPLE, install_printer, job_chars, job_is_landscape, job_page_count, job_text,
                 no_printer, remove_printer, render_job, text_lines, wait_print_jobs, coloured_span, complete_jobs)

RED, GREEN, BLUE, YELLOW = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)
CAPTION = 'Captured with Grivanta - test'


@pytest.fixture(scope='module')
def printer(rig):
    if not PRINT_SAMPLE.exists():
        pytest.fail('build griv-print-sample.exe first (scripts/build)')
    jobs = install_printer(rig)
    yield jobs
    # Other tests expect a prefix without printers.
    remove_printer(rig)


@pytest.fixture
def jobs(printer):
    for f in printer.glob('job.*'):
        f.unlink()
    return printer


def sample(rig, *args):
    r = rig.wine(PRINT_SAMPLE, *args, timeout=60)
    info = {}
    for line in r.stdout.splitlines():
        key, _, rest = line.rstrip('\r').partition(' ')
        info[key] = rest
    assert 'result' in info, (r.returncode, r.stdout, r.stderr)
    return r.returncode, info


def nearest(x):
    return round(x)  # halves to the even neighbour


def expected_placement(style, w, h, zoom, pw, ph, landscape):
    if style == 'Zoom':
        width, height = nearest(w * zoom), nearest(h * zoom)
        left = max(125, int((pw - width - (125 if landscape else 0)) / 2))
    else:
        f = 0.75 if style == 'Best' else 1.0
        box_w, box_h = nearest((pw - 250) * f), nearest((ph - 250) * f)
        s = min(box_w / w, box_h / h)
        width, height, left = nearest(w * s), nearest(h * s), (pw - box_w) // 2
    top = 125
    width = min(width, pw - left)
    height = min(height, ph - top)
    return left, top, width, height


def ints(text):
    return tuple(int(v) for v in text.split())


def assert_picture_at(page_px, rect, offset, what=''):
    """The four-colour pattern fills rect (printable-area pixels) on the rendered sheet."""
    left, top, width, height = rect
    ox, oy = offset
    x0, y0 = left + ox, top + oy
    # Middle row and a column through the left half give the edges.
    row = coloured_span(page_px, y0 + height // 4)
    col = coloured_span(page_px, x0 + width // 4, vertical=True)
    assert row and col, f'no picture found {what}'
    assert abs(row[0] - x0) <= 2 and abs(row[1] - (x0 + width - 1)) <= 2, (what, row, rect)
    assert abs(col[0] - y0) <= 2 and abs(col[1] - (y0 + height - 1)) <= 2, (what, col, rect)
    quarter = lambda fx, fy: page_px.pixel(x0 + int(width * fx), y0 + int(height * fy))
    assert (quarter(0.25, 0.25), quarter(0.75, 0.25), quarter(0.25, 0.75), quarter(0.75, 0.75)) == \
        (RED, GREEN, BLUE, YELLOW), what


def test_each_style_puts_the_picture_in_its_rectangle_with_header_and_notes(rig, jobs, tmp_path):
    cases = [('Full', 1, 400, 300), ('Best', 1, 400, 300), ('Zoom', 2, 333, 211), ('Fit', 1, 500, 240)]
    infos = []
    for style, zoom, w, h in cases:
        code, info = sample(rig, 'image', style, zoom, w, h, 'portrait', '1', '0', CAPTION, 'First note',
                            'Second note')
        assert code == 0 and info['result'] == '1', info
        infos.append(info)
    printed = wait_print_jobs(jobs, len(cases))
    for (style, zoom, w, h), info, job in zip(cases, infos, printed):
        pw, ph, dpi_x, dpi_y, ox, oy, landscape = ints(info['page'])
        assert (landscape, job_is_landscape(job)) == (0, False)
        want = expected_placement(style, w, h, zoom, pw, ph, False)
        assert ints(info['placement']) == want, style
        page = render_job(job, tmp_path)
        assert len(page) == 1
        assert_picture_at(page[0], want, (ox, oy), style)

        text = job_text(job)
        assert re.search(re.escape(info['date']) + r'\s+' + re.escape(info['time']) + r'\s+' + re.escape(CAPTION),
                         text), text
        lines = text_lines(job_chars(job))
        rows = {''.join(c for _, c in v).replace(' ', ''): (y, v[0][0]) for (_, y), v in lines.items()}
        left, top, width, height = want
        # Header above the picture; notes below it, at its left edge or at 225.
        header_y = next(y for t, (y, x) in rows.items() if CAPTION.replace(' ', '') in t.replace(' ', ''))
        assert top + oy - 60 < header_y < top + oy
        note_x = 225 if left > 700 else left
        for note in ('Firstnote', 'Secondnote'):
            y, x = rows[note]
            assert y > top + height + oy, (style, note)
            assert abs(x - (note_x + ox)) <= 6, (style, note, x)
        assert rows['Firstnote'][0] < rows['Secondnote'][0]


def test_auto_orientation_turns_the_page_for_wide_pictures(rig, jobs, tmp_path):
    code, wide = sample(rig, 'image', 'Zoom', 1, 600, 300, 'auto', '0', '0', CAPTION)
    assert code == 0
    code, tall = sample(rig, 'image', 'Zoom', 1, 300, 600, 'auto', '0', '0', CAPTION)
    assert code == 0
    first, second = wait_print_jobs(jobs, 2)
    assert job_is_landscape(first) and not job_is_landscape(second)

    pw, ph, _, _, ox, oy, landscape = ints(wide['page'])
    assert landscape == 1 and pw > ph
    want = expected_placement('Zoom', 600, 300, 1, pw, ph, True)
    assert want[0] == (pw - 600 - 125) // 2  # half a margin left of the centre
    page = render_job(first, tmp_path)[0]
    assert page.width > page.height
    assert_picture_at(page, want, (ox, oy), 'landscape')
    # Without a date the caption stands alone, at the picture's left edge.
    text = job_text(first)
    assert text.replace(' ', '') == CAPTION.replace(' ', ''), text
    x = min(x for _, x, _, _ in job_chars(first))
    assert abs(x - (want[0] + ox)) <= 6

    pw, ph, _, _, ox, oy, landscape = ints(tall['page'])
    assert landscape == 0 and ph > pw
    assert_picture_at(render_job(second, tmp_path)[0], expected_placement('Zoom', 300, 600, 1, pw, ph, False),
                      (ox, oy), 'portrait again')


def test_notes_continue_on_a_new_page_and_eject_adds_a_blank_one(rig, jobs, tmp_path):
    notes = [f'Note number {i}' for i in range(1, 6)]
    code, info = sample(rig, 'image', 'Full', 1, 300, 400, 'portrait', '1', '1', CAPTION, *notes)
    assert code == 0
    job, = wait_print_jobs(jobs, 1)
    pw, ph, _, _, ox, oy, _ = ints(info['page'])
    assert job_page_count(job) == 3
    lines = text_lines(job_chars(job))
    by_page = {}
    for (page, y), v in lines.items():
        by_page.setdefault(page, []).append((y, ''.join(c for _, c in v).replace(' ', '')))
    on_first = [t for _, t in by_page[0] if t.startswith('Notenumber')]
    on_second = [t for _, t in sorted(by_page[1])]
    assert on_first and on_second and on_first + on_second == [n.replace(' ', '') for n in notes]
    # The notes' page continues near its top, at y = 125 of the printable area.
    assert 125 + oy < min(y for y, _ in by_page[1]) < 125 + oy + 70
    limit = ph * 9 // 10
    assert all(y - oy < limit + 70 for y, t in by_page[0])
    pages = render_job(job, tmp_path)
    assert len(pages) == 3 and coloured_span(pages[2], pages[2].height // 2) is None


def test_preview_print_uses_the_preview_placement_and_no_header_without_date(rig, jobs, tmp_path):
    code, info = sample(rig, 'preview', 400, 300, '2.5', '0', CAPTION)
    assert code == 0
    job, = wait_print_jobs(jobs, 1)
    pw, ph, dpi, _, ox, oy, _ = ints(info['page'])
    ratio = round(4 * dpi / 300)
    box_w = round(400 * 2.5 / ratio)
    margin = round(125 / ratio)
    box_left = max((round(pw / ratio) - box_w) // 2, margin)
    want = (box_left * ratio, margin * ratio, 1000, 750)
    assert ints(info['placement']) == want
    assert_picture_at(render_job(job, tmp_path)[0], want, (ox, oy), 'preview')
    assert CAPTION not in job_text(job)


def test_console_text_keeps_line_breaks_tab_columns_and_form_feeds(rig, jobs, tmp_path):
    long_line = '0123456789' * 15
    src = tmp_path / 'console.txt'
    src.write_bytes(('alpha\tbeta\r\na\tb\tc\r\nlone\rCR\r\n' + long_line + '\r\n\fsecond page\r\n').encode())
    code, info = sample(rig, 'text', rig.windows_path(src))
    assert code == 0, info
    job, = wait_print_jobs(jobs, 1)
    pw, ph, _, _, ox, oy, _ = ints(info['page'])
    avg, height = ints(info['font'])
    tab = 8 * avg
    lines = list(text_lines(job_chars(job)).items())
    page0 = [(y, v) for (p, y), v in lines if p == 0]
    page1 = [(y, v) for (p, y), v in lines if p == 1]
    text = lambda v: ''.join(c for _, c in v).replace(' ', '')

    assert [text(v) for _, v in page0][:3] == ['alphabeta', 'abc', 'loneCR']
    # Tab stops 8 average characters apart, from the printable area's left edge.
    xs = [x for x, _ in page0[1][1]]
    assert [round((x - ox) / tab, 1) for x in xs] == [0, 1, 2], (xs, tab)
    assert abs(page0[0][1][5][0] - ox - tab) <= 6  # "beta"
    # A lone CR goes on along the same line.
    assert page0[2][1][4][0] > page0[2][1][3][0]
    # Lines one line height apart (the font's height plus 2).
    ys = [y for y, _ in page0]
    assert all(abs((b - a) - (height + 2)) <= 6 for a, b in zip(ys, ys[1:])), ys
    # The long line wraps mid-number at the right edge and goes on at the left.
    wrapped = page0[3:]
    assert len(wrapped) >= 2 and ''.join(text(v) for _, v in wrapped) == long_line
    for _, v in wrapped:
        assert v[0][0] == pytest.approx(ox, abs=6)
    for _, v in wrapped[:-1]:
        assert pw - 3 * avg < v[-1][0] - ox < pw
    # The form feed starts the next page at the top left corner.
    assert [text(v) for _, v in page1] == ['secondpage']
    assert page1[0][1][0][0] == pytest.approx(ox, abs=6) and page1[0][0] - oy < height + 10


def test_a_missing_printer_gives_a_failure_not_a_crash(rig, jobs, tmp_path):
    code, info = sample(rig, '--printer', 'GRIV Printer That Went Away', 'image', 'Full', 1, 40, 30, 'auto', '1',
                        '0', CAPTION)
    assert (code, info['result']) == (1, '0')
    src = tmp_path / 't.txt'
    src.write_text('hello')
    with no_printer(rig):
        code, info = sample(rig, 'image', 'Full', 1, 40, 30, 'portrait', '1', '0', CAPTION)
        assert (code, info['result']) == (1, '0')
        code, info = sample(rig, 'text', rig.windows_path(src))
        assert (code, info.get('error')) == (1, 'Error printing text.')
    # Back again: printing works once more.
    code, info = sample(rig, 'text', rig.windows_path(src))
    assert code == 0
    assert len(wait_print_jobs(jobs, 1)) == 1 and len(complete_jobs(jobs)) == 1


def test_a_failed_job_is_aborted_and_a_printer_gone_midway_fails(rig, jobs):
    code, info = sample(rig, 'abort')
    assert code == 0, info
    code, info = sample(rig, 'image', 'Full', 1, 40, 30, 'portrait', '0', '0', CAPTION)
    assert code == 0
    # Only the job that ended reached the paper; the aborted one never did.
    job, = wait_print_jobs(jobs, 1)
    assert b'%%Title: GRIV Print Image' in job.read_bytes()[:2048]
    assert len(list(jobs.glob('job.*'))) == 1
    # The printer deleted after its settings were read: printing fails cleanly.
    code, info = sample(rig, 'vanish')
    try:
        assert (info['deleted'], info['printed'], code) == ('1', '0', 0), info
    finally:
        install_printer(rig)


def test_the_setup_dialog_choice_is_kept_for_the_next_job(rig, jobs, tmp_path):
    out = tmp_path / 'setup.out'
    with open(out, 'w') as fh:
        proc = subprocess.Popen(['wine', str(PRINT_SAMPLE), 'setup'], env=rig.env, stdout=fh,
                                stderr=subprocess.DEVNULL)
    try:
        assert rig.probe('find-title', 'Print Setup', '15000')[0] == 0
        assert rig.probe('press-button', 'Print Setup', 'L&andscape')[0] == 0
        assert rig.probe('press-button', 'Print Setup', 'OK')[0] == 0
        assert proc.wait(30) == 0
    finally:
        if proc.poll() is None:
            proc.kill()
    lines = dict(line.split(' ', 1) for line in out.read_text().splitlines() if ' ' in line)
    assert lines['dialog'] == '1' and lines['landscape'] == '0 1', lines
    job, = wait_print_jobs(jobs, 1)
    assert job_is_landscape(job)
    pw, ph, _, _, ox, oy, landscape = ints(lines['page'])
    assert_picture_at(render_job(job, tmp_path)[0], expected_placement('Zoom', 600, 300, 1, pw, ph, True), (ox, oy),
                      'after the dialog')
