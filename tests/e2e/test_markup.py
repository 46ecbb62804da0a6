"""Marking up a capture with the mouse and the tool keys, at 1:1 and 2:1, and
what the saved file and the clipboard then hold."""
from rig import Pixels, wait_until
from test_capture import saved
from test_clipboard import clip
from test_edit import captured, keys_to_main  # noqa: F401 (fixture)

RED = (255, 0, 0)
BLACK = (0, 0, 0)
BLUE = (0, 0, 255)


def numbered_save(rig, folder, count):
    keys_to_main(rig, 'ctrl+F2')
    return Pixels(saved(folder, count)[count - 1])


def box(x0, y0, x1, y1):
    return [(x, y) for y in range(y0, y1) for x in range(x0, x1)]


def test_marks_drawn_at_1_1_and_2_1_land_in_the_saved_file_and_the_copy(captured, tmp_path, shots):
    rig, folder = captured
    assert rig.enabled('CM_MARKUPTOOLS')
    original = numbered_save(rig, folder, 1)
    view = rig.child_rect('IDC_SCROLLBOX')
    # At 1:1 a click on a view pixel is that pixel of the picture.
    rig.mark(view, 'r', (100, 100), (200, 160))
    rig.mark(view, 'a', (250, 200), (350, 200))
    rig.mark(view, 'd', (400, 100), (480, 160))
    rig.stable_screenshot(shots / 'one-to-one.png')
    marked = numbered_save(rig, folder, 2)
    for p in [(150, 100), (100, 130), (200, 130), (150, 160), (280, 200), (340, 200)]:
        assert marked.pixel(*p) == RED, p  # the cores of the strokes, exactly the colour
    assert marked.pixel(150, 130) == original.pixel(150, 130)  # an outline only
    redacted = box(400, 100, 481, 161)
    assert all(marked.pixel(*p) == BLACK for p in redacted)
    assert any(original.pixel(*p) != BLACK for p in redacted)

    # The copy at 1:1 carries the redaction.
    clip(rig, 'set-text', 'not the copy yet')
    rig.command('CM_COPY')
    copy = tmp_path / 'copy.bmp'
    wait_until(lambda: clip(rig, 'info').startswith('bitmap 1280 800'), 5, what='the copy')
    clip(rig, 'save-bitmap', rig.windows_path(copy))
    assert all(Pixels(copy).pixel(*p) == BLACK for p in redacted)

    # Undo takes back the redaction, then the arrow; the rectangle stays.
    keys_to_main(rig, 'ctrl+z', 'ctrl+z')
    undone = numbered_save(rig, folder, 3)
    assert undone.differing(original, (230, 180, 260, 70)) == []
    assert undone.differing(original, (390, 90, 100, 80)) == []
    assert undone.pixel(150, 100) == RED

    # At 2:1 view pixel v shows picture pixel v / 2.
    rig.command('CM_ZMI02')
    wait_until(lambda: rig.status_text().endswith('Viewed at: 2:1'), 5, what='the view at 2:1')
    rig.mark(view, 'r', (500, 300), (700, 400))  # picture 250..350 x 150..200
    rig.mark(view, 'd', (300, 500), (400, 580))  # picture 150..200 x 250..290
    rig.stable_screenshot(shots / 'two-to-one.png')
    zoomed = numbered_save(rig, folder, 4)
    assert zoomed.size == (1280, 800)
    for p in [(300, 150), (250, 175), (350, 175), (300, 200)]:
        assert zoomed.pixel(*p) == RED, p
    redacted = box(150, 250, 201, 291)
    assert all(zoomed.pixel(*p) == BLACK for p in redacted)
    assert any(original.pixel(*p) != BLACK for p in redacted)
    # Picked with Select and deleted with Delete; Delete with nothing picked clears the capture.
    keys_to_main(rig, 's')
    rig.xdotool('mousemove', view[0] + 600, view[1] + 300, 'click', 1)
    keys_to_main(rig, 'Delete')
    assert numbered_save(rig, folder, 5).differing(original, (240, 140, 120, 70)) == []
    keys_to_main(rig, 'Escape', 'Delete')
    wait_until(lambda: rig.status_text() == '', 5, what='the capture cleared')
    assert not rig.enabled('CM_MARKUPTOOLS')


def test_colour_width_and_pixelation_are_chosen_kept_and_used(captured):
    rig, folder = captured
    rig.command('CM_MARKWIDTH8')
    rig.command('CM_MARKPIXELATE')
    rig.command('CM_MARKCOLOUR')  # the system's colour chooser
    assert rig.probe('find-title', 'Color', '10000')[0] == 0
    for field, value in ((706, 0), (707, 0), (708, 255)):  # its Red, Green and Blue
        rig.probe('dlg-text', 'Color', str(field), str(value))
    rig.probe('dlg-click', 'Color', '1')
    wait_until(lambda: rig.reg_query('MarkColour') == '#0000FF', 5, what='the colour stored')
    assert rig.reg_query('MarkWidth') == '8' and rig.reg_query('PixelateRedactions') == 'On'
    original = numbered_save(rig, folder, 1)
    view = rig.child_rect('IDC_SCROLLBOX')
    rig.mark(view, 'l', (100, 300), (300, 300))
    rig.mark(view, 'd', (64, 64), (160, 128))  # 97 x 65 pixels from (64, 64)
    marked = numbered_save(rig, folder, 2)
    assert all(marked.pixel(200, y) == BLUE for y in range(297, 304))  # 8 pixels wide
    # Blocks of 16 x 16 from the redaction's corner, each of one colour, none left as it was.
    for by in range(64, 129, 16):
        for bx in range(64, 161, 16):
            cells = box(bx, by, min(bx + 16, 161), min(by + 16, 129))
            colours = {marked.pixel(*p) for p in cells}
            assert len(colours) == 1, (bx, by, colours)
            assert all(v % 17 == 0 for v in colours.pop())
    assert original.differing(marked, (64, 64, 97, 65))
    # A quick second click is a click of its own: two numbers, and undo takes only the second.
    keys_to_main(rig, 'n')
    rig.xdotool('mousemove', view[0] + 600, view[1] + 400, 'click', '--repeat', '2', '--delay', '80', '1')
    keys_to_main(rig, 'ctrl+z')
    assert numbered_save(rig, folder, 3).pixel(608, 400) == BLUE
