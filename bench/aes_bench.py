#!/usr/bin/env python3
"""KTX2 (AES-256-GCM through CNG) under Wine against openssl on the same
machine in the same run, in turns, best of each: the encryption of a 64 MiB
file against `openssl enc -aes-256-ctr` (goal: at least half its speed), and
the 600000-iteration key derivation beside `openssl kdf`. The file GRIV wrote
is decrypted with the native griv-ktx and both derived keys are compared: a
speed of a wrong result says nothing. Run by scripts/bench inside its Wine
environment; never fails on a figure.
  aes_bench.py [runs]   (default 3 each)"""
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

TOP = Path(__file__).resolve().parents[1]
BENCH = TOP / 'build' / 'win' / 'bin' / 'ktx2_bench_win.exe'
# The optimised tree scripts/bench builds; the test tree will do for the check.
KTX = next((p for p in (TOP / 'build' / t / 'tools' / 'griv-ktx' / 'griv-ktx' for t in ('bench', 'native'))
            if p.exists()), TOP / 'build' / 'bench' / 'tools' / 'griv-ktx' / 'griv-ktx')
SIZE = 64 << 20
KEY = 'bench key text 42'
SALT = bytes(range(0xA0, 0xB0)).hex()


def win(path):
    return 'Z:' + str(path).replace('/', '\\')


def table(measure, anchor, griv, ratio, goal):
    print(f'TABLE|{measure}|{anchor}|{griv}|{ratio}|{goal}')


def main():
    runs = max(1, int(sys.argv[1])) if len(sys.argv) > 1 else 3
    with tempfile.TemporaryDirectory(prefix='griv_aes_bench_') as d:
        d = Path(d)
        plain, ours, theirs, check = d / 'plain.bin', d / 'griv.ktx', d / 'openssl.bin', d / 'check.bin'
        plain.write_bytes(os.urandom(SIZE))
        griv_s = openssl_s = griv_kdf = openssl_kdf = bare_s = float('inf')
        griv_key = openssl_key = ''
        for _ in range(runs):
            # Output through a file: a Wine service started on the way would hold a pipe open.
            with tempfile.TemporaryFile() as out:
                r = subprocess.run(['wine', str(BENCH), win(plain), win(ours), KEY, SALT], stdout=out,
                                   stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, timeout=600)
                out.seek(0)
                text = out.read().decode('utf-8', 'replace')
            if r.returncode != 0:
                sys.exit(f'ktx2_bench_win failed: {text.strip()}')
            fields = dict((line.split()[0], line.split()[1:]) for line in text.splitlines() if line.strip())
            griv_kdf = min(griv_kdf, float(fields['kdf_ms'][0]))
            bare_s = min(bare_s, float(fields['bare_gcm_s'][0]))
            griv_key = fields['kdf_ms'][1]
            griv_s = min(griv_s, float(fields['encrypt_s'][0]))

            t0 = time.perf_counter()
            subprocess.run(['openssl', 'enc', '-aes-256-ctr', '-K', griv_key, '-iv', '00' * 16, '-in', str(plain),
                            '-out', str(theirs)], check=True)
            openssl_s = min(openssl_s, time.perf_counter() - t0)
            t0 = time.perf_counter()
            out = subprocess.run(['openssl', 'kdf', '-keylen', '32', '-kdfopt', 'digest:SHA256', '-kdfopt',
                                  f'pass:{KEY}', '-kdfopt', f'hexsalt:{SALT}', '-kdfopt', 'iter:600000', 'PBKDF2'],
                                 check=True, capture_output=True, text=True).stdout
            openssl_kdf = min(openssl_kdf, (time.perf_counter() - t0) * 1000)
            openssl_key = out.strip().replace(':', '').lower()

        r = subprocess.run([str(KTX), 'decrypt', '--key', KEY, str(ours), str(check)], capture_output=True, text=True)
        same = r.returncode == 0 and check.read_bytes() == plain.read_bytes()
        mb = SIZE / (1 << 20)
        print(f'AES-256-GCM encryption of a {SIZE >> 20} MiB file under Wine, best of {runs} each, in turns')
        print(f'  GRIV (CNG)              {mb / griv_s:8.1f} MB/s  ({griv_s:.3f} s)')
        print(f'  openssl enc -aes-256-ctr {mb / openssl_s:7.1f} MB/s  ({openssl_s:.3f} s, process start included)')
        print(f'  the system\'s GCM alone, in memory, one call {mb / bare_s:6.1f} MB/s  ({bare_s:.3f} s)')
        print(f'  GRIV\'s file decrypts with the native griv-ktx: {"yes" if same else "NO: " + r.stderr.strip()}')
        print(f'PBKDF2-HMAC-SHA256, 600000 iterations: GRIV (CNG) {griv_kdf:.0f} ms, openssl kdf {openssl_kdf:.0f} ms'
              f' (process start included); keys {"identical" if griv_key == openssl_key else "DIFFER"}')
        measure = f'AES-256-GCM encryption, {SIZE >> 20} MiB file, under Wine (GRIV speed / openssl speed)'
        table(measure, f'openssl enc -aes-256-ctr {mb / openssl_s:.1f} MB/s', f'{mb / griv_s:.1f} MB/s',
              f'{openssl_s / griv_s:.2f}' if same else 'output wrong', '>= 0.5')
        table('PBKDF2-HMAC-SHA256 key derivation, 600000 iterations, under Wine (GRIV time / openssl time)',
              f'openssl kdf {openssl_kdf:.0f} ms', f'{griv_kdf:.0f} ms',
              f'{griv_kdf / openssl_kdf:.2f}' if griv_key == openssl_key else 'keys differ', 'reported')
        return 0 if same and griv_key == openssl_key else 1


if __name__ == '__main__':
    sys.exit(main())
