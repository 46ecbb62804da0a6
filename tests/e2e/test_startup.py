"""Start-up, the single instance with its hand-over, position and exit."""
import time

from rig import MAIN_CLASS, wait_until, write_bmp



def test_first_start_stays_hidden_and_writes_defaults_at_exit(clean):
    rig = clean
    p = rig.start_griv()
    assert not rig.main_visible()
    assert rig.reg_query('AutoSave') is None  # nothing written before exit
    rig.close_griv(p)
    values = rig.reg_values()
    expected = {'AutoPrint': 'Off', 'AutoSave': 'Off', 'AutoOrient': 'Off', 'AutoClipCopy': 'Off',
                'SaveMode': 'S', 'PrintStyle': 'Full', 'PrintDate': '1', 'PrintNotes': '0', 'PopUp': '1',
                'WatchClips': '0', 'InclMouse': '1', 'DosPrint': 'No', 'Eject': 'No', 'AutoEdit': 'No',
                'UseOutlook': 'No', 'DosFont': 'System', 'AutoPrefix': 'GRIV', 'AutoExt': '.bmp',
                'LastOpenExt': '.bmp'}
    for name, value in expected.items():
        assert values.get(name) == value, name
    assert values['SavePath'].endswith('\\GRIV\\Images\\')
    assert values['OpenPath'] == values['SavePath']
    assert rig.unix_path(values['SavePath']).is_dir()  # the default folder was created


def test_second_start_shows_the_running_window_and_ends(clean):
    rig = clean
    first = rig.start_griv()
    t0 = time.monotonic()
    r = rig.second_start()
    assert r.returncode == 0
    assert time.monotonic() - t0 < 10
    assert first.poll() is None  # the first instance goes on
    wait_until(rig.main_visible, 5, what='the main window to show')
    # Case matters: "\f" only shows the window as well.
    assert rig.second_start('\\f').returncode == 0


def test_second_start_hands_over_exactly_the_file_name(clean, tmp_path):
    rig = clean
    rig.start_griv()
    picture = write_bmp(tmp_path / 'handed over.bmp', 64, 48)
    name = rig.windows_path(picture)
    assert rig.second_start(name).returncode == 0
    handoff = rig.unix_path(rig.temp_folder() + '~~ktw01')
    assert handoff.read_bytes() == name.encode('ascii')
    # The running instance shows its window with the picture.
    wait_until(rig.main_visible, 5, what='the main window to show')
    assert rig.status_text() == f'(64 x 48) - {name}'


def test_checkclose_n_exits_without_a_question_and_any_other_value_asks(clean):
    rig = clean
    rig.reg_set('CheckClose', 'n')  # lower case still asks
    p = rig.start_griv()
    rig.command('CM_EXIT')
    code, _ = rig.probe('find-title', 'Grivanta   ', '10000')
    assert code == 0, 'the exit question did not appear'
    assert rig.probe('press-button', 'Grivanta   ', '&No')[0] == 0
    time.sleep(0.5)
    assert p.poll() is None  # No keeps the program running

    rig.command('CM_EXIT')
    assert rig.probe('find-title', 'Grivanta   ', '10000')[0] == 0
    rig.probe('press-button', 'Grivanta   ', '&Yes')
    p.wait(15)
    assert rig.reg_query('CheckClose') == 'n'

    rig.reg_set('CheckClose', 'N')
    p = rig.start_griv()
    rig.command('CM_EXIT')
    p.wait(15)  # no question


def test_position_off_every_monitor_is_centred(clean):
    rig = clean
    rig.reg_set('MainPosn', '5000,4000,605,317')
    rig.start_griv()
    rig.second_start()
    wait_until(rig.main_visible, 5, what='the main window to show')
    left, top, right, bottom = rig.main_rect()
    assert (right - left, bottom - top) == (605, 317)
    assert (left, top) == ((1280 - 605) // 2, (800 - 317) // 2)


def test_position_on_the_screen_edge_is_kept(clean):
    rig = clean
    rig.reg_set('MainPosn', '1280,800,605,317')  # the corner exactly on the right and bottom edges counts
    rig.start_griv()
    rig.second_start()
    wait_until(rig.main_visible, 5, what='the main window to show')
    assert rig.main_rect()[:2] == (1280, 800)


def test_values_of_the_wrong_registry_type_take_their_defaults(clean):
    rig = clean
    rig.reg_set('AutoPrefix', 5)        # a number where text belongs
    rig.reg_set('UseMonitor', 'one')    # text where a number belongs
    rig.reg_set('AutoSave', 'On')       # later values are still read
    p = rig.start_griv()
    rig.second_start()
    wait_until(rig.main_visible, 5, what='the main window')
    rig.close_griv(p)
    assert rig.reg_query('AutoPrefix') == 'GRIV'
    assert rig.reg_query('AutoSave') == 'On'


def test_empty_branding_defaults_file_is_deleted_and_a_filled_one_applies(clean, tmp_path):
    import shutil
    from rig import GRIV
    rig = clean
    shutil.copy(GRIV, tmp_path / 'GRIV.exe')
    shutil.copy(GRIV.parent / 'griv.dat', tmp_path / 'griv.dat')
    (tmp_path / 'KTCustom.ini').write_bytes(b'')
    p = rig.spawn(tmp_path / 'GRIV.exe')
    assert rig.probe('wait', MAIN_CLASS, '20000')[0] == 0
    rig.probe('send', MAIN_CLASS, '0')
    assert not (tmp_path / 'KTCustom.ini').exists()
    rig.close_griv(p)
    (tmp_path / 'KTCustom.ini').write_text('[General]\r\nAutoPrint=on\r\n[Printer]\r\nWidth=best\r\n')
    rig.reg_set('AutoPrint', 'Off')
    p = rig.spawn(tmp_path / 'GRIV.exe')
    assert rig.probe('wait', MAIN_CLASS, '20000')[0] == 0
    rig.probe('send', MAIN_CLASS, '0')
    rig.close_griv(p)
    assert rig.reg_query('AutoPrint') == 'On'
    assert rig.reg_query('PrintStyle') == 'Best'


def test_the_program_asks_to_run_as_the_invoking_user():
    # Without it Windows applies its installer heuristics and file virtualisation to a 32-bit program.
    from rig import GRIV
    data = GRIV.read_bytes()
    assert b'requestedExecutionLevel level="asInvoker"' in data


def test_a_second_start_hands_over_a_name_the_ansi_code_page_cannot_spell(clean, tmp_path):
    from rig import write_bmp
    rig = clean
    pic = write_bmp(tmp_path / '\u0441\u043d\u0438\u043c\u043e\u043a.bmp', 30, 20)  # "снимок"
    rig.start_griv(settle=True)
    name = rig.windows_path(pic)
    assert '\u0441\u043d\u0438\u043c\u043e\u043a' in name
    assert rig.second_start(name).returncode == 0
    wait_until(lambda: rig.status_text() == f'(30 x 20) - {name}', 10, what='the picture under its own name')


def test_second_starts_at_the_same_moment_each_have_their_file_opened(clean, tmp_path):
    # Documents that are not pictures go on to the shell: griv-record writes down each one it is given.
    from rig import GRIV, RECORDER, read_records
    rig = clean
    log = tmp_path / 'record.log'
    rig.env['GRIV_RECORD_FILE'] = rig.windows_path(log)
    rig.wine('reg', 'add', r'HKCR\.grivpair', '/ve', '/d', 'grivtest.pair', '/f', check=True)
    rig.wine('reg', 'add', r'HKCR\grivtest.pair\shell\open\command', '/ve',
             '/d', f'"{rig.windows_path(RECORDER)}" "%1"', '/f', check=True)
    try:
        rig.start_griv(settle=True)
        names = []
        for i in range(10):
            pair = [tmp_path / f'pair {i} {side}.grivpair' for side in 'ab']
            for doc in pair:
                doc.write_text('x')
            starts = [rig.spawn(GRIV, rig.windows_path(doc)) for doc in pair]
            assert [s.wait(30) for s in starts] == [0, 0]
            names += [rig.windows_path(doc) for doc in pair]
        opened = wait_until(lambda: (lambda r: r if len(r) >= len(names) else None)(read_records(log)), 60,
                            what='every handed-over document to be opened')
        assert sorted(r['args'][0] for r in opened) == sorted(names)
    finally:
        rig.env.pop('GRIV_RECORD_FILE', None)
        rig.wine('reg', 'delete', r'HKCR\.grivpair', '/f')
        rig.wine('reg', 'delete', r'HKCR\grivtest.pair', '/f')
