"""The installer, its uninstaller and a rebranded release, in a Wine prefix of
their own: installed as a user would (silently), then GRIV run from where it
was installed."""
import hashlib
import runpy
import subprocess

import pytest

from rig import (BIN, INSTALLED_FILES, INSTALLER, KEY, MAIN_CLASS, RUN_KEY, TOP, InstallerRig, project_version,
                 wait_until)

PRODUCT = 'Grivanta'
BRAND = 'Acme Shot'


@pytest.fixture(scope='module')
def irig():
    if not INSTALLER.exists():
        pytest.fail('build the installer first (scripts/build win)')
    r = InstallerRig(TOP / 'build' / 'wine-installer').start()
    yield r
    r.remove_installs(PRODUCT, BRAND)
    r.stop()


@pytest.fixture
def fresh(irig):
    irig.remove_installs(PRODUCT, BRAND)
    return irig


def start_installed(rig, folder):
    p = rig.spawn(folder + r'\GRIV.exe')
    assert rig.probe('wait', MAIN_CLASS, '20000')[0] == 0, 'GRIV did not start from its installed folder'
    rig.probe('send', MAIN_CLASS, '0')  # answered once start-up has run to its end
    return p


def test_per_user_install_runs_and_captures_and_uninstalls_with_its_settings(fresh, tmp_path):
    rig = fresh
    places = rig.places(PRODUCT)
    rig.install(INSTALLER, '/S', '/CURRENTUSER')

    folder = rig.unix_path(places['folder'])
    assert sorted(p.name for p in folder.iterdir()) == sorted(
        [p.name for p in INSTALLED_FILES.iterdir()] + ['Uninstall.exe'])
    if (BIN / 'griv.chm').exists():
        assert (folder / 'griv.chm').exists()
    assert (folder / 'GRIV.exe').read_bytes() == (INSTALLED_FILES / 'GRIV.exe').read_bytes()
    assert rig.unix_path(places['link']).exists()
    entry = rig.reg_values(places['key'])
    exe = places['folder'] + r'\GRIV.exe'
    uninstaller = '"' + places['folder'] + r'\Uninstall.exe"'
    assert {k: entry.get(k) for k in ('DisplayName', 'Publisher', 'DisplayVersion', 'UninstallString',
                                      'QuietUninstallString', 'InstallLocation', 'DisplayIcon',
                                      'NoModify', 'NoRepair')} == {
        'DisplayName': PRODUCT, 'Publisher': 'Grivanta', 'DisplayVersion': project_version(),
        'UninstallString': uninstaller, 'QuietUninstallString': uninstaller + ' /S',
        'InstallLocation': places['folder'], 'DisplayIcon': exe + ',0', 'NoModify': 1, 'NoRepair': 1}
    assert 500 < entry['EstimatedSize'] < 50000  # KB
    assert rig.reg_query(PRODUCT, RUN_KEY) == f'"{exe}"'  # start with Windows: on by default
    assert not rig.unix_path(rig.places(PRODUCT, all_users=True)['folder']).exists()

    # Started from there, it captures: a second start with \F, Auto Save into the data folder.
    images = rig.env_folder('APPDATA') + r'\GRIV\Images'
    rig.reg_set('AutoSave', 'On')
    rig.reg_set('AutoSavePath', images + '\\')
    p = start_installed(rig, places['folder'])
    assert rig.wine(exe, '\\F').returncode == 0
    shot = rig.unix_path(images + r'\GRIV-00001.bmp')
    wait_until(shot.exists, 15, what='the capture saved from the installed GRIV')
    work = rig.unix_path(rig.env_folder('APPDATA') + r'\GRIV\ework')
    (work / 'plain copy.txt').write_text('left by a decryption')

    # Uninstalled with its settings while it runs: it is closed first.
    rig.uninstall(places, '/S', '/REMOVESETTINGS')
    p.wait(10)
    assert not folder.exists()
    assert not rig.unix_path(places['link']).exists()
    assert rig.reg_values(places['key']) == {}
    assert rig.reg_query(PRODUCT, RUN_KEY) is None
    assert rig.reg_values(KEY) == {}
    assert not work.exists()
    assert shot.exists(), 'a saved capture went with the uninstall'


def test_elevated_install_is_for_all_users_and_a_silent_uninstall_keeps_the_settings(fresh):
    rig = fresh  # Wine runs every program with administrator rights
    places = rig.places(PRODUCT, all_users=True)
    rig.install(INSTALLER, '/S', '/AUTOSTART=0')
    assert rig.unix_path(places['folder'] + r'\GRIV.exe').exists()
    assert rig.unix_path(places['link']).exists()
    assert rig.reg_values(places['key'])['InstallLocation'] == places['folder']
    assert rig.reg_values(rig.places(PRODUCT)['key']) == {}  # no per-user entry
    assert rig.reg_query(PRODUCT, RUN_KEY) is None

    rig.reg_set('AutoSave', 'On')
    rig.uninstall(places, '/S')
    assert not rig.unix_path(places['folder']).exists()
    assert not rig.unix_path(places['link']).exists()
    assert rig.reg_values(places['key']) == {}
    assert rig.reg_query('AutoSave') == 'On'

    # Removed with its settings, the machine-wide entry goes as well (the
    # uninstaller waits for it), so the next install is a new one: "Start
    # with Windows" on by default.
    rig.install(INSTALLER, '/S', '/AUTOSTART=0')
    rig.uninstall(places, '/S', '/REMOVESETTINGS')
    assert rig.reg_query('AutoSave') is None
    rig.install(INSTALLER, '/S')
    assert rig.reg_query(PRODUCT, RUN_KEY) == '"' + places['folder'] + r'\GRIV.exe"'


def test_upgrade_over_a_running_griv_ends_it_replaces_it_and_keeps_its_settings(fresh):
    rig = fresh
    places = rig.places(PRODUCT)
    rig.install(INSTALLER, '/S', '/CURRENTUSER', '/AUTOSTART=0')
    exe = rig.unix_path(places['folder'] + r'\GRIV.exe')
    with exe.open('ab') as f:
        f.write(b'older build')  # still runs; the upgrade must replace it
    rig.reg_set('AutoSave', 'On')
    p = start_installed(rig, places['folder'])

    rig.install(INSTALLER, '/S', '/CURRENTUSER')  # no folder given: the installed one
    assert p.wait(15) is not None
    assert exe.read_bytes() == (INSTALLED_FILES / 'GRIV.exe').read_bytes()
    settings = rig.reg_values()
    assert settings['AutoSave'] == 'On'
    assert 'AutoPrint' in settings  # written by GRIV itself as it closed
    assert rig.reg_query(PRODUCT, RUN_KEY) is None  # the upgrade keeps "start with Windows" off
    assert rig.reg_values(places['key'])['DisplayVersion'] == project_version()


def test_rebranded_release_installs_and_shows_the_brands_caption(fresh, tmp_path):
    rig = fresh
    ini = tmp_path / 'acme.ini'
    ini.write_text('[Settings]\r\nMainCaption=Acme Shot\r\nWebSite=https://acme.example\r\n'
                   '[TagLines]\r\n1=Shots that matter\r\n'
                   '[Installer]\r\nPublisher=Acme Tools Ltd.\r\n')
    out = tmp_path / 'release'
    r = subprocess.run([TOP / 'scripts' / 'brand-release', ini, '--out', out], capture_output=True, text=True,
                       timeout=600)
    assert r.returncode == 0, r.stdout + r.stderr
    version = project_version()
    setup = out / f'Acme-Shot-{version}-setup.exe'
    assert setup.exists() and (out / f'Acme-Shot-{version}-portable.zip').exists()
    printed = {tuple(line.split()) for line in r.stdout.splitlines()}
    for f in (setup, out / 'GRIV.exe', out / 'griv.dat'):
        assert (hashlib.sha256(f.read_bytes()).hexdigest(), f.name) in printed

    places = rig.places(BRAND)
    rig.install(setup, '/S', '/CURRENTUSER', '/AUTOSTART=0')
    assert rig.unix_path(places['link']).exists()
    entry = rig.reg_values(places['key'])
    assert (entry['DisplayName'], entry['Publisher']) == (BRAND, 'Acme Tools Ltd.')
    p = start_installed(rig, places['folder'])
    assert rig.probe('text', MAIN_CLASS)[1].splitlines()[0] == BRAND
    rig.close_griv(p)


def test_release_names_keep_a_brands_letters(tmp_path):
    brand_values = runpy.run_path(str(TOP / 'installer' / 'make_installer.py'))['brand_values']
    ini = tmp_path / 'brand.ini'
    for caption, setup in (('Acm\u00e9 Shot', 'Acm\u00e9-Shot-1.2.3.4'), ('A/B: C*', 'A-B-C-1.2.3.4')):
        ini.write_text(f'[Settings]\r\nMainCaption={caption}\r\n', encoding='utf-8')
        v = brand_values(ini, '1.2.3.4')
        assert (v['SETUP_NAME'], v['ZIP_NAME']) == (setup + '-setup.exe', setup + '-portable.zip')
