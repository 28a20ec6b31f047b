"""Masters a fixture tree with burn_mkimage.exe under Wine and reads the image back with the
peers: isovfy, isoinfo, osirrox, 7z, bsdtar, pycdlib and xorriso's own mastering.

check_image.py FIXTURE WORK_FOLDER BURN_MKIMAGE_EXE SAMPLE_SITE_EXE TEMPLATE_FOLDER
FIXTURE: awkward, portfolio, empty or dates.
check_image.py disc WORK_FOLDER SOURCE_FOLDER DISC_IMAGE
  the same reading back of a burnt disc's image (a single session from sector 0) against the
  folder it was burnt from, which is left alone.
Prints every failed check; exits 1 on any."""
import datetime
import hashlib
import os
import pathlib
import re
import shutil
import subprocess
import sys
import zoneinfo

import pycdlib

fixture, work = sys.argv[1], pathlib.Path(sys.argv[2])
if fixture != "disc":
    mkimage, sample_site, template = sys.argv[3:6]
failures = []


def fail(text):
    failures.append(text)
    print("FAIL:", text, flush=True)


def run(args, env=None, check=True):
    r = subprocess.run(args, capture_output=True, env=env)
    if check and r.returncode != 0:
        fail(f"{args[0]} exited {r.returncode}: {r.stderr.decode(errors='replace')[:400]}")
    return r


def write(path, size, seed):
    path.parent.mkdir(parents=True, exist_ok=True)
    data = hashlib.sha256(str(seed).encode()).digest() * (size // 32 + 1)
    path.write_bytes(data[:size])


def make_awkward(src):
    write(src / "with blanks in it.txt", 100, 1)
    write(src / "Café crème.htm", 300, 2)
    write(src / "Łódź.txt", 500, 3)
    write(src / "README", 4000, 4)
    write(src / "empty.txt", 0, 5)
    for size in (2048, 63488, 63489):
        write(src / f"size{size}.bin", size, size)
    write(src / ("f" * 104 + ".txt"), 10, 6)   # 108 characters: kept
    write(src / ("g" * 105 + ".txt"), 10, 7)   # 109: skipped
    write(src / "Level1" / ("h" * 106 + ".txt"), 10, 14)  # skipped one level down
    write(src / ("n" * 107), 10, 8)            # 107 and the added ".": kept
    write(src / ("D" * 110) / "in.txt", 10, 9)  # folder of 110: kept
    write(src / ("E" * 111) / "in.txt", 10, 10)  # 111: skipped with its contents
    write(src / ".hidden.txt", 20, 11)
    write(src / "a;b.txt", 30, 12)
    deep = src
    for level in range(1, 11):
        deep = deep / ("Level1" if level == 1 else f"level{level}")
    write(deep / "bottom.txt", 40, 13)
    for i in range(1, 1501):
        write(src / "gallery" / f"thm_IMG_{i:04}.jpg", 200 + i % 700, 100 + i)


def make_portfolio(src):
    site_work = work / "site-work"
    shutil.rmtree(site_work, ignore_errors=True)
    run([sample_site, template, str(site_work)])
    shutil.copytree(site_work / "Distributable" / "Sample", src)


def make_dates(src):
    for name, when in (("winter.txt", "2024-01-15 12:34:56 UTC"), ("new year.txt", "2023-01-01 03:00:00 UTC")):
        write(src / name, 10, name)
        subprocess.run(["touch", "-d", when, str(src / name)], check=True)


def windows(path):
    return "Z:" + str(path).replace("/", "\\")


def master(src, image, tz="UTC"):
    env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", TZ=tz)
    # Through a file, not a pipe: Wine's service processes inherit it and outlive the program.
    log = work / "burn_mkimage.log"
    with open(log, "wb") as f:
        code = subprocess.run(["timeout", "600", "wine", mkimage, windows(src), windows(image)], env=env,
                              stdout=f, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL).returncode
    out = log.read_bytes().decode("utf-8", errors="replace")
    if code != 0:
        fail(f"burn_mkimage exited {code}: {out[-2000:]}")
    skipped = {m.replace("\\", "/") for m in re.findall(r'SKIPPED "(.*)"', out)}
    sectors = re.search(r"IMAGE SECTORS (\d+)", out)
    return skipped, int(sectors.group(1)) if sectors else 0


def expected_tree(src, skipped):
    """Joliet paths of the source: "." added to extension-less files, logged skips removed."""
    paths = {}
    for path in sorted(src.rglob("*")):
        rel = "/" + path.relative_to(src).as_posix()
        if path.is_file() and "." not in path.name:
            rel += "."
        if any(rel == s or rel.startswith(s + "/") for s in skipped):
            continue
        paths[rel] = path
    return paths


def strip_version(name):
    return name[:-2] if name.endswith(";1") else name


def walk(iso, joliet):
    found = {}
    key = "joliet_path" if joliet else "iso_path"
    for root, dirs, files in iso.walk(**{key: "/"}):
        for d in dirs:
            found[(root.rstrip("/") + "/" + d)] = None
        for f in files:
            full = root.rstrip("/") + "/" + f
            found[strip_version(full)] = iso.get_record(**{key: full})
    return found


def file_bytes(path):
    return path.read_bytes()


def wine_iso_names(src):
    """What each folder's entries should be called in the ISO tree, from Wine's own listing:
    the alternate name, or the upper-cased long name when there is none."""
    env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    listing = work / "dir.txt"
    with open(listing, "wb") as f:
        subprocess.run(["wine", "cmd", "/c", "dir", "/s", "/x", "/a", windows(src)], env=env, stdout=f,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    folders, current = {}, None
    for line in listing.read_bytes().decode("cp1252", errors="replace").splitlines():
        if line.startswith("Directory of "):
            rel = line[len("Directory of "):].replace("\\", "/")[len(windows(src)):]
            current = folders.setdefault(rel or "/", [])
        elif current is not None and len(line) > 49 and line[2] == "/" and line[49:] not in (".", ".."):
            is_dir = "<DIR>" in line[20:36]
            short, long_name = line[36:48].strip(), line[49:]
            iso = short or long_name.upper()
            if not is_dir and "." not in iso:
                iso += "."
            current.append((iso, is_dir, long_name))
    return folders


def check_image(src, image, skipped):
    exp = expected_tree(src, skipped)
    raw = image.read_bytes()

    vfy = run(["isovfy", str(image)]).stdout.decode(errors="replace")
    # isovfy ends its walk at a record with the hidden bit (also in genisoimage -hidden images)
    # without a verdict: the fixtures without hidden files give the full one.
    stopped_at_hidden = "Flags=(1)" in vfy and "***" not in vfy
    if "No errors found" not in vfy and not stopped_at_hidden:
        fail("isovfy: " + vfy[-800:])

    info = run(["isoinfo", "-d", "-i", str(image)]).stdout.decode("latin-1")
    for line in ("Logical block size is: 2048", "Joliet with UCS level 1 found", "NO Rock Ridge present"):
        if line not in info:
            fail("isoinfo -d lacks " + line)
    volume = int(re.search(r"Volume size is: (\d+)", info).group(1))

    # Joliet names through isoinfo (Latin-1 names only) and through pycdlib (all).
    listed = {strip_version(l) for l in run(["isoinfo", "-J", "-f", "-i", str(image)]).stdout.decode("latin-1").splitlines()}
    latin = {p for p in exp if all(ord(c) < 256 for c in p)}
    if not latin <= listed or len(listed) != len(exp):
        fail(f"isoinfo -J -f: missing {sorted(latin - listed)[:5]}, {len(listed)} listed, {len(exp)} expected")
    iso = pycdlib.PyCdlib()
    iso.open(str(image))
    joliet = walk(iso, True)
    if set(joliet) != set(exp):
        fail(f"pycdlib Joliet tree: extra {sorted(set(joliet) - set(exp))[:5]} missing {sorted(set(exp) - set(joliet))[:5]}")

    # Contents through three extractors.
    long_names = {part for p in exp for part in p.split("/") if len(part) > 103}
    reference = work / "expected"
    shutil.rmtree(reference, ignore_errors=True)
    reference.mkdir()
    for rel, path in exp.items():
        target = reference / rel.lstrip("/").rstrip(".") if path.is_file() and "." not in path.name else reference / rel.lstrip("/")
        if path.is_dir():
            target.mkdir(parents=True, exist_ok=True)
        else:
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(path, target)
    for tool, command in (("osirrox", ["osirrox", "-indev", str(image), "-extract", "/", "{out}"]),
                          ("7z", ["7z", "x", "-o{out}", str(image)]),
                          ("bsdtar", ["bsdtar", "-xf", str(image), "-C", "{out}"])):
        out = work / ("out-" + tool)
        shutil.rmtree(out, ignore_errors=True)
        out.mkdir()
        run([a.replace("{out}", str(out)) for a in command])
        if tool == "bsdtar":  # it keeps the full stop added to extension-less files
            for p in sorted(out.rglob("*."), reverse=True):
                if p.is_file():
                    p.rename(p.with_name(p.name[:-1]))
        os.chmod(out, 0o755)
        for p in out.rglob("*"):
            os.chmod(p, 0o755 if p.is_dir() else 0o644)
        # bsdtar cuts Joliet names at 103 characters; longer ones are left out of its comparison.
        cut = [x for n in long_names for x in ("-x", n[:100] + "*")] if tool == "bsdtar" else []
        d = run(["diff", "-r", *cut, str(reference), str(out)], check=False)
        if d.returncode != 0:
            fail(f"{tool} extract differs: {d.stdout.decode(errors='replace')[:600]}")

    # The ISO tree: unique names in each folder, each file read through its ISO name.
    iso_listing = [l for l in run(["isoinfo", "-f", "-i", str(image)]).stdout.decode("latin-1").splitlines()]
    if len(iso_listing) != len(set(iso_listing)):
        fail("isoinfo -f: repeated ISO names")
    by_folder = {}
    for line in iso_listing:
        parent, name = line.rsplit("/", 1)
        by_folder.setdefault(parent or "/", set()).add(strip_version(name))
    iso_folder = {"/": "/"}  # source folder -> ISO folder, ASCII folder names only
    for rel, entries in sorted(wine_iso_names(src).items(), key=lambda kv: kv[0].count("/")):
        if rel not in iso_folder:
            continue
        kept = [(short, d, n) for short, d, n in entries
                if (rel.rstrip("/") + "/" + n + ("" if d or "." in n else ".")) not in skipped]
        got = by_folder.get(iso_folder[rel], set())
        wanted = {short for short, _, _ in kept}
        if not wanted <= got or len(got) != len(kept):
            fail(f"ISO names in {rel}: missing {sorted(wanted - got)[:5]}, {len(got)} listed for {len(kept)} entries")
        for short, d, n in kept:
            if d and n.isascii():
                iso_folder[rel.rstrip("/") + "/" + n] = iso_folder[rel].rstrip("/") + "/" + short
    by_extent = {rec.extent_location(): p for p, rec in joliet.items() if rec is not None and rec.data_length > 0}
    iso_files = walk(iso, False)
    for iso_path, rec in iso_files.items():
        if rec is None:
            continue
        if rec.data_length == 0:
            continue
        jpath = by_extent.get(rec.extent_location())
        if jpath is None:
            fail(f"ISO file {iso_path} lies where no Joliet file does")
            continue
        got = run(["isoinfo", "-i", str(image), "-x", iso_path + ";1"]).stdout
        if got != file_bytes(exp[jpath]):
            fail(f"ISO file {iso_path} differs from {jpath}")
    if len(iso_files) != len(joliet):
        fail(f"{len(iso_files)} ISO entries, {len(joliet)} Joliet ones")
    # And each file read through its Joliet name (isoinfo reads Latin-1 names only).
    for jpath in sorted(latin):
        if exp[jpath].is_file():
            got = run(["isoinfo", "-J", "-i", str(image), "-x", (jpath + ";1").encode("latin-1")]).stdout
            if got != file_bytes(exp[jpath]):
                fail(f"Joliet file {jpath} read by isoinfo differs from the source")

    # Path tables: the root first, then by parent number, then name.
    for flag in ([], ["-J"]):
        rows = re.findall(r"^\s*(\d+):\s+(\d+) \S+ ?(.*)$", run(["isoinfo", *flag, "-p", "-i", str(image)]).stdout.decode("latin-1"), re.M)
        keys = [(int(parent), name) for _, parent, name in rows]
        if not keys or keys[0] != (1, ""):
            fail(f"path table {flag}: root is not record 1")
        if keys[1:] != sorted(keys[1:]):
            fail(f"path table {flag} out of order")

    # Placement: back to back in table order from max(150, end of metadata); empty files at 0.
    report = run(["xorriso", "-indev", str(image), "-find", "/", "-exec", "report_lba", "--"]).stdout.decode()
    rows = [(int(lba), int(blocks), int(size), path) for lba, blocks, size, path in
            re.findall(r"File data lba:\s*\d+\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*'(.*)'", report)]
    data = sorted(r for r in rows if r[2] > 0)
    for lba, blocks, size, path in rows:
        if size == 0 and lba != 0:
            fail(f"empty file {path} at {lba}")
    metadata_end = 0
    for p, rec in list(walk(iso, True).items()) + list(walk(iso, False).items()):
        if rec is None:
            r = iso.get_record(joliet_path=p) if p in joliet else iso.get_record(iso_path=p)
            metadata_end = max(metadata_end, r.extent_location() + (r.data_length + 2047) // 2048)
    end = max(150, metadata_end)
    if data:
        if data[0][0] != end:
            fail(f"first file at {data[0][0]}, expected {end}")
        for a, b in zip(data, data[1:]):
            if b[0] != a[0] + a[1]:
                fail(f"{b[3]} at {b[0]}, not right after {a[3]}")
                break
        end = data[-1][0] + data[-1][1]
        order = [r[3] for r in data]
        folders = {os.path.dirname(p) for p in order}
        for folder in folders:  # each subtree's files lie together, its own files after its subfolders'
            inside = [i for i, p in enumerate(order) if p.startswith(folder.rstrip("/") + "/")]
            if inside != list(range(inside[0], inside[-1] + 1)):
                fail(f"files under {folder} are not together")
            own = [i for i in inside if os.path.dirname(order[i]) == folder]
            deeper = [i for i in inside if os.path.dirname(order[i]) != folder]
            if own and deeper and min(own) < max(deeper):
                fail(f"files of {folder} come before those of its subfolders")
    if volume != end:
        fail(f"volume size {volume}, files end at {end}")
    if len(raw) < 300 * 2048 or any(raw[end * 2048:]):
        fail(f"image of {len(raw)} bytes: not 300 sectors, or not zero after sector {end}")
    iso.close()
    return exp


def joliet_digest(image, dotted):
    iso = pycdlib.PyCdlib()
    iso.open(str(image))
    out = {}
    for p, rec in walk(iso, True).items():
        if rec is None:
            continue
        import io
        buf = io.BytesIO()
        iso.get_file_from_iso_fp(buf, joliet_path=p + ";1" if dotted else p)
        name = p[:-1] if p.endswith(".") else p
        out[name] = (rec.data_length, hashlib.sha1(buf.getvalue()).hexdigest())
    iso.close()
    return out


def side_by_side(src, image, skipped):
    peer = work / "peer.iso"
    run(["xorriso", "-as", "mkisofs", "--norock", "-J", "-o", str(peer), str(src)])
    ours = {p.replace(";", "_"): v for p, v in joliet_digest(image, True).items()}  # the peer maps ";" to "_"
    theirs = {}
    iso = pycdlib.PyCdlib()
    iso.open(str(peer))
    import io
    for p, rec in walk(iso, True).items():
        if rec is None:
            continue
        buf = io.BytesIO()
        iso.get_file_from_iso_fp(buf, joliet_path=p)
        theirs[p] = (rec.data_length, hashlib.sha1(buf.getvalue()).hexdigest())
    iso.close()
    # The peer cuts Joliet names at 64 characters and keeps what we skip: compare the rest.
    long = lambda p: any(len(part) >= 64 for part in p.split("/"))
    theirs = {p: v for p, v in theirs.items() if not long(p)}
    ours_cmp = {p: v for p, v in ours.items() if not long(p)}
    if ours_cmp != theirs:
        diff = set(ours_cmp.items()) ^ set(theirs.items())
        fail(f"side by side with xorriso: {len(diff)} differences, e.g. {sorted(diff)[:4]}")


def check_dates(src, image, tz, offset):
    iso = pycdlib.PyCdlib()
    iso.open(str(image))
    zone = zoneinfo.ZoneInfo(tz)
    for name in ("winter.txt", "new year.txt"):
        for key, path in (("joliet_path", "/" + name + ";1"), ("iso_path", None)):
            if path is None:
                continue
            rec = iso.get_record(**{key: path})
            d = rec.date
            local = datetime.datetime.fromtimestamp((src / name).stat().st_mtime, zone)
            got = (d.years_since_1900 + 1900, d.month, d.day_of_month, d.hour, d.minute, d.second, d.gmtoffset)
            want = (local.year, local.month, local.day, local.hour, local.minute, local.second, offset)
            if got != want:
                fail(f"{name} under TZ={tz}: record date {got}, expected {want}")
    iso.close()


def check_disc():
    src, image = pathlib.Path(sys.argv[3]), pathlib.Path(sys.argv[4])
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    check_image(src, image, set())
    if not failures:
        print("all checks passed", len(list(src.rglob("*"))), "source entries")
        shutil.rmtree(work, ignore_errors=True)
    sys.exit(1 if failures else 0)


def main():
    if fixture == "disc":
        check_disc()
    shutil.rmtree(work, ignore_errors=True)
    src = work / "src"
    src.mkdir(parents=True)
    if fixture == "awkward":
        make_awkward(src)
    elif fixture == "portfolio":
        src.rmdir()
        make_portfolio(src)
    elif fixture == "dates":
        make_dates(src)
    image = work / "image.iso"
    if fixture == "dates":
        for tz, offset in (("UTC", 0), ("America/New_York", -20)):
            master(src, image, tz)
            check_dates(src, image, tz, offset)
    else:
        skipped, sectors = master(src, image)
        if fixture == "awkward" and skipped != {"/" + "g" * 105 + ".txt", "/" + "E" * 111, "/Level1/" + "h" * 106 + ".txt"}:
            fail(f"logged skips: {sorted(skipped)}")
        if image.exists():
            if image.stat().st_size != sectors * 2048:
                fail(f"ImageSectors {sectors}, image of {image.stat().st_size} bytes")
            check_image(src, image, skipped)
            if fixture != "empty":  # xorriso writes no image of an empty tree
                side_by_side(src, image, skipped)
        else:
            fail("no image file")
    if not failures:
        print("all checks passed", len(list(src.rglob("*"))), "source entries")
        shutil.rmtree(work, ignore_errors=True)
    sys.exit(1 if failures else 0)


main()
