"""Prints one line summing the GoogleTest XML reports of a test run.

Arguments: the number of test programs ctest ran, then the report folders. A program that
left no report (it crashed, hung or never started) counts as failed."""
import pathlib
import sys
import xml.etree.ElementTree as ET

programs = int(sys.argv[1])
total = failed = skipped = reports = 0
for folder in sys.argv[2:]:
    for report in sorted(pathlib.Path(folder).glob("*.xml")):
        reports += 1
        root = ET.parse(report).getroot()
        total += int(root.get("tests", 0))
        failed += int(root.get("failures", 0)) + int(root.get("errors", 0))
        skipped += int(root.get("disabled", 0)) + sum(
            1 for case in root.iter("testcase") if case.find("skipped") is not None)
missing = programs - reports
ok = failed == 0 and missing <= 0 and programs > 0
line = (f"{'PASSED' if ok else 'FAILED'}: {total - failed - skipped} of {total} tests passed, "
        f"{failed} failed, {skipped} skipped, in {reports} of {programs} test programs")
if missing > 0:
    line += f" ({missing} left no report: crashed, hung or did not start)"
print(line)
sys.exit(0 if ok else 1)
