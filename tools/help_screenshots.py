#!/usr/bin/env python3
"""Takes the manual's screenshots (docs/help/images) of the real program under
Wine on a private Xvfb display, with the end-to-end test rig.

    scripts/build win && tools/help_screenshots.py [output folder]

Each picture is the window alone, cut out of the screen and reduced to a
palette of 128 colours so that the help file stays small."""
import shutil
import subprocess
import sys
import time
from pathlib import Path

TOP = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(TOP / 'tests' / 'e2e'))
from rig import BIN, IDS, MAIN_CLASS, Rig, install_printer, wait_until  # noqa: E402

OPTIONS = 'Option Settings'


def cut(rig, screen, rect, out, scale=100):
    left, top, right, bottom = rect
    subprocess.run(['convert', str(screen), '-crop', f'{right - left}x{bottom - top}+{left}+{top}', '+repage',
                    '-resize', f'{scale}%', '-colors', '128', f'PNG8:{out}'], check=True, timeout=60)
    print(f'{out.name}: {right - left} x {bottom - top}, {out.stat().st_size} bytes')


def window_rect(rig, title=None, cls=None):
    for w in rig.windows():
        if w['visible'] and (title is None or w['title'] == title) and (cls is None or w['cls'] == cls):
            return w['rect']
    raise SystemExit(f'no window {title or cls}')


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else TOP / 'docs' / 'help' / 'images'
    out.mkdir(parents=True, exist_ok=True)
    work = TOP / 'build' / 'help-shots'
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    rig = Rig(TOP / 'build' / 'wine-shots').start()
    try:
        rig.reg_delete_key()
        # An editor that exists, so the Other Options show one.
        editor = rig.unix_path('C:\\Program Files\\Paint Tool\\painttool.exe')
        editor.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy(BIN / 'griv-record.exe', editor)
        rig.reg_set('ImageEditor', 'C:\\Program Files\\Paint Tool\\painttool.exe')
        install_printer(rig)  # for the print preview
        rig.use_test_mail_client(work / 'mapi.log')  # for the send window
        rig.start_griv(settle=True)

        # The main window with an area of a window captured.
        rig.open_test_window(60, 60, 420, 260, 'Pattern')
        rig.command('CM_CAPAREANOW')
        assert rig.probe('wait', 'TfrmCapArea', 'visible', '10000')[0] == 0
        time.sleep(0.5)
        rig.xdotool('mousemove', 80, 90)
        rig.xdotool('mousedown', 1)
        for i in range(1, 6):
            rig.xdotool('mousemove', 80 + 340 * i // 5, 90 + 180 * i // 5)
        # The selection while the button is down: dimmed around it, its size beside the pointer.
        rig.stable_screenshot(work / 'area.png')
        cut(rig, work / 'area.png', (20, 30, 680, 460), out / 'area_selection.png')
        rig.xdotool('mouseup', 1)
        wait_until(lambda: rig.status_text().endswith('Selected area captured'), 10, what='the capture')
        rig.probe('post', 'GrivTestWindow', '0x10')
        time.sleep(1.0)
        rig.stable_screenshot(work / 'main.png')
        cut(rig, work / 'main.png', rig.main_rect(), out / 'main.png')

        # The same capture marked up: a box, an arrow, numbered steps, text, a highlight and a redaction.
        view = rig.child_rect('IDC_SCROLLBOX')
        rig.mark(view, 'h', (20, 34), (180, 52))
        rig.mark(view, 'r', (14, 14), (150, 80))
        rig.mark(view, 'a', (300, 40), (190, 60))
        rig.mark(view, 'n', (240, 110))
        rig.mark(view, 'n', (300, 150))
        rig.mark(view, 'd', (30, 110), (200, 150))
        rig.mark(view, 't', (220, 10), text='Look here')
        rig.key('Escape')
        rig.xdotool('mousemove', 700, 500)
        time.sleep(0.5)
        rig.stable_screenshot(work / 'markup.png')
        cut(rig, work / 'markup.png', rig.main_rect(), out / 'markup.png')

        # The four tabs of the options.
        rig.command('CM_OPTIONS')
        assert rig.probe('find-title', OPTIONS, '10000')[0] == 0
        for tab, name in enumerate(['capture', 'print', 'save', 'other']):
            rig.probe('select-tab', OPTIONS, str(tab))
            time.sleep(0.3)
            rig.stable_screenshot(work / f'{name}.png')
            cut(rig, work / f'{name}.png', window_rect(rig, OPTIONS), out / f'options_{name}.png')

        # The hot-key editor over them.
        rig.probe('select-tab', OPTIONS, '0')
        rig.probe('dlg-click', OPTIONS, str(IDS['IDC_SET_CHGACTIVE']))
        assert rig.probe('find-title', 'Active Screen Capture Hot Key', '10000')[0] == 0
        rig.stable_screenshot(work / 'hotkey.png')
        cut(rig, work / 'hotkey.png', window_rect(rig, 'Active Screen Capture Hot Key'), out / 'hotkey_editor.png')
        rig.probe('dlg-click', 'Active Screen Capture Hot Key', '2')
        rig.probe('dlg-click', OPTIONS, '2')
        wait_until(lambda: not any(w['title'] == OPTIONS and w['visible'] for w in rig.windows()), 10,
                   what='the options to close')

        # The print preview, a little smaller than the screen it fills.
        rig.command('CM_PRINTPREVIEW')
        rect = wait_until(lambda: next((w['rect'] for w in rig.windows() if w['cls'] == 'TPreviewForm' and w['visible']),
                                       None), 15, what='the print preview')
        time.sleep(1.0)
        rig.stable_screenshot(work / 'preview.png')
        cut(rig, work / 'preview.png', (max(0, rect[0]), max(0, rect[1]), min(1280, rect[2]), min(780, rect[3])),
            out / 'print_preview.png', scale=60)
        rig.probe('post', 'TPreviewForm', '0x10')
        rig.probe('gone', 'TPreviewForm', '10000')

        # The send window.
        send = 'GRIV Screen Capture -- Send Email'
        rig.command('CM_SENDMAIL')
        assert rig.probe('find-title', send, '15000')[0] == 0
        time.sleep(0.5)
        rig.stable_screenshot(work / 'mail.png')
        cut(rig, work / 'mail.png', window_rect(rig, send), out / 'send_mail.png')
        rig.probe('dlg-click', send, '2')
        wait_until(lambda: not any(w['title'] == send and w['visible'] for w in rig.windows()), 10,
                   what='the send window to close')

        # The tray menu.
        rig.probe('post', MAIN_CLASS, '0x0112', '0xF020')  # back to the tray
        time.sleep(0.5)
        rig.xdotool('mousemove', *rig.TRAY_ICON, 'click', 3)
        rect = wait_until(lambda: next((w['rect'] for w in rig.windows() if w['cls'] == '#32768' and w['visible']),
                                       None), 5, what='the tray menu')
        rig.xdotool('mousemove', rect[0] + 40, rect[1] + rig.TRAY_ROWS['Auto Save'])
        time.sleep(0.5)
        rig.stable_screenshot(work / 'tray.png')
        cut(rig, work / 'tray.png', rect, out / 'tray_menu.png')
        rig.key('Escape')
        rig.probe('post', MAIN_CLASS, '0x10')
        rig.probe('gone', MAIN_CLASS, '10000')
    finally:
        rig.stop()


if __name__ == '__main__':
    main()
