"""Starts ./run.sh twice around a portfolio in a program folder of its own and finds every file
of the portfolio whole and unchanged, and the shipped files of dist/ installed and updated;
assembles the shipped files again over a folder that holds a portfolio and finds it kept.

program_folder_test.py SOURCE_ROOT WINE_PREFIX XML_REPORT

run.sh runs headless here (no $DISPLAY: its own Xvfb) with a Wine prefix of its own, since it
ends by stopping every process of its prefix; --no-build because the caller has built. The
program folders lie outside the source tree, where run.sh accepts them; they are removed after a
pass and kept for a look after a failure."""
import ctypes
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "support"))
from gtest_report import write_report  # noqa: E402

root, prefix, report = (pathlib.Path(a) for a in sys.argv[1:4])
dist = root / "dist"
work = pathlib.Path(tempfile.mkdtemp(prefix="run-script-test-"))
cases = []

FOLDERS = ["Galleries/General", "Galleries/GlamourFashion", "Galleries/Swimwear", "Galleries/Lingerie",
           "Galleries/Sheer", "Galleries/ImpliedNudity", "Galleries/ArtNudes", "Galleries/Miscellaneous",
           "Comment Files"]


def run(home, *args):
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    env.update(VANTRELL_HOME=str(home), VANTRELL_WINEPREFIX=str(prefix))
    return subprocess.run([str(root / "run.sh"), "--no-build", *args], env=env, capture_output=True, text=True,
                          timeout=300)


def files_under(folder):
    return {p.relative_to(folder).as_posix(): p.read_bytes() for p in sorted(folder.rglob("*")) if p.is_file()}


def jpeg(path, size, colour):
    path.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["convert", "-size", size, f"gradient:{colour}", "-quality", "90", str(path)], check=True)


def make_portfolio(home):
    texts = {
        "vantrell.ini": "[Config]\r\nUseSkins=0\r\nLast Folder=Z:\\tmp\r\n[HTML]\r\nLastUsed=Mine\r\n"
                        "[Biography]\r\nName=Ann Example\r\nDOB=15/03/1990\r\n",
        "personalcomments.rtf": "{\\rtf1\\ansi Tall, patient, punctual.}",
        "workhistory.ini": "[North Studio]\r\nPhone=0113 555 0100\r\nComment File=100.rtf\r\n",
        "Comment Files/100.rtf": "{\\rtf1\\ansi Catalogue shoot, two days.}",
        "Distributable/Ann/index.html": "<html><body>Ann's site</body></html>",
        "Distributable/Ann/files/prv_beach.jpg": "built picture bytes",
        "html/Mine/index.html": "<html><body>%MODELNAME%, my own look</body></html>",
        "html/Mine/files/style.css": "body { color: plum; }",
        "notes.txt": "a file of hers the program never made",
    }
    for name, text in texts.items():
        (home / name).parent.mkdir(parents=True, exist_ok=True)
        (home / name).write_bytes(text.encode("cp1252"))
    jpeg(home / "Galleries/General/prv_beach.jpg", "834x556", "orange-navy")
    jpeg(home / "Galleries/General/thm_beach.jpg", "150x100", "orange-navy")
    jpeg(home / "Galleries/Swimwear/prv_pool.jpg", "372x556", "teal-white")
    jpeg(home / "Galleries/Swimwear/thm_pool.jpg", "67x100", "teal-white")


def check(name, function):
    try:
        problems = function()
    except Exception as e:  # a tool that fails is a failed check
        problems = [f"{type(e).__name__}: {e}"]
    cases.append((name, "\n".join(problems)))


def shipped_problems(home):
    problems = []
    for name, data in files_under(dist).items():
        if not (home / name).is_file():
            problems.append(f"shipped {name} missing")
        elif (home / name).read_bytes() != data:
            problems.append(f"shipped {name} not updated")
    return problems


def failed_run(result, what):
    return [f"run.sh {what} failed ({result.returncode}):\n{result.stdout}{result.stderr}"]


def screenshot_problems(result):
    """run.sh prints the path of the screenshot it took; removed, so the next run makes its own."""
    shot = pathlib.Path(result.stdout.strip().splitlines()[-1]) if result.stdout.strip() else None
    if not shot or not shot.is_file():
        return [f"no screenshot: {result.stdout!r}"]
    shot.unlink()
    return []


def portfolio_problems(home, portfolio, shipped):
    """Every file of the portfolio whole and unchanged, and nothing but shipped files added."""
    now = {k: v for k, v in files_under(home).items() if k not in shipped}
    problems = []
    for name, data in portfolio.items():
        if name not in now:
            problems.append(f"{name} was deleted")
        elif now[name] != data:
            problems.append(f"{name} was changed")
    return problems + [f"{name} appeared in the program folder" for name in now if name not in portfolio]


def portfolio_survives_two_runs():
    # A portfolio restored from a backup into a new folder, then a run that installs the
    # programs beside it and one that updates them.
    home = work / "Ann's Vantrell"  # a blank and a quote, as a user's folder may have
    make_portfolio(home)
    shipped = set(files_under(dist))
    portfolio = files_under(home)

    first = run(home)
    if first.returncode != 0:
        return failed_run(first, "beside a portfolio")
    problems = [f"first run: {p}" for p in portfolio_problems(home, portfolio, shipped) + shipped_problems(home)]
    problems += [f"the program did not run in {home}: no {f}" for f in FOLDERS if not (home / f).is_dir()]
    problems += screenshot_problems(first)

    # An older install: a changed help file and stylesheet, a page gone.
    (home / "vantrell.pdf").write_bytes(b"%PDF old help")
    (home / "html/Default/files/style.css").write_bytes(b"body { color: red; }")
    (home / "html/Default/index.html").unlink()
    second = run(home)
    if second.returncode != 0:
        return problems + failed_run(second, "around a portfolio")
    problems += screenshot_problems(second)
    return problems + [f"second run: {p}" for p in portfolio_problems(home, portfolio, shipped) + shipped_problems(home)]


def refuses_a_folder_a_rebuild_deletes():
    problems = []
    for home in (dist / "Portfolio", root / "build" / "Vantrell"):
        existed = home.exists()
        result = run(home)
        if result.returncode == 0 or "rebuild deletes" not in result.stderr:
            problems.append(f"{home} accepted: {result.stdout}{result.stderr}")
        if home.exists() and not existed:
            problems.append(f"{home} was made")
    return problems


def a_failed_update_keeps_her_files():
    # Her folder where a shipped file belongs: the update fails, says so and changes nothing.
    home = work / "Blocked"
    (home / "vantrell.pdf").mkdir(parents=True)
    (home / "vantrell.pdf" / "mine.txt").write_text("kept")
    (home / "notes.txt").write_text("kept too")
    before = files_under(home)
    result = run(home)
    problems = []
    if result.returncode == 0 or "vantrell.pdf" not in result.stderr:
        problems.append(f"run.sh did not report the failed update: {result.returncode} {result.stderr}")
    after = {k: v for k, v in files_under(home).items() if k not in set(files_under(dist))}
    if after != before:
        problems.append(f"files changed: {sorted(before)} -> {sorted(after)}")
    return problems


def reassembly_keeps_a_portfolio():
    # A portfolio made by running the program from dist/ itself, as run.sh once did.
    problems = []
    layouts = [("shipped files and the folders the program makes at start", {}),
             ("a portfolio", {"vantrell.ini": b"[Biography]\r\nName=Ann\r\n",
                              "Galleries/General/prv_a.jpg": b"picture", "html/Mine/index.html": b"mine"})]
    for number, (what, portfolio) in enumerate(layouts):
        folder = work / f"assembled{number}" / "dist"
        shutil.copytree(dist, folder)
        for name in FOLDERS:
            (folder / name).mkdir(parents=True, exist_ok=True)
        for name, data in portfolio.items():
            (folder / name).parent.mkdir(parents=True, exist_ok=True)
            (folder / name).write_bytes(data)
        result = subprocess.run([str(root / "scripts" / "assemble-dist.sh"), str(folder)], capture_output=True,
                                text=True, timeout=300)
        if result.returncode != 0:
            problems.append(f"{what}: assemble-dist.sh failed: {result.stderr}")
            continue
        if files_under(folder) != files_under(dist):
            problems.append(f"{what}: the folder was not made anew: {sorted(files_under(folder))}")
        kept = sorted(folder.parent.glob("dist.kept-*"))
        if not portfolio and kept:
            problems.append(f"{what}: kept {kept} though nothing in it was hers")
        if portfolio and (len(kept) != 1 or any(files_under(kept[0]).get(n) != d for n, d in portfolio.items())):
            problems.append(f"{what}: not kept whole: {kept} {result.stderr}")
    return problems


def the_virtual_recorder_keeps_her_own_layer():
    # A WNASPI32.dll of another maker (any letter case) is hers; ours is replaced, her ini kept.
    problems = []
    install = str(root / "scripts" / "install-recorder.sh")
    home = work / "Recorder"
    home.mkdir()
    (home / "wnaspi32.DLL").write_bytes(b"her own layer")
    result = subprocess.run([install, str(home)], capture_output=True, text=True, timeout=60)
    if result.returncode == 0 or files_under(home) != {"wnaspi32.DLL": b"her own layer"}:
        problems.append(f"her layer not kept: {result.returncode} {sorted(files_under(home))} {result.stderr}")
    (home / "wnaspi32.DLL").unlink()
    (home / "vcdr.ini").write_bytes(b"[device0]\r\naddress=0:2:0\r\n")
    for attempt in ("first", "second"):
        result = subprocess.run([install, str(home)], capture_output=True, text=True, timeout=60)
        if result.returncode != 0 or not (home / "WNASPI32.dll").is_file():
            problems.append(f"{attempt} install failed: {result.stderr}")
    if (home / "vcdr.ini").read_bytes() != b"[device0]\r\naddress=0:2:0\r\n":
        problems.append("her vcdr.ini was rewritten")
    return problems


def the_wine_prefix_never_takes_her_folder():
    # run.sh pointed at a Wine prefix that is her program folder, lies in it, holds it, or is a
    # folder of hers or a prefix of someone else's: refused with a message, nothing deleted.
    home = work / "Prefix Home"
    make_portfolio(home)
    mine = work / "Her Papers"
    (mine / "notes.txt").parent.mkdir(parents=True)
    (mine / "notes.txt").write_text("kept")
    theirs = work / "Their Prefix"
    theirs.mkdir()
    (theirs / "system.reg").write_text("WINE REGISTRY Version 2")
    shipped = set(files_under(dist))
    portfolio = files_under(home)
    problems = []
    for what, prefix in [("the program folder", home), ("a folder in it", home / "wine"),
                         ("a folder holding it", work), ("a folder of hers", mine), ("another's prefix", theirs)]:
        outside = {p: files_under(p) for p in (mine, theirs)}
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        env.update(VANTRELL_HOME=str(home), VANTRELL_WINEPREFIX=str(prefix))
        result = subprocess.run([str(root / "run.sh"), "--no-build"], env=env, capture_output=True, text=True,
                                timeout=300)
        if result.returncode == 0 or "refusing the Wine prefix" not in result.stderr:
            problems.append(f"{what} accepted: {result.returncode} {result.stderr}")
        problems += [f"{what}: {p}" for p in portfolio_problems(home, portfolio, shipped)]
        problems += [f"{what}: {p} changed" for p, files in outside.items() if files_under(p) != files]
        if (home / "wine").exists():
            problems.append(f"{what}: a prefix was made in the program folder")
    return problems


check("TheWinePrefixNeverTakesHerFolder", the_wine_prefix_never_takes_her_folder)


SHIPPED_TARGETS = {"vantrell", "vantburn", "help_pdf"}


def run_builds_only_what_it_starts():
    """run.sh (building, over a built tree) asks cmake for the skins, the programs and the help
    file only, and with --virtual-recorder for the recorder's DLL too: never a whole tree."""
    problems = []
    tools = work / "cmake-log"
    tools.mkdir()
    log = tools / "calls"
    real = shutil.which("cmake")
    (tools / "cmake").write_text(f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{log}"\nexec "{real}" "$@"\n')
    (tools / "cmake").chmod(0o755)
    for args, wanted in (((), SHIPPED_TARGETS), (("--virtual-recorder",), SHIPPED_TARGETS | {"wnaspi32"})):
        log.write_text("")
        home = work / f"Built{len(args)}"
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        env.update(VANTRELL_HOME=str(home), VANTRELL_WINEPREFIX=str(prefix), PATH=f"{tools}:{env['PATH']}")
        result = subprocess.run([str(root / "run.sh"), *args], env=env, capture_output=True, text=True, timeout=600)
        what = " ".join(("run.sh",) + args)
        if result.returncode != 0:
            problems += failed_run(result, what)
            continue
        problems += screenshot_problems(result)
        builds = [line.split() for line in log.read_text().splitlines() if line.startswith("--build")]
        trees = {}
        for call in builds:
            targets = set(call[call.index("--target") + 1:]) - {"-j"} if "--target" in call else None
            targets = {t for t in targets if not t.isdigit()} if targets is not None else None
            trees.setdefault(pathlib.Path(call[1]).name, []).append(targets)
        if trees.get("native") != [{"skins"}]:
            problems.append(f"{what}: the native tree built {trees.get('native')}, not the skins alone")
        if trees.get("win") != [wanted]:
            problems.append(f"{what}: the Windows tree built {trees.get('win')}, not {sorted(wanted)}")
    return problems


class Display:
    """A private Xvfb (kept as it is when its last client leaves). With a manager, a stand-in for
    a window manager holds a connection: the root window names its check window, which names
    itself, as an EWMH manager's does; it answers nothing, so Wine waits at a managed hide."""

    def __init__(self, manager):
        number = 140
        while pathlib.Path(f"/tmp/.X{number}-lock").exists() or pathlib.Path(f"/tmp/.X11-unix/X{number}").exists():
            number += 1
        self.name = f":{number}"
        self.server = subprocess.Popen(["Xvfb", self.name, "-noreset", "-screen", "0", "1280x1024x24", "-nolisten",
                                        "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while not pathlib.Path(f"/tmp/.X11-unix/X{number}").exists():
            if time.monotonic() > deadline or self.server.poll() is not None:
                raise RuntimeError(f"Xvfb {self.name} did not start")
            time.sleep(0.05)
        self.x11 = self.connection = None
        if manager:
            x11 = ctypes.CDLL("libX11.so.6")
            x11.XOpenDisplay.restype = ctypes.c_void_p
            x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
            x11.XDefaultRootWindow.restype = ctypes.c_ulong
            x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
            x11.XCreateSimpleWindow.restype = ctypes.c_ulong
            x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + \
                [ctypes.c_uint] * 3 + [ctypes.c_ulong] * 2
            x11.XInternAtom.restype = ctypes.c_ulong
            x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
            x11.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                                            ctypes.c_int, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
            x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
            self.connection = x11.XOpenDisplay(self.name.encode())
            root = x11.XDefaultRootWindow(self.connection)
            check_window = x11.XCreateSimpleWindow(self.connection, root, 0, 0, 1, 1, 0, 0, 0)
            atom = x11.XInternAtom(self.connection, b"_NET_SUPPORTING_WM_CHECK", 0)
            named = (ctypes.c_ulong * 1)(check_window)
            xa_window, prop_mode_replace = 33, 0
            for window in (root, check_window):
                x11.XChangeProperty(self.connection, window, atom, xa_window, 32, prop_mode_replace, named, 1)
            x11.XSync(self.connection, 0)
            self.x11 = x11

    def close(self):
        if self.x11:
            self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
            self.x11.XCloseDisplay(self.connection)
        self.server.terminate()
        self.server.wait(timeout=20)


def managed_setting(program):
    """The Managed value run.sh left for a program in the prefix's user registry."""
    text = (prefix / "user.reg").read_text(errors="replace")
    found = re.search(r"^\[Software\\\\Wine\\\\AppDefaults\\\\" + re.escape(program) +
                      r"\\\\X11 Driver\][^\[]*?^\"Managed\"=\"(\w)\"", text, re.M | re.S)
    return found.group(1) if found else None


DIALOG_CLOSES = 3
# Wine waits up to 2 s for a window manager at each hide of a managed window: a close that
# takes half of that has waited.
WAITED_CLOSE_SECONDS = 1.0


def windows_managed_only_where_a_manager_runs():
    """run.sh on a display (not its own Xvfb): without a window manager the windows stay
    unmanaged and a dialog's close waits for nothing; with one they are managed."""
    timer = root / "build" / "win" / "tests" / "program_folder" / "dialog_close_timer.exe"
    problems = []
    for manager, closes, expected in ((False, DIALOG_CLOSES, "N"), (True, 1, "Y")):
        what = "with a window manager" if manager else "without a window manager"
        home = work / f"Display {'managed' if manager else 'unmanaged'}"
        display, started = Display(manager), None
        env = {k: v for k, v in os.environ.items()}
        env.update(DISPLAY=display.name, VANTRELL_HOME=str(home), VANTRELL_WINEPREFIX=str(prefix),
                   WINEPREFIX=str(prefix), WINEDEBUG="-all")
        try:
            started = subprocess.Popen([str(root / "run.sh"), "--no-build"], env=env, stdout=subprocess.PIPE,
                                       stderr=subprocess.PIPE, text=True)
            timed = subprocess.run(["wine", str(timer), str(closes)], env=env, capture_output=True, text=True,
                                   timeout=240)
            out, err = started.communicate(timeout=120)
            # The registry reaches user.reg when the prefix's server ends.
            subprocess.run(["wineserver", "-w"], env=env, capture_output=True, timeout=120)
            seconds = [float(s) for s in re.findall(r"dialog close \d+: ([0-9.]+) s", timed.stdout)]
            print(f"{what}: dialog closes took {', '.join(f'{s:.3f}' for s in seconds)} s")
            if timed.returncode != 0 or len(seconds) != closes:
                problems.append(f"{what}: the dialogs were not closed: {timed.stdout}{timed.stderr}")
            if started.returncode != 0:
                problems.append(f"{what}: run.sh failed ({started.returncode}): {out}{err}")
            for program in ("vantrell.exe", "vantburn.exe"):
                if managed_setting(program) != expected:
                    problems.append(f"{what}: {program} Managed={managed_setting(program)}, not {expected}")
            if not manager:
                problems += [f"{what}: a dialog close took {s:.3f} s" for s in seconds if s >= WAITED_CLOSE_SECONDS]
        finally:
            if started and started.poll() is None:
                started.kill()
                subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
            display.close()
    return problems


check("RefusesAFolderARebuildDeletes", refuses_a_folder_a_rebuild_deletes)
check("ReassemblyKeepsAPortfolio", reassembly_keeps_a_portfolio)
check("AFailedUpdateKeepsHerFiles", a_failed_update_keeps_her_files)
check("PortfolioSurvivesTwoRuns", portfolio_survives_two_runs)
check("TheVirtualRecorderKeepsHerOwnLayer", the_virtual_recorder_keeps_her_own_layer)
check("RunBuildsOnlyWhatItStarts", run_builds_only_what_it_starts)
check("WindowsManagedOnlyWhereAManagerRuns", windows_managed_only_where_a_manager_runs)
passed = write_report(str(report), "ProgramFolder", cases)
if passed:
    shutil.rmtree(work)
else:
    print(f"program folders kept in {work}")
sys.exit(0 if passed else 1)
