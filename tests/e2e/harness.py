"""Test environment and helpers for the end-to-end cases: a private Xvfb and cupsd, the real
program started under them, driven with xdotool the way a person would (real key and mouse
events through XTEST; Qt ignores synthetic ones), and readers for what it leaves behind: the
card table (sqlite3 CLI), the PDFs it saves or prints (pdfinfo, pdftotext -bbox), its memory
(/proc) and its windows' pixels (the Xvfb frame buffer file).

Only the Python standard library is used."""

import html
import json
import os
import pathlib
import pwd
import re
import secrets
import select
import shutil
import signal
import subprocess
import tempfile
import time

SKIP = 77  # ctest's SKIP_RETURN_CODE for these tests
MAIN_CAPTION = "賓果彩卷列印"
CALLER_CAPTION = "賓果對獎"
PREVIEW_CAPTION = "Bingo"
PRINTER = "bingo-e2e-pdf"
# A second cups-pdf queue whose printer defaults to printing on both sides, as many office
# printers do.
DUPLEX_PRINTER = "bingo-e2e-duplex"
CUPS_PDF_BACKEND = "/usr/lib/cups/backend/cups-pdf"
CUPS_PDF_PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"
CUPS_PDF_CONF = "/etc/cups/cups-pdf.conf"
DUPLEX_PPD_OPTION = """
*OpenUI *Duplex/Two-Sided Printing: PickOne
*OrderDependency: 10 AnySetup *Duplex
*DefaultDuplex: DuplexNoTumble
*Duplex None/Off: ""
*Duplex DuplexNoTumble/Long Edge: ""
*Duplex DuplexTumble/Short Edge: ""
*CloseUI: *Duplex
"""


class Failure(Exception):
    """A check of a case did not hold; the message says what was seen."""


class Skip(Exception):
    """The case cannot run on this machine; the message says why."""


def log(*parts):
    print(*parts, flush=True)


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, timeout, what, interval=0.1, abort=None):
    """Polls predicate until it returns something truthy; raises Failure naming what after
    timeout seconds, or at once when abort (if given) returns a reason to stop waiting. This
    bounds waiting only; nothing is measured."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        reason = abort() if abort else None
        if reason:
            raise Failure(f"while waiting for {what}: {reason}")
        if time.monotonic() > deadline:
            raise Failure(f"gave up waiting after {timeout} s for {what}")
        time.sleep(interval)


def run(cmd, env=None, check_rc=True, timeout=60, input_text=None):
    result = subprocess.run(cmd, env=env, capture_output=True, text=True, timeout=timeout,
                            input=input_text, stdin=None if input_text is not None else subprocess.DEVNULL)
    if check_rc and result.returncode != 0:
        raise Failure(f"{' '.join(map(str, cmd))} exited {result.returncode}: "
                      f"{result.stderr.strip() or result.stdout.strip()}")
    return result


# ----------------------------------------------------------------------------------------------
# Processes we start, and stop by their ids

def _process_name(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            stat = f.read()
    except OSError:
        return None
    name = stat[stat.index("(") + 1:stat.rindex(")")]
    state = stat[stat.rindex(")") + 2]
    return None if state in "ZX" else name


def stop_process(pid, expected_name, grace=5.0):
    """Stops the process pid if it is still the one we started (its name is expected_name):
    SIGTERM, then SIGKILL after grace seconds."""
    if not pid or _process_name(pid) != expected_name:
        return
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 2.0)):
        try:
            os.kill(pid, sig)
        except ProcessLookupError:
            return
        deadline = time.monotonic() + wait
        while time.monotonic() < deadline:
            if _process_name(pid) != expected_name:
                return
            time.sleep(0.05)


# ----------------------------------------------------------------------------------------------
# The environment: Xvfb and cupsd, started once for all cases (a ctest fixture)

def _start_xvfb(runtime):
    fbdir = runtime / "fb"
    fbdir.mkdir()
    read_end, write_end = os.pipe()
    with open(runtime / "xvfb.log", "wb") as out:
        proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-noreset", "-fbdir", str(fbdir)],
            stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
            pass_fds=(write_end,), start_new_session=True)
    os.close(write_end)
    display = b""
    deadline = time.monotonic() + 20
    while not display.endswith(b"\n") and time.monotonic() < deadline:
        ready, _, _ = select.select([read_end], [], [], 0.5)
        if ready:
            chunk = os.read(read_end, 64)
            if not chunk:
                break
            display += chunk
    os.close(read_end)
    if not display.strip():
        stop_process(proc.pid, "Xvfb")
        raise Failure("Xvfb did not start: " + (runtime / "xvfb.log").read_text(errors="replace"))
    return proc.pid, ":" + display.decode().strip(), str(fbdir / "Xvfb_screen0")


def _cups_pdf_out_dir():
    """Where cups-pdf writes a job of the user running the tests (its "Out" setting)."""
    out = "${HOME}/PDF"
    try:
        for line in pathlib.Path(CUPS_PDF_CONF).read_text().splitlines():
            fields = line.split(None, 1)
            if len(fields) == 2 and fields[0] == "Out":
                out = fields[1].strip()
    except OSError:
        pass
    user = pwd.getpwuid(os.getuid())
    return out.replace("${HOME}", user.pw_dir).replace("${USER}", user.pw_name)


def _start_cupsd(runtime):
    """Starts a private cupsd (own config, spool and socket) with a cups-pdf queue as its default
    printer and a second one whose default is two-sided. Returns (pid, server, reason): reason is None on success, else why printing can't
    be tested here."""
    if not os.access("/usr/sbin/cupsd", os.X_OK):
        return None, None, "cupsd is not installed"
    if not os.path.exists(CUPS_PDF_BACKEND):
        return None, None, "the cups-pdf backend is not installed"
    if os.geteuid() != 0:
        return None, None, "cupsd and the cups-pdf backend need root, and the tests run as uid %d" % os.geteuid()
    cups = runtime / "cups"
    for sub in ("root/ppd", "spool", "cache", "state", "log", "tmp"):
        (cups / sub).mkdir(parents=True)
    # The filters run as lp and write their temporary files here.
    (cups / "tmp").chmod(0o1777)
    socket_path = cups / "cups.sock"
    (cups / "root" / "cupsd.conf").write_text(f"""Listen {socket_path}
LogLevel info
WebInterface No
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
DefaultEncryption Never
PreserveJobHistory Yes
PreserveJobFiles Yes
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
""")
    (cups / "root" / "cups-files.conf").write_text(f"""ServerRoot {cups}/root
RequestRoot {cups}/spool
CacheDir {cups}/cache
StateDir {cups}/state
TempDir {cups}/tmp
AccessLog {cups}/log/access_log
ErrorLog {cups}/log/error_log
PageLog {cups}/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
FileDevice No
SystemGroup root
""")
    # cups-pdf writes every environment's jobs into the same directory, named by job id: start
    # the numbering somewhere of this environment's own, so that parallel runs never collide.
    first_job = 10000 + secrets.randbelow(900000)
    (cups / "cache" / "job.cache").write_text(f"# Job cache file for CUPS\nNextJobId {first_job}\n")
    config = ["-c", str(cups / "root" / "cupsd.conf"), "-s", str(cups / "root" / "cups-files.conf")]
    test = run(["/usr/sbin/cupsd", "-t", *config], check_rc=False)
    if test.returncode != 0:
        return None, None, f"cupsd refuses its configuration: {(test.stdout + test.stderr).strip()}"
    with open(cups / "log" / "cupsd.out", "wb") as out:
        proc = subprocess.Popen(
            ["/usr/sbin/cupsd", "-f", *config],
            stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
    env = dict(os.environ, CUPS_SERVER=str(socket_path))

    def why(text):
        stop_process(proc.pid, "cupsd")
        logs = ""
        for name in ("cupsd.out", "error_log"):
            path = cups / "log" / name
            if path.exists():
                logs += path.read_text(errors="replace")[-1500:]
        return f"{text}; cupsd said: {logs.strip() or '(nothing)'}"

    try:
        wait_until(lambda: _process_name(proc.pid) != "cupsd" or
                   run(["lpstat", "-r"], env=env, check_rc=False).stdout.startswith("scheduler is running"),
                   15, "cupsd to answer")
    except Failure as e:
        return None, None, why(str(e))
    if _process_name(proc.pid) != "cupsd":
        return None, None, why("cupsd exited at start")
    # cups-pdf's own PPD knows no duplex, and cupsd drops a two-sided default that the PPD does
    # not offer: the second queue's PPD adds the option, two-sided by default.
    duplex_ppd = cups / "duplex.ppd"
    duplex_ppd.write_text(pathlib.Path(CUPS_PDF_PPD).read_text(errors="replace") + DUPLEX_PPD_OPTION)
    for cmd in (["lpadmin", "-p", PRINTER, "-E", "-v", "cups-pdf:/", "-P", CUPS_PDF_PPD, "-o", "Label=2"],
                ["lpadmin", "-p", DUPLEX_PRINTER, "-E", "-v", "cups-pdf:/", "-P", str(duplex_ppd),
                 "-o", "Label=2", "-o", "sides-default=two-sided-long-edge"],
                ["lpadmin", "-d", PRINTER]):
        result = run(cmd, env=env, check_rc=False)
        if result.returncode != 0:
            return None, None, why(f"{' '.join(cmd)} failed: {result.stderr.strip()}")
    return proc.pid, str(socket_path), None


def env_start(state_file):
    state_file = pathlib.Path(state_file)
    env_stop(state_file)  # whatever an interrupted earlier run left behind
    runtime = pathlib.Path(tempfile.mkdtemp(prefix="bingo-e2e-"))
    runtime.chmod(0o755)  # cupsd's filters run as lp and must reach the spool below
    state = {"runtime": str(runtime)}
    state_file.parent.mkdir(parents=True, exist_ok=True)
    try:
        state["xvfb_pid"], state["display"], state["framebuffer"] = _start_xvfb(runtime)
        state_file.write_text(json.dumps(state, indent=2))
        run(["xdotool", "getdisplaygeometry"], env=dict(os.environ, DISPLAY=state["display"]))
        log(f"Xvfb {state['xvfb_pid']} on display {state['display']}")
        state["cupsd_pid"], state["cups_server"], state["cups_skip"] = _start_cupsd(runtime)
        state["cups_pdf_out"] = _cups_pdf_out_dir()
        state["cups_spool"] = str(runtime / "cups" / "spool") if state["cups_server"] else None
        state_file.write_text(json.dumps(state, indent=2))
    except BaseException:
        env_stop(state_file)
        raise
    if state["cups_skip"]:
        log(f"printing cannot be tested here: {state['cups_skip']}")
    else:
        log(f"cupsd {state['cupsd_pid']} on {state['cups_server']}, default printer {PRINTER}")


def env_stop(state_file):
    state_file = pathlib.Path(state_file)
    try:
        state = json.loads(state_file.read_text())
    except (OSError, ValueError):
        return
    stop_process(state.get("cupsd_pid"), "cupsd")
    stop_process(state.get("xvfb_pid"), "Xvfb")
    runtime = state.get("runtime")
    if runtime and os.path.basename(runtime).startswith("bingo-e2e-"):
        shutil.rmtree(runtime, ignore_errors=True)
    state_file.unlink(missing_ok=True)
    log("stopped the e2e environment")


def load_state(state_file):
    try:
        return json.loads(pathlib.Path(state_file).read_text())
    except (OSError, ValueError) as e:
        raise Failure(f"no e2e environment ({e}); the fixture e2e_env_start must run first")


# ----------------------------------------------------------------------------------------------
# The X display, through xdotool

class Display:
    def __init__(self, state):
        self.state = state
        # xdotool matches window names as text of the locale: UTF-8 for the Chinese captions.
        self.env = dict(os.environ, DISPLAY=state["display"], LC_ALL="C.UTF-8")

    def xdotool(self, *args, check_rc=True):
        return run(["xdotool", *map(str, args)], env=self.env, check_rc=check_rc)

    def windows(self, pid, name=".*"):
        """Visible windows of process pid whose title matches the regular expression name."""
        result = self.xdotool("search", "--all", "--onlyvisible", "--pid", pid, "--name", name,
                              check_rc=False)
        return [int(w) for w in result.stdout.split()]

    def window_name(self, wid):
        result = self.xdotool("getwindowname", wid, check_rc=False)
        return result.stdout.rstrip("\n") if result.returncode == 0 else None

    def wait_window(self, pid, name, timeout=30, exclude=(), abort=None):
        """The one visible window of pid titled exactly name, not among exclude."""
        pattern = "^" + re.escape(name) + "$"

        def found():
            hits = [w for w in self.windows(pid, pattern) if w not in exclude]
            return hits[0] if len(hits) == 1 else None
        return wait_until(found, timeout, f"a window {name!r} of process {pid}", abort=abort)

    def wait_gone(self, wid, timeout=15):
        def gone():
            r = self.xdotool("getwindowgeometry", wid, check_rc=False)
            if r.returncode != 0:
                return True
            # An unmapped (hidden) window counts as gone too.
            info = run(["xwininfo", "-id", str(wid)], env=self.env, check_rc=False).stdout
            return "IsViewable" not in info
        wait_until(gone, timeout, f"window {wid} to close")

    def focus(self, wid):
        self.xdotool("windowraise", wid, check_rc=False)
        self.xdotool("windowfocus", "--sync", wid)
        time.sleep(0.15)  # let Qt see the FocusIn before the keys

    def key(self, *keys):
        self.xdotool("key", "--clearmodifiers", "--delay", 40, *keys)

    def type(self, text):
        self.xdotool("type", "--clearmodifiers", "--delay", 25, text)

    def click(self, wid, x, y):
        self.xdotool("mousemove", "--window", wid, x, y)
        self.xdotool("click", 1)

    def maximise(self, wid):
        """Xvfb runs no window manager: do what one does for a window that asks to be maximised,
        give it the whole screen. Fails if the window did not ask."""
        state = run(["xprop", "-id", str(wid), "_NET_WM_STATE"], env=self.env, check_rc=False).stdout
        check("_NET_WM_STATE_MAXIMIZED_VERT" in state and "_NET_WM_STATE_MAXIMIZED_HORZ" in state,
              f"window {wid} did not ask to be maximised: {state.strip()}")
        width, height = self.xdotool("getdisplaygeometry").stdout.split()
        self.xdotool("windowmove", wid, 0, 0)
        self.xdotool("windowsize", wid, width, height)
        wait_until(lambda: self.geometry(wid)[2:] == (int(width), int(height)), 10,
                   f"window {wid} to take the whole screen")

    def geometry(self, wid):
        out = self.xdotool("getwindowgeometry", "--shell", wid).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def snapshot(self, wid, rows=(0.0, 1.0)):
        """The pixels of window wid as bytes, read from the Xvfb frame buffer (XWD format);
        rows picks a band of its height by fractions (the middle, say, without tool and status
        bars)."""
        x, y, w, h = self.geometry(wid)
        y, h = y + int(h * rows[0]), int(h * (rows[1] - rows[0]))
        with open(self.state["framebuffer"], "rb") as f:
            data = f.read()
        header_size = int.from_bytes(data[0:4], "big")
        fields = [int.from_bytes(data[i:i + 4], "big") for i in range(0, 100, 4)]
        width, height = fields[4], fields[5]
        bits_per_pixel, bytes_per_line, ncolors = fields[11], fields[12], fields[19]
        offset = header_size + ncolors * 12
        bpp = bits_per_pixel // 8
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(width, x + w), min(height, y + h)
        rows = []
        for row in range(y0, y1):
            start = offset + row * bytes_per_line + x0 * bpp
            rows.append(data[start:start + (x1 - x0) * bpp])
        return b"".join(rows)


# ----------------------------------------------------------------------------------------------
# The program under test

class Program:
    """A program of the project run by a case: started by start() (which subclasses give), killed
    when the case leaves its with statement, its output in self.stdout."""

    proc = None
    stdout = None

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        if self.proc:
            self.stdout.close()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
        return False

    def alive(self):
        return self.proc.poll() is None


class Bingo(Program):
    """One run of the program in its own work directory: TEMP, HOME and the cache directory
    are below it, the display and the printer server are the fixture's."""

    def __init__(self, executable, state, work):
        self.executable = executable
        self.display = Display(state)
        self.state = state
        self.work = pathlib.Path(work)
        self.home = self.work / "home"
        self.home.mkdir(parents=True, exist_ok=True)
        self.temp = self.work / "temp"
        self.temp.mkdir(parents=True, exist_ok=True)
        self.env = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "LC_", "XDG_"))}
        self.env.update(DISPLAY=state["display"], QT_QPA_PLATFORM="xcb", HOME=str(self.home),
                        LANG="C.UTF-8", LC_ALL="C.UTF-8", TZ="UTC",
                        XDG_RUNTIME_DIR=str(self.work / "runtime"),
                        XDG_CACHE_HOME=str(self.work / "cache"))
        (self.work / "runtime").mkdir(mode=0o700, exist_ok=True)
        if state.get("cups_server"):
            self.env["CUPS_SERVER"] = state["cups_server"]
        self.env["TEMP"] = str(self.temp)
        self.proc = None
        self.main = None
        self.rss_peak_kb = 0

    @property
    def pid(self):
        return self.proc.pid

    @property
    def table_file(self):
        return self.temp / "tmpBingo.db"

    def start(self):
        self.stdout = open(self.work / "bingo.out", "ab")
        self.proc = subprocess.Popen([self.executable], env=self.env, cwd=self.work,
                                     stdin=subprocess.DEVNULL, stdout=self.stdout,
                                     stderr=subprocess.STDOUT)
        try:
            self.main = self.display.wait_window(self.pid, MAIN_CAPTION, abort=self.ended)
        except BaseException:
            # A with statement whose __enter__ fails never calls __exit__: stop it here, or it
            # would stay on the shared display during the next cases.
            self.stop()
            raise
        return self


    def ended(self):
        """None while the program runs; once it has ended, a message saying so, with its output
        (an abort for wait_until: a crashed program fails a wait at once, not at its timeout)."""
        if self.alive():
            return None
        said = self.output()[-2000:].strip()
        return f"the program ended with status {self.proc.returncode}; it said: {said}"

    def output(self):
        return (self.work / "bingo.out").read_text(errors="replace")

    def sample_rss(self):
        """VmRSS in KiB now; also kept as the peak of all samples."""
        try:
            with open(f"/proc/{self.pid}/status") as f:
                for line in f:
                    if line.startswith("VmRSS:"):
                        kb = int(line.split()[1])
                        self.rss_peak_kb = max(self.rss_peak_kb, kb)
                        return kb
        except OSError:
            pass
        return 0

    def bytes_written(self):
        """What the program has written to files and pipes so far (wchar of /proc/PID/io)."""
        with open(f"/proc/{self.pid}/io") as f:
            for line in f:
                if line.startswith("wchar:"):
                    return int(line.split()[1])
        return 0

    def cpu_ticks(self):
        with open(f"/proc/{self.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])

    def wait_idle(self, timeout=120, quiet=0.6):
        """Waits until the program has used no CPU for quiet seconds (its layout or painting
        has finished), sampling its memory meanwhile."""
        last = [self.cpu_ticks(), time.monotonic()]

        def idle():
            self.sample_rss()
            ticks = self.cpu_ticks()
            now = time.monotonic()
            if ticks != last[0]:
                last[:] = [ticks, now]
                return False
            return now - last[1] >= quiet
        wait_until(idle, timeout, "the program to become idle", interval=0.1)

    # -- what a person does in the main window

    def focus_main(self):
        self.display.focus(self.main)

    def type_job(self, numbers=None, sheets=None):
        """At start-up the focus is in se1 with its text selected: type N, Tab to se2 (which
        selects its text), type S."""
        self.focus_main()
        if numbers is not None:
            self.display.type(str(numbers))
        self.display.key("Tab")
        if sheets is not None:
            self.display.type(str(sheets))

    def set_sheets(self, sheets):
        """Puts the sheet count into se2 with the mouse and the keyboard, whatever has the focus."""
        self.focus_main()
        self.display.click(self.main, 128 + 32, 72 + 17)
        self.display.key("ctrl+a")
        self.display.type(str(sheets))

    def print_job(self, timeout=60):
        """Alt+P in the main window; returns the preview window once it is shown."""
        self.focus_main()
        self.display.key("alt+p")
        return self.wait_preview(timeout)

    def wait_preview(self, timeout=60, exclude=()):
        return self.display.wait_window(self.pid, PREVIEW_CAPTION, timeout, exclude, abort=self.ended)

    def new_window(self, known, timeout=20, what="a dialog"):
        """A visible window of the program that is none of known."""
        def found():
            hits = [w for w in self.display.windows(self.pid) if w not in known]
            return hits[0] if hits else None
        return wait_until(found, timeout, f"{what} of process {self.pid}", abort=self.ended)

    def file_dialog(self, preview, keys, path, timeout=20):
        """Presses keys in the preview, waits for the file dialog, types path into its file name
        field and presses Enter; waits until the dialog has closed."""
        self.display.focus(preview)
        self.display.key(keys)
        dialog = self.new_window({self.main, preview}, timeout, f"the file dialog after {keys}")
        self.display.focus(dialog)
        self.display.key("ctrl+a")
        self.display.type(str(path))
        self.display.key("Return")
        self.display.wait_gone(dialog)
        return dialog

    def save_preview(self, preview, path, timeout=30):
        """Ctrl+S in the preview, saving to path; waits until the whole PDF is on disk (its
        trailer written), not just until the file exists."""
        self.file_dialog(preview, "ctrl+s", path)
        wait_until(lambda: _complete_pdf(path), timeout, f"{path.name} to be written")

    def close_preview(self, preview):
        """Esc in the preview; waits until it has closed."""
        self.display.focus(preview)
        self.display.key("Escape")
        self.display.wait_gone(preview)

    def wait_exit(self, timeout=20):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program did not end within {timeout} s")


class Caller(Program):
    """One run of bingo-caller in a work directory shared with a Bingo run (same TEMP, HOME and
    cache), its game records under XDG_DATA_HOME there. It is driven with keys, and what it did
    is read back from its game record, which holds every call and every verdict."""

    def __init__(self, executable, state, work, args=()):
        self.executable = executable
        self.args = [str(a) for a in args]
        self.display = Display(state)
        self.work = pathlib.Path(work)
        helper = Bingo(executable, state, work)  # the same environment as the printing program
        self.env = dict(helper.env, XDG_DATA_HOME=str(self.work / "data"))
        self.games = self.work / "data" / "bingo" / "games"
        self.proc = None
        self.window = None

    @property
    def pid(self):
        return self.proc.pid

    def start(self):
        self.stdout = open(self.work / "caller.out", "ab")
        self.proc = subprocess.Popen([self.executable, *self.args], env=self.env, cwd=self.work,
                                     stdin=subprocess.DEVNULL, stdout=self.stdout, stderr=subprocess.STDOUT)
        try:
            first = wait_until(lambda: (self.display.windows(self.pid) or [None])[0], 30,
                               f"a window of the caller (process {self.pid})", abort=self.ended)
            title = self.display.window_name(first) or ""
            if not title.startswith(CALLER_CAPTION):
                # What refuses a source is an error box, titled with the program's name.
                raise Failure(f"the caller showed a window titled {title!r} instead of its own: "
                              f"it refused {' '.join(self.args) or 'the card table'}")
            self.window = first
        except BaseException:
            self.stop()
            raise
        time.sleep(0.3)
        return self


    def ended(self):
        if self.alive():
            return None
        said = (self.work / "caller.out").read_text(errors="replace")[-2000:].strip()
        return f"the caller ended with status {self.proc.returncode}; it said: {said}"

    def title(self):
        return self.display.window_name(self.window)

    def record_files(self):
        return sorted(self.games.glob("*.jsonl")) if self.games.is_dir() else []

    def events(self):
        """The events of the newest game record, in order."""
        files = self.record_files()
        if not files:
            return []
        return [json.loads(line) for line in files[-1].read_text().splitlines()]

    def _keys_then(self, keys, count, what):
        """Focuses the window, presses keys; waits until the record holds count events."""
        self.display.focus(self.window)
        for k in keys:
            if k.startswith("type:"):
                self.display.type(k[5:])
            else:
                self.display.key(k)
        return wait_until(lambda: len(self.events()) >= count and self.events(), 15, what,
                          abort=self.ended)

    def call(self, number):
        """Types number into the call box (where the focus is) and Enter; returns its event."""
        count = len(self.events()) + (1 if self.events() else 2)
        events = self._keys_then([f"type:{number}", "Return"], count, f"the call of {number}")
        return events[-1]

    def refused(self, number, settle=1.0):
        """Types number and Enter, which must be refused; returns the events, unchanged."""
        before = self.events()
        self.display.focus(self.window)
        self.display.type(str(number))
        self.display.key("Return")
        time.sleep(settle)
        self.display.key("ctrl+a", "BackSpace")
        check(self.alive(), "the caller ended")
        return before

    def undo(self):
        return self._keys_then(["ctrl+z"], len(self.events()) + 1, "the undo")[-1]

    def check_serial(self, serial):
        """Ctrl+F, the serial, Enter, Esc: returns the check event."""
        count = len(self.events()) + (1 if self.events() else 2)
        events = self._keys_then(["ctrl+f", "ctrl+a", f"type:{serial}", "Return"], count,
                                 f"the check of {serial}")
        self.display.key("Escape")
        return events[-1]


# ----------------------------------------------------------------------------------------------
# What the program leaves behind

def _complete_pdf(path):
    try:
        with open(path, "rb") as f:
            f.seek(0, os.SEEK_END)
            f.seek(max(0, f.tell() - 1024))
            return f.read().rstrip().endswith(b"%%EOF")
    except OSError:
        return False


def sqlite(path, sql):
    """Rows of a query on the card table file, read with the sqlite3 command-line program."""
    result = run(["sqlite3", "-readonly", "-batch", "-noheader", "-separator", "|", str(path), sql])
    return [line.split("|") for line in result.stdout.splitlines()]


def table_cards(path):
    fields = ", ".join(f"S{k}" for k in range(26))
    return [[int(v) for v in row] for row in sqlite(path, f"SELECT {fields} FROM tmpBingo ORDER BY rowid")]


def integrity(path):
    return run(["sqlite3", "-batch", str(path), "PRAGMA integrity_check;"]).stdout.strip()


def pdf_info(path):
    out = run(["pdfinfo", str(path)]).stdout
    pages = int(re.search(r"^Pages:\s+(\d+)", out, re.M).group(1))
    size = re.search(r"^Page size:\s+([\d.]+) x ([\d.]+) pts", out, re.M)
    return pages, (float(size.group(1)), float(size.group(2)))


def pdf_words(path, first=None, last=None):
    """The words of a PDF by page: [(width_pt, height_pt, [(text, xmin, ymin, xmax, ymax)])],
    in points from the page's top-left corner."""
    cmd = ["pdftotext", "-bbox"]
    if first:
        cmd += ["-f", str(first)]
    if last:
        cmd += ["-l", str(last)]
    out = run(cmd + [str(path), "-"], timeout=300).stdout
    pages = []
    for page in re.finditer(r'<page width="([\d.]+)" height="([\d.]+)">(.*?)</page>', out, re.S):
        words = [(html.unescape(m.group(5)), float(m.group(1)), float(m.group(2)),
                  float(m.group(3)), float(m.group(4)))
                 for m in re.finditer(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" '
                                      r'yMax="([\d.]+)">(.*?)</word>', page.group(3))]
        pages.append((float(page.group(1)), float(page.group(2)), words))
    return pages


def pt_to_mm(pt):
    return pt * 25.4 / 72.0


# ----------------------------------------------------------------------------------------------
# What reached the private print queues

def cups_env(state):
    return dict(os.environ, CUPS_SERVER=state["cups_server"])


def queue_jobs(state, queue):
    """The ids of every job queue knows of, whatever its state: waiting, held, printing,
    completed, cancelled or aborted (lpstat -W all)."""
    out = run(["lpstat", "-W", "all", "-o", queue], env=cups_env(state), check_rc=False).stdout
    return {int(m.group(1)) for m in re.finditer(rf"^{re.escape(queue)}-(\d+)\s", out, re.M)}


def completed_jobs(state, queue):
    out = run(["lpstat", "-W", "completed", "-o", queue], env=cups_env(state), check_rc=False).stdout
    return {int(m.group(1)) for m in re.finditer(rf"^{re.escape(queue)}-(\d+)\s", out, re.M)}


_IPP_INTEGER_TAGS = {0x21, 0x23}  # integer, enum
_IPP_BOOLEAN = 0x22
_IPP_RANGE = 0x33
_IPP_MEMBER_NAME = 0x4A


def _ipp_attributes(data):
    """The attributes of an IPP message as {name: [values]}: integers and enums as int,
    booleans as bool, ranges as (lower, upper), strings as str, other values as bytes. Members
    of collections are left out."""
    attrs, name, depth, pos = {}, None, 0, 8  # after version, operation and request id
    while pos < len(data):
        tag = data[pos]
        pos += 1
        if tag == 0x03:  # end of attributes
            break
        if tag < 0x10:  # the start of a group
            continue
        name_len = int.from_bytes(data[pos:pos + 2], "big")
        this_name = data[pos + 2:pos + 2 + name_len].decode("utf-8", "replace")
        pos += 2 + name_len
        value_len = int.from_bytes(data[pos:pos + 2], "big")
        raw = data[pos + 2:pos + 2 + value_len]
        pos += 2 + value_len
        if tag == 0x34:  # begin collection
            if depth == 0 and name_len:
                name = this_name
                attrs.setdefault(name, [])
            depth += 1
            continue
        if tag == 0x37:  # end collection
            depth -= 1
            continue
        if depth > 0 or tag == _IPP_MEMBER_NAME:
            continue
        if name_len:
            name = this_name
            attrs.setdefault(name, [])
        if tag in _IPP_INTEGER_TAGS:
            value = int.from_bytes(raw, "big", signed=True)
        elif tag == _IPP_BOOLEAN:
            value = raw != b"\0"
        elif tag == _IPP_RANGE:
            value = (int.from_bytes(raw[:4], "big", signed=True), int.from_bytes(raw[4:], "big", signed=True))
        elif 0x40 <= tag <= 0x49 and tag not in (0x35, 0x36):
            value = raw.decode("utf-8", "replace")
        else:
            value = raw
        attrs[name].append(value)
    return attrs


def job_attributes(state, job):
    """The attributes the queue keeps for job (its control file c<id> in the private spool):
    sides, copies, page-ranges, media, job-name, document-format, ... as {name: [values]}."""
    path = os.path.join(state["cups_spool"], f"c{job:05d}")
    wait_until(lambda: os.path.exists(path), 10, f"the control file of job {job}")
    with open(path, "rb") as f:
        return _ipp_attributes(f.read())


def job_documents(state, job):
    """The documents the queue received for job, as paths in the private spool."""
    spool = state["cups_spool"]
    return sorted(os.path.join(spool, f) for f in os.listdir(spool) if f.startswith(f"d{job:05d}-"))


def spool_size(state, job):
    """Bytes the queue received for job, all its documents together."""
    return sum(os.path.getsize(path) for path in job_documents(state, job))


# ----------------------------------------------------------------------------------------------
# Entry point shared by the case scripts

def main(cases, argv=None):
    import argparse
    parser = argparse.ArgumentParser()
    parser.add_argument("--state", required=True, help="the e2e environment's state file")
    parser.add_argument("--bingo", help="the program under test")
    parser.add_argument("--caller", help="bingo-caller, for the caller's cases")
    parser.add_argument("--work", help="a directory for this case's files")
    parser.add_argument("case", choices=sorted(cases) + ["env-start", "env-stop"])
    args = parser.parse_args(argv)
    try:
        if args.case == "env-start":
            env_start(args.state)
        elif args.case == "env-stop":
            env_stop(args.state)
        else:
            state = load_state(args.state)
            if args.caller:
                state["caller"] = args.caller
            work = pathlib.Path(args.work)
            shutil.rmtree(work, ignore_errors=True)
            work.mkdir(parents=True)
            cases[args.case](args.bingo, state, work)
            log(f"{args.case}: passed")
    except Skip as e:
        log(f"{args.case}: skipped: {e}")
        return SKIP
    except Failure as e:
        log(f"{args.case}: FAILED: {e}")
        return 1
    return 0

