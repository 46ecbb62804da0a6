#!/usr/bin/env python3
"""Sums the JUnit XML files of the test layers and prints the closing line."""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def count(path):
    root = ET.parse(path).getroot()
    suites = [root] if root.tag == 'testsuite' else root.findall('testsuite')
    passed = failed = skipped = 0
    names = []
    for s in suites:
        for case in s.iter('testcase'):
            if case.find('failure') is not None or case.find('error') is not None:
                failed += 1
                cls, name = case.get('classname'), case.get('name')
                names.append(name if cls == name else f"{cls}.{name}")
            elif case.find('skipped') is not None or case.get('result') == 'skipped' or case.get('status') == 'notrun':
                skipped += 1
            else:
                passed += 1
    return passed, failed, skipped, names


def main():
    folder = Path(sys.argv[1])
    total_p = total_f = total_s = 0
    for name in sys.argv[2:]:
        path = folder / name
        try:
            p, f, s, failed = count(path)
        except (OSError, ET.ParseError):
            print(f"{name}: no results (the layer did not run to its end)")
            total_f += 1
            continue
        print(f"{name}: {p} passed, {f} failed, {s} skipped")
        for n in failed:
            print(f"  FAILED {n}")
        total_p += p
        total_f += f
        total_s += s
    print(f"{total_p} passed, {total_f} failed")
    sys.exit(1 if total_f else 0)


if __name__ == '__main__':
    main()
