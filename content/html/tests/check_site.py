"""Checks the Default template with real tools: its pages are valid HTML (tidy), and a sample
portfolio built from it loads in headless Chromium with every in-site src and href resolving
to a file (and every #anchor to an id); measured in the browser at desktop and phone widths,
gallery thumbnails show at their own size, whole and centred, no cell of the work and
photographers tables is cut off by the page's edge, every record's cells stand under their
header's at any number of records, and a phone number wraps only at its blanks. Screenshots are
kept for a person to look at.

check_site.py SAMPLE_TOOL TEMPLATE_DIR OUT_DIR XML_REPORT"""
import html.parser
import json
import pathlib
import re
import subprocess
import sys
import urllib.parse

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[3] / "tests" / "support"))
from gtest_report import write_report  # noqa: E402

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


SIZES = (("1280,900", "desktop"), ("390,844", "phone"))

# Run in the page once its pictures have loaded; the measures land in the dumped DOM.
MEASURE = """<script>
window.addEventListener("load", () => {
  const px = (style, name) => parseFloat(style[name]) || 0;
  const content = (element) => {
    const r = element.getBoundingClientRect(), s = getComputedStyle(element);
    return {left: r.left + px(s, "borderLeftWidth") + px(s, "paddingLeft"),
            top: r.top + px(s, "borderTopWidth") + px(s, "paddingTop"),
            width: r.width - px(s, "borderLeftWidth") - px(s, "borderRightWidth") - px(s, "paddingLeft") - px(s, "paddingRight"),
            height: r.height - px(s, "borderTopWidth") - px(s, "borderBottomWidth") - px(s, "paddingTop") - px(s, "paddingBottom")};
  };
  const viewport = document.documentElement.clientWidth;
  const thumbs = [...document.querySelectorAll(".gallery img")].map((img) => {
    const box = content(img), cell = content(img.closest("td"));
    return {src: img.getAttribute("src"), naturalWidth: img.naturalWidth, naturalHeight: img.naturalHeight,
            width: box.width, height: box.height, fit: getComputedStyle(img).objectFit,
            inCell: box.left >= cell.left - 0.5 && box.left + box.width <= cell.left + cell.width + 0.5 &&
                    box.top >= cell.top - 0.5 && box.top + box.height <= cell.top + cell.height + 0.5,
            offCentre: Math.abs(box.left + box.width / 2 - (cell.left + cell.width / 2))};
  });
  const cells = [...document.querySelectorAll(".records th, .records td")].map((cell) => {
    const r = cell.getBoundingClientRect();
    let scroller = null;
    for (let box = cell.parentElement; box && box !== document.body; box = box.parentElement) {
      const overflow = getComputedStyle(box).overflowX;
      if ((overflow === "auto" || overflow === "scroll") && box.scrollWidth > box.clientWidth) {
        const b = box.getBoundingClientRect();
        scroller = {left: b.left, right: b.right, shownLeft: b.left + box.clientLeft,
                    shownRight: b.left + box.clientLeft + box.clientWidth};
        break;
      }
    }
    return {text: cell.textContent.trim().slice(0, 30), left: r.left, right: r.right, scroller};
  });
  // Per records section: the header row's cells and each record row's (as many cells).
  const edges = (row) => [...row.children].map((c) => {
    const r = c.getBoundingClientRect();
    return {text: c.textContent.trim().slice(0, 30), left: r.left, right: r.right};
  });
  const sections = [...document.querySelectorAll(".records")].map((section) => {
    const rows = [...section.querySelectorAll("tr")];
    const header = rows.find((row) => row.children.length > 1 && [...row.children].every((c) => c.tagName === "TH"));
    const records = rows.filter((row) => row !== header && header && row.children.length === header.children.length);
    return {header: header ? edges(header) : [], records: records.map(edges)};
  });
  // Each phone number's text, and the character before every place a new line starts.
  const phones = [...document.querySelectorAll(".records tr")].filter((row) => row.children.length === 5 &&
      row.children[0].tagName === "TD").map((row) => {
    const cell = row.children[1], walker = document.createTreeWalker(cell, NodeFilter.SHOW_TEXT);
    let text = "", lastTop = null, breaksAfter = [];
    for (let node = walker.nextNode(); node; node = walker.nextNode()) {
      for (let i = 0; i < node.length; ++i) {
        const range = document.createRange();
        range.setStart(node, i);
        range.setEnd(node, i + 1);
        const box = range.getClientRects()[0];
        if (box && node.data[i].trim()) {
          if (lastTop !== null && box.top > lastTop + 1) breaksAfter.push(text.slice(-1));
          lastTop = box.top;
        }
        text += node.data[i];
      }
    }
    return {text: text.trim(), breaksAfter};
  });
  parent.postMessage(JSON.stringify({viewport, pageWidth: document.documentElement.scrollWidth, thumbs, cells,
                                     sections, phones}), "*");
});
</script>"""

# Headless windows are at least 500 px wide: a frame gives the page a phone's width. One frame
# per size, side by side in one browser run; the measures land in the page once all are in.
FRAME = """<!DOCTYPE html><html><body style="margin:0; white-space:nowrap">{frames}<pre id="measured"></pre>
<script>const found = [];
addEventListener("message", (e) => {{ found.push(JSON.parse(e.data));
  if (found.length === {count}) document.getElementById("measured").textContent = JSON.stringify(found); }});</script>
</body></html>"""
IFRAME = """<iframe src="{page}" style="border:0; vertical-align:top; width:{width}px; height:{height}px"></iframe>"""


def measure_sizes(page, sizes):
    """Lays page out at each size ("width,height") and returns what MEASURE found, by size."""
    dimensions = [tuple(int(n) for n in size.split(",")) for size in sizes]
    probe, frame = page.with_name(f"measure-{page.name}"), page.with_name(f"frame-{page.name}")
    probe.write_bytes(page.read_bytes().replace(b"</body>", MEASURE.encode() + b"</body>"))
    frames = "".join(IFRAME.format(page=probe.name, width=w, height=h) for w, h in dimensions)
    frame.write_text(FRAME.format(frames=frames, count=len(sizes)))
    window = f"--window-size={sum(w for w, _ in dimensions) + 100},{max(h for _, h in dimensions) + 100}"
    try:
        result = subprocess.run(CHROMIUM + [window, "--virtual-time-budget=5000", "--dump-dom", frame.as_uri()],
                                capture_output=True, text=True, errors="replace", timeout=120)
    finally:
        probe.unlink()
        frame.unlink()
    found = re.search(r'<pre id="measured">([^<]+)</pre>', result.stdout)
    if not found:
        raise RuntimeError(f"no measures from {page.name} at {', '.join(sizes)}: {result.stderr[-500:]}")
    by_width = {m["viewport"]: m for m in json.loads(html.unescape(found.group(1)))}
    measures = {}
    for size, (width, _) in zip(sizes, dimensions):
        if width not in by_width:
            raise RuntimeError(f"{page.name} was not laid out {width} px wide: {sorted(by_width)}")
        measures[size] = by_width[width]
    return measures


def measure(page, size):
    return measure_sizes(page, [size])[size]


def thumbnails_at_own_size():
    page = out / "work" / "Distributable" / "Sample" / "files" / "galleries.html"
    problems = []
    # Also just under and over the widths where the grid changes its number of columns.
    sizes = SIZES + (("719,900", "small tablet"), ("720,900", "tablet"), ("320,640", "small phone"))
    measured = measure_sizes(page, [size for size, _ in sizes])
    for size, label in sizes:
        thumbs = measured[size]["thumbs"]
        if len(thumbs) < 7:
            problems.append(f"{label}: only {len(thumbs)} thumbnails")
        for t in thumbs:
            shown = (round(t["width"], 1), round(t["height"], 1))
            natural = (t["naturalWidth"], t["naturalHeight"])
            if not 0 < max(natural) <= 150:
                problems.append(f"{label}: {t['src']} is {natural}, not a thumbnail of at most 150 px")
            if abs(shown[0] - natural[0]) > 0.5 or abs(shown[1] - natural[1]) > 0.5:
                problems.append(f"{label}: {t['src']} shown at {shown}, its own size is {natural}")
            if not t["inCell"]:
                problems.append(f"{label}: {t['src']} is cut off by its cell")
            if t["offCentre"] > 1:
                problems.append(f"{label}: {t['src']} is {t['offCentre']:.1f} px off its cell's centre")
    return problems


def record_tables_fit():
    work = out / "work" / "Distributable" / "Sample" / "files" / "work.html"
    # A name too long for a phone: its table may scroll in its box, never widen the page.
    long_name = work.with_name("work-long-name.html")
    long_name.write_bytes(work.read_bytes().replace(b"North Studio &amp; Co", b"Northernmoststudiosandcompany" * 2))
    problems = []
    try:
        measured = measure_sizes(work, [size for size, _ in SIZES])
        for size, label in SIZES:
            problems += table_problems(measured[size], label, True)
        problems += table_problems(measure(long_name, "390,844"), "long name", False)
    finally:
        long_name.unlink()
    return problems


def table_problems(measured, label, must_fit):
    """Cells cut off by the window's edge; with must_fit, also cells hidden in a scroll box."""
    viewport = measured["viewport"]
    problems = []
    if measured["pageWidth"] > viewport:
        problems.append(f"{label}: the page is {measured['pageWidth']} px wide in a {viewport} px window")
    if not measured["cells"]:
        problems.append(f"{label}: no table cells")
    for cell in measured["cells"]:
        where = f"{label}: cell {cell['text']!r} at {cell['left']:.0f}..{cell['right']:.0f}"
        box = cell["scroller"]
        inside = cell["left"] >= -0.5 and cell["right"] <= viewport + 0.5
        if not inside and not (box and box["left"] >= -0.5 and box["right"] <= viewport + 0.5):
            problems.append(f"{where} lies outside the {viewport} px window and no box of its own scrolls")
        elif must_fit and box and (cell["left"] < box["shownLeft"] - 0.5 or cell["right"] > box["shownRight"] + 0.5):
            problems.append(f"{where} is hidden beyond its box's edge at {box['shownRight']:.0f}")
    return problems


RECORD_COUNTS = (1, 2, 5)
ALIGN_SIZES = (("1280,900", "1280 px"), ("720,900", "720 px"), ("390,844", "390 px"))


def record_cells_line_up():
    """Each record's cells start and end where its header's do, at every width and number of
    records; a phone number wraps only at its blanks."""
    problems = []
    for count in RECORD_COUNTS:
        folder = out / f"records-{count}"
        result = subprocess.run([sample, template, str(folder), str(count)], capture_output=True, text=True)
        if result.returncode != 0:
            problems.append(f"{count} records: {result.stdout}{result.stderr}")
            continue
        page = folder / "Distributable" / "Sample" / "files" / "work.html"
        by_size = measure_sizes(page, [size for size, _ in ALIGN_SIZES])
        for size, label in ALIGN_SIZES:
            measured = by_size[size]
            where = f"{count} records at {label}"
            if len(measured["sections"]) != 2:
                problems.append(f"{where}: {len(measured['sections'])} record sections, not 2")
            for section in measured["sections"]:
                header = section["header"]
                if len(section["records"]) != count:
                    problems.append(f"{where}: {len(section['records'])} rows under {header[:1]}, not {count}")
                for row in section["records"]:
                    for cell, head in zip(row, header):
                        if abs(cell["left"] - head["left"]) > 0.5 or abs(cell["right"] - head["right"]) > 0.5:
                            problems.append(f"{where}: {row[0]['text']!r}: {cell['text']!r} at "
                                            f"{cell['left']:.0f}..{cell['right']:.0f}, its header {head['text']!r} "
                                            f"at {head['left']:.0f}..{head['right']:.0f}")
            for phone in measured["phones"]:
                if any(before.strip() for before in phone["breaksAfter"]):
                    problems.append(f"{where}: {phone['text']!r} wraps inside a word ({phone['breaksAfter']})")
    return problems


def screenshots():
    site = out / "work" / "Distributable" / "Sample"
    big = sorted((site / "files").glob("prv_*.html"))
    shots = [("index", site / "index.html"), ("galleries", site / "files" / "galleries.html"),
             ("work", site / "files" / "work.html")] + ([("bigimage", big[0])] if big else [])
    problems = []
    for name, page in shots:
        for size, label in SIZES:
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
check("ThumbnailsShowAtTheirOwnSize", thumbnails_at_own_size)
check("RecordTablesShowEveryColumn", record_tables_fit)
check("RecordCellsLineUpUnderTheirHeader", record_cells_line_up)
check("ScreenshotsAreKept", screenshots)

ok = write_report(report, "DefaultTemplate", cases)
print(f"screenshots in {out}")
sys.exit(0 if ok else 1)
