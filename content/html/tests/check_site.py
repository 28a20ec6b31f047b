"""Checks the Default template with real tools: its pages are valid HTML (tidy), and a sample
portfolio built from it loads in headless Chromium with every in-site src and href resolving
to a file (and every #anchor to an id). Screenshots are kept for a person to look at.

check_site.py SAMPLE_TOOL TEMPLATE_DIR OUT_DIR XML_REPORT"""
import html.parser
import os
import pathlib
import subprocess
import sys
import urllib.parse
import xml.etree.ElementTree as ET

sample, template, out, report = sys.argv[1:5]
out = pathlib.Path(out)
CHROMIUM = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
            "--hide-scrollbars"]
cases = []  # (name, failure text or "")


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links, self.ids = [], set()

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if name in ("id", "name") and value:
                self.ids.add(value)
            if name in ("src", "href") and value is not None:
                self.links.append((tag, value))


def dom(page):
    result = subprocess.run(CHROMIUM + ["--dump-dom", page.as_uri()], capture_output=True, text=True,
                            errors="replace", timeout=120)
    return result.stdout


def check(name, function):
    try:
        problems = function()
    except Exception as e:  # a tool that fails is a failed check
        problems = [f"{type(e).__name__}: {e}"]
    cases.append((name, "\n".join(problems)))


def tidy_template():
    problems = []
    for page in sorted(pathlib.Path(template).rglob("*.html")):
        result = subprocess.run(["tidy", "-q", "-e", str(page)], capture_output=True, text=True)
        if result.returncode >= 2:
            problems.append(f"{page}: {result.stderr.strip()}")
    return problems


def build_sample():
    result = subprocess.run([sample, template, str(out / "work")], capture_output=True, text=True)
    return [] if result.returncode == 0 else [result.stdout + result.stderr]


def links_resolve():
    site = out / "work" / "Distributable" / "Sample"
    pages = sorted(site.rglob("*.html"))
    if len(pages) < 8:
        return [f"only {len(pages)} pages built"]
    parsed = {}
    for page in pages:
        parser = Links()
        parser.feed(dom(page))
        parsed[page.resolve()] = parser
    problems = []
    for page, parser in parsed.items():
        if not parser.links:
            problems.append(f"{page}: Chromium gave no DOM")
        for tag, link in parser.links:
            url = urllib.parse.urlsplit(link)
            if url.scheme or url.netloc:
                continue
            target = (page.parent / urllib.parse.unquote(url.path)).resolve() if url.path else page
            if not target.is_file():
                problems.append(f"{page.name}: <{tag}> {link} -> missing {target}")
            elif url.fragment and target in parsed and url.fragment not in parsed[target].ids:
                problems.append(f"{page.name}: {link} -> no anchor {url.fragment}")
    return problems


def screenshots():
    site = out / "work" / "Distributable" / "Sample"
    big = sorted((site / "files").glob("prv_*.html"))
    shots = [("index", site / "index.html"), ("galleries", site / "files" / "galleries.html"),
             ("work", site / "files" / "work.html")] + ([("bigimage", big[0])] if big else [])
    problems = []
    for name, page in shots:
        for size, label in (("1280,900", "desktop"), ("390,844", "phone")):
            png = out / f"{name}-{label}.png"
            subprocess.run(CHROMIUM + [f"--window-size={size}", f"--screenshot={png}", page.as_uri()],
                           capture_output=True, timeout=120)
            if not png.is_file() or png.stat().st_size < 1000:
                problems.append(f"no screenshot {png}")
    return problems


out.mkdir(parents=True, exist_ok=True)
check("TemplatePagesAreValidHtml", tidy_template)
check("SamplePortfolioBuilds", build_sample)
check("EveryInSiteLinkResolves", links_resolve)
check("ScreenshotsAreKept", screenshots)

suite = ET.Element("testsuites", tests=str(len(cases)), failures=str(sum(1 for _, f in cases if f)), errors="0")
group = ET.SubElement(suite, "testsuite", name="DefaultTemplate", tests=str(len(cases)))
for name, failure in cases:
    case = ET.SubElement(group, "testcase", name=name, classname="DefaultTemplate")
    if failure:
        ET.SubElement(case, "failure", message=failure.splitlines()[0][:200]).text = failure
        print(f"[  FAILED  ] {name}\n{failure}")
    else:
        print(f"[       OK ] {name}")
os.makedirs(os.path.dirname(report), exist_ok=True)
ET.ElementTree(suite).write(report)
print(f"screenshots in {out}")
sys.exit(1 if any(f for _, f in cases) else 0)
