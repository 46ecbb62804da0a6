#!/usr/bin/env python3
"""Makes GRIV's Windows installer (and the folder of files it installs) under
the brand of a brand ini: the product name is the brand's MainCaption, the
optional [Installer] section names the rest (see README, "For brand owners").

  make_installer.py --ini brand.ini --bin build/win/bin --icon griv.ico
                    --version 1.0.0.1 --stage DIR (--dat griv.dat | --brand-tool TOOL)
                    [--out-dir DIR | --out FILE] [--zip] [--require-help]

With --zip, also a portable .zip of the same files beside the installer.
Prints the paths of what it made. Exit status 1 with a message on bad input."""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
STRIP = 'i686-w64-mingw32-strip'
# Characters Windows does not allow in a file or folder name.
BAD_NAME_CHARS = re.compile(r'[\\/:*?"<>|\x00-\x1f]')


class BrandError(Exception):
    pass


def read_ini(text):
    """Sections as the program reads them: names without regard to case, the first
    occurrence of a section and of a key wins, blanks and one pair of matching
    quotes around a value removed, lines starting with ';' ignored."""
    if text.startswith('\ufeff'):
        text = text[1:]
    sections = {}
    cur = None
    for raw in text.split('\n'):
        line = raw.strip(' \t\r')
        if not line or line.startswith(';'):
            continue
        if line.startswith('['):
            close = line.find(']')
            name = (line[1:close] if close >= 0 else line[1:]).strip(' \t\r').lower()
            cur = None if name in sections else sections.setdefault(name, {})
            continue
        if cur is None or '=' not in line:
            continue
        key, value = line.split('=', 1)
        key = key.strip(' \t\r').lower()
        value = value.strip(' \t\r')
        if len(value) >= 2 and value[0] in '"\'' and value[-1] == value[0]:
            value = value[1:-1]
        cur.setdefault(key, value)
    return sections


def file_name(value, what, derived):
    """A name usable as a file or folder name. Names derived from the caption are
    made usable; names given for this purpose must be usable as they are."""
    if derived:
        name = re.sub(r'\s+', ' ', BAD_NAME_CHARS.sub('-', value)).strip(' .')
    else:
        name = value.strip()
        if BAD_NAME_CHARS.search(name) or name.endswith('.'):
            raise BrandError(f'{what} "{value}" cannot be a file name (no \\ / : * ? " < > | and no trailing dot)')
    if not name:
        raise BrandError(f'{what} is empty')
    return name


def brand_values(ini_path, version):
    try:
        text = Path(ini_path).read_bytes().decode('utf-8')
    except FileNotFoundError:
        raise BrandError(f'{ini_path}: no such file')
    except UnicodeDecodeError:
        raise BrandError(f'{ini_path}: not UTF-8 text (save the brand ini as UTF-8)')
    ini = read_ini(text)
    settings, inst = ini.get('settings', {}), ini.get('installer', {})
    product = inst.get('productname') or settings.get('maincaption') or 'Grivanta'
    if any(c in product for c in '\r\n'):
        raise BrandError('the product name must be one line')
    folder = file_name(inst['installfolder'], 'InstallFolder', False) if inst.get('installfolder') \
        else file_name(product, 'the product name', True)
    start = file_name(inst['startmenuname'], 'StartMenuName', False) if inst.get('startmenuname') else folder
    # A download name without blanks; letters of any script stay as they are.
    setup = inst.get('setupname') or re.sub(r'[\s-]+', '-', folder).strip('-') + f'-{version}-setup'
    setup = file_name(setup, 'SetupName', False)
    if not setup.lower().endswith('.exe'):
        setup += '.exe'
    return {
        'PRODUCT': product,
        'PUBLISHER': inst.get('publisher') or product,
        'START_MENU': start,
        'INSTALL_FOLDER': folder,
        'WEBSITE': settings.get('website', ''),
        # Registry key of the uninstall entry and name of the Run value.
        'UNINST_ID': folder,
        'SETUP_NAME': setup,
        'ZIP_NAME': (setup[:-len('-setup.exe')] if setup.lower().endswith('-setup.exe') else setup[:-4])
        + '-portable.zip',
    }


def four_part(version):
    parts = version.split('.')
    if not 1 <= len(parts) <= 4 or not all(p.isdigit() for p in parts):
        raise BrandError(f'version "{version}" is not of the form 1.2.3.4')
    return '.'.join(parts + ['0'] * (4 - len(parts)))


def nsis_string(value):
    return '"' + value.replace('$', '$$').replace('"', '$\\"') + '"'


def stage_files(args, stage):
    if stage.exists():
        shutil.rmtree(stage)
    stage.mkdir(parents=True)
    exe = Path(args.bin) / 'GRIV.exe'
    if not exe.is_file():
        raise BrandError(f'{exe} is missing: build the program first (scripts/build win)')
    subprocess.run([STRIP, '-o', str(stage / 'GRIV.exe'), str(exe)], check=True)
    if args.dat:
        shutil.copyfile(args.dat, stage / 'griv.dat')
    else:
        r = subprocess.run([args.brand_tool, 'make', args.ini, str(stage / 'griv.dat')],
                           capture_output=True, text=True)
        sys.stderr.write(r.stderr)
        if r.returncode:
            raise BrandError(f'the brand tool could not make griv.dat from {args.ini}')
    chm = Path(args.bin) / 'griv.chm'
    if chm.is_file():
        shutil.copyfile(chm, stage / 'griv.chm')
    elif args.require_help:
        raise BrandError(f'the help file {chm} is missing although the build makes one')


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('--ini', required=True)
    ap.add_argument('--bin', required=True, help='folder of the built GRIV.exe (and griv.chm)')
    ap.add_argument('--icon', required=True)
    ap.add_argument('--version', required=True)
    ap.add_argument('--stage', required=True, help='folder to fill with the installed files')
    src = ap.add_mutually_exclusive_group(required=True)
    src.add_argument('--dat', help='an existing griv.dat')
    src.add_argument('--brand-tool', help='griv-brand, to make griv.dat from the ini')
    out = ap.add_mutually_exclusive_group(required=True)
    out.add_argument('--out-dir', help='folder of the installer, named after the brand')
    out.add_argument('--out', help='the installer file')
    ap.add_argument('--zip', action='store_true', help='also a portable .zip beside the installer')
    ap.add_argument('--require-help', action='store_true')
    args = ap.parse_args()

    try:
        version = four_part(args.version)
        values = brand_values(args.ini, version)
        stage = Path(args.stage).resolve()
        stage_files(args, stage)
    except (BrandError, OSError) as e:
        print(f'make_installer: {e}', file=sys.stderr)
        return 1
    except subprocess.CalledProcessError as e:
        print(f'make_installer: {e}', file=sys.stderr)
        return 1

    target = Path(args.out) if args.out else Path(args.out_dir) / values['SETUP_NAME']
    target = target.resolve()
    target.parent.mkdir(parents=True, exist_ok=True)
    defines = dict(values, VERSION=version, STAGE=str(stage), ICON=str(Path(args.icon).resolve()))
    with tempfile.TemporaryDirectory() as tmp:
        nsh = Path(tmp) / 'brand.nsh'
        # Written next to a half-made installer name, then moved: a failed run
        # leaves no installer that looks complete.
        partial = target.with_name(target.name + '.part')
        defines['OUTFILE'] = str(partial)
        nsh.write_text(''.join(f'!define {k} {nsis_string(v)}\n' for k, v in defines.items()),
                       encoding='utf-8-sig')
        r = subprocess.run(['makensis', '-V2', '-INPUTCHARSET', 'UTF8', f'-DBRAND_NSH={nsh}',
                            str(HERE / 'griv.nsi')], capture_output=True, text=True)
        if r.returncode:
            sys.stderr.write(r.stdout + r.stderr)
            print('make_installer: makensis failed', file=sys.stderr)
            partial.unlink(missing_ok=True)
            return 1
        os.replace(partial, target)
    print(target)
    if args.zip:
        print(make_zip(stage, target.with_name(values['ZIP_NAME']), values['INSTALL_FOLDER']))
    return 0


def make_zip(stage, path, folder):
    """The installed files in one folder, ready to run from wherever it is unpacked."""
    partial = path.with_name(path.name + '.part')
    with zipfile.ZipFile(partial, 'w', zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for f in sorted(stage.iterdir()):
            z.write(f, f'{folder}/{f.name}')
    os.replace(partial, path)
    return path


if __name__ == '__main__':
    sys.exit(main())
