"""Writes the results of a test script as a GoogleTest XML report, the form test.sh sums.

Cases are (name, failure text); an empty text is a pass."""
import os
import xml.etree.ElementTree as ET


def write_report(path, suite_name, cases):
    failures = sum(1 for _, failure in cases if failure)
    root = ET.Element("testsuites", tests=str(len(cases)), failures=str(failures), errors="0")
    group = ET.SubElement(root, "testsuite", name=suite_name, tests=str(len(cases)))
    for name, failure in cases:
        case = ET.SubElement(group, "testcase", name=name, classname=suite_name)
        if failure:
            ET.SubElement(case, "failure", message=failure.splitlines()[0][:200]).text = failure
            print(f"[  FAILED  ] {suite_name}.{name}\n{failure}")
        else:
            print(f"[       OK ] {suite_name}.{name}")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    ET.ElementTree(root).write(path)
    return failures == 0
