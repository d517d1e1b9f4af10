#!/usr/bin/env python3
"""Runs every recorded INI case through the ini-ops driver.

A case must match unless DEVIATIONS names it (with its reason); a named case that now matches is reported
too, so the list stays honest. Dumps are compared as parsed entries: the driver keeps the file's layout,
the recorded platform rewrote whole files.
"""
import argparse
import concurrent.futures
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare import compare_case  # noqa: E402
from inicase import list_cases  # noqa: E402


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--driver", required=True)
    ap.add_argument("--launcher", default="", help="runs the driver, e.g. Wine for a Windows driver")
    ap.add_argument("--cases", required=True)
    ap.add_argument("--deviations", required=True)
    args = ap.parse_args()

    allowed = {}
    with open(args.deviations, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                name, _, reason = line.partition(" ")
                allowed[name] = reason.strip()

    opts = argparse.Namespace(timeout=60, oracle=False, skip_op=[], dump="parsed")

    launcher = [args.launcher] if args.launcher else []

    def builder(initial, ops, work):
        return launcher + [args.driver, initial, ops, work]

    names = list_cases(args.cases)
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as ex:
        results = list(ex.map(lambda n: compare_case(os.path.join(args.cases, n), builder, None, opts), names))

    passed = failed = 0
    for name, problems in zip(names, results):
        if name in allowed:
            if problems:
                print("deviation %s: %s" % (name, allowed[name]))
                passed += 1
            else:
                print("FAIL %s: listed in DEVIATIONS but now matches; remove it from the list" % name)
                failed += 1
            continue
        if not problems:
            passed += 1
            continue
        failed += 1
        print("FAIL %s" % name)
        for (k, op, e, g) in problems[:5]:
            print("   op %s: %s\n     expected: %s\n     got:      %s" % (k, op, e, g))
    unknown = sorted(set(allowed) - set(names))
    for name in unknown:
        print("FAIL DEVIATIONS names %s, which is not a case" % name)
        failed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
