#!/usr/bin/env python3
"""Wine's file-open dialog on a private virtual display, picked by keyboard as a person picks,
through the Windows host program and the DLL beside it: every GetFileList and GetFileInfo result
of one table, the selections the dialog hands back wrongly included.

Run by ctest in the Windows builds as `wine_dialog_test.py HOST.exe`, with the build's Wine
settings in the environment (WINEPREFIX, MEVRIX_WINE, MEVRIX_WINESERVER). Exits with 77, which
ctest reports as skipped, where Xvfb, xdotool or Wine is missing.

The dialog runs in a Wine configuration of its own that shares the build's drive C: one Wine
server serves one configuration, and the build's server may already be serving other tests on
a desktop without a display, where no dialog can show.
"""

import ctypes
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIPPED = 77


def skip(reason):
    print("skipped: " + reason)
    sys.exit(SKIPPED)


def die_with_parent():
    """In a child before exec: a session of its own, killed when this script dies."""
    os.setsid()
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def windows_path(path):
    """The path as the dialog names it: Wine's drive Z: is the root of the file system."""
    return "Z:" + path.replace("/", "\\")


# The keys a person presses in the dialog. Alt+N goes to the file name, whose text it selects, so
# a stroke sent again replaces what the first one typed; Shift+Tab from there is the file list,
# Alt+O the Open button.
def typed(text):
    return [["key", "alt+n"], ["type", "--delay", "20", text], ["key", "Return"]]


FIRST_LISTED = [["key", "alt+n", "shift+Tab", "Home", "alt+o"]]
ALL_LISTED = [["key", "alt+n", "shift+Tab", "Home", "shift+End", "alt+o"]]
ESCAPE = [["key", "Escape"]]

MESHES = "Meshes"
LATIN1 = "Dossier été"
MESH_FILES = ["a.obj", "b c.obj", "d.obj", "notes 1.txt", "notes 2.txt"]
LONG_FOLDERS = {4096: "Long 4096", 4097: "Long 4097", 5122: "Long 5122"}


class Pick:
    """One dialog: what the host asks for, the keys pressed once it shows (again every few seconds
    until it closes), the files the plug-in then lists under the test's folder, and the indices
    GetFileInfo reads back (by default every file's and the one after the last)."""

    def __init__(self, what, title, folder, filter_text, mode, strokes, chosen, reads=None):
        self.what, self.title, self.folder = what, title, folder
        self.filter, self.mode, self.strokes, self.chosen = filter_text, mode, strokes, chosen
        self.reads = reads if reads is not None else list(range(1, len(chosen) + 2))


def long_names(folder, size):
    """60 names that, listed behind `folder` (a Windows path), make a list of `size` bytes."""
    room = size - (len(folder.encode("cp1252")) + 1) - 1
    names = []
    for i in range(60):
        length = room // (60 - i) - 1
        names.append(("f%02d_" % i).ljust(length - 4, "x") + ".obj")
        room -= length + 1
    return names


def picks(tree):
    long_chosen = {size: [folder + "/" + name
                          for name in long_names(windows_path(tree + "/" + folder), size)]
                   for size, folder in LONG_FOLDERS.items()}
    m = MESHES + "/"
    return [
        Pick("one file", "Mevrix pick 1", MESHES, "Meshes|*.obj", "1", typed("d.obj"),
             [m + "d.obj"]),
        Pick("three files", "Mevrix pick 2", MESHES, "Meshes|*.obj", "0",
             typed('"a.obj" "b c.obj" "d.obj"'), [m + "a.obj", m + "b c.obj", m + "d.obj"]),
        Pick("one file where several may be chosen", "Mevrix pick 3", MESHES, "", "0",
             typed("b c.obj"), [m + "b c.obj"]),
        Pick("cancel, default caption", None, MESHES, "", "0", ESCAPE, []),
        Pick("caption with accents", "Modèles à ouvrir", MESHES, "", "1", typed("a.obj"),
             [m + "a.obj"]),
        Pick("starting folder", "Mevrix pick 6", "Other", "", "1", typed("only here.obj"),
             ["Other/only here.obj"]),
        Pick("first filter of two", "Mevrix pick 7", MESHES, "Notes|*.txt|Meshes|*.obj", "0",
             ALL_LISTED, [m + "notes 1.txt", m + "notes 2.txt"]),
        Pick("Latin-1 name", "Mevrix pick 8", LATIN1, "", "1", FIRST_LISTED,
             [LATIN1 + "/naïve ñ.obj"]),
        Pick("list of 4096 bytes", "Mevrix pick 9", LONG_FOLDERS[4096], "", "0", ALL_LISTED,
             long_chosen[4096], [1, 60, 61]),
        # Wine's dialog reports success with the list cut at its last byte.
        Pick("list of 4097 bytes", "Mevrix pick 10", LONG_FOLDERS[4097], "", "0", ALL_LISTED,
             [], [1, 60]),
        Pick("list of 5122 bytes", "Mevrix pick 11", LONG_FOLDERS[5122], "", "0", ALL_LISTED,
             [], [1, 48]),
        # The code page has no Ω: the dialog hands back "Omega 3.obj", which is no file.
        Pick("name outside the code page", "Mevrix pick 12", "Omega", "", "0", ALL_LISTED, []),
        # Wine lists both; one may be chosen.
        Pick("two names in a single-selection dialog", "Mevrix pick 13", MESHES, "", "1",
             typed('"a.obj" "d.obj"'), []),
    ]


def make_tree(tree):
    files = [MESHES + "/" + name for name in MESH_FILES]
    files += ["Other/only here.obj", LATIN1 + "/naïve ñ.obj", "Omega/Ωmega 3.obj"]
    for size, folder in LONG_FOLDERS.items():
        names = long_names(windows_path(tree + "/" + folder), size)
        files += [folder + "/" + name for name in names]
    for name in files:
        os.makedirs(os.path.dirname(os.path.join(tree, name)), exist_ok=True)
        open(os.path.join(tree, name), "wb").close()


def quoted(path):
    return '"' + path.replace("\\", "\\\\") + '"'


def expected_output(pick, tree):
    """The host's output for one pick, in the code page of the host (Windows-1252)."""
    lines = ["SetDialogTitle: 0", "SetDefaultDir: 0", "GetFileList: %d" % len(pick.chosen)]
    for index in pick.reads:
        path = ""
        if index <= len(pick.chosen):
            path = windows_path(tree + "/" + pick.chosen[index - 1])
        name = path[path.rfind("\\") + 1:]
        for text in (path, name):
            lines.append("GetFileInfo: %d %s" % (len(text.encode("cp1252")), quoted(text)))
    return ("\n".join(lines) + "\n").encode("cp1252")


def host_arguments(pick, tree):
    args = ["SetDialogTitle", "@null" if pick.title is None else pick.title, "+",
            "SetDefaultDir", windows_path(tree + "/" + pick.folder), "+",
            "GetFileList", pick.filter or "@null", pick.mode]
    for index in pick.reads:
        for selector in ("fullname", "name"):
            args += ["+", "GetFileInfo", selector, str(index), "@out"]
    return args


class Desktop:
    """Xvfb on a display number of its own, and xdotool on it."""

    def __init__(self, folder):
        self.server, self.name = None, None
        first = 200 + os.getpid() % 700
        for number in range(first, first + 40):
            read_end, write_end = os.pipe()
            server = subprocess.Popen(
                ["Xvfb", ":%d" % number, "-displayfd", str(write_end), "-nolisten", "tcp",
                 "-noreset", "-screen", "0", "1280x1024x24"],
                stdin=subprocess.DEVNULL, stdout=open(folder + "/xvfb.log", "ab"),
                stderr=subprocess.STDOUT, pass_fds=[write_end], preexec_fn=die_with_parent)
            os.close(write_end)
            # Xvfb writes the number once it listens, and exits at once when it is in use.
            number_shown = b""
            while not number_shown.endswith(b"\n") and select.select([read_end], [], [], 30)[0]:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                number_shown += chunk
            os.close(read_end)
            number_shown = number_shown.decode().strip()
            if number_shown == str(number):
                self.server, self.name = server, ":" + number_shown
                return
            server.kill()
            server.wait()

    def xdotool(self, args):
        """xdotool's output, or None when it failed."""
        try:
            run = subprocess.run(["xdotool"] + args, capture_output=True, timeout=20,
                                 env={"DISPLAY": self.name, "LC_ALL": "C.UTF-8"})
        except subprocess.TimeoutExpired:
            return None
        return run.stdout.decode() if run.returncode == 0 else None

    def stop(self):
        if self.server:
            self.server.terminate()
            self.server.wait()


def wine_configuration(build_prefix, folder):
    """A configuration of its own over the build's drive C: the registry copied, the drives
    linked. Wine takes it as prepared (the copied timestamp) and starts a server of its own."""
    prefix = folder + "/wine-prefix"
    os.makedirs(prefix + "/dosdevices")
    os.symlink(build_prefix + "/drive_c", prefix + "/dosdevices/c:")
    os.symlink("/", prefix + "/dosdevices/z:")
    for name in ("system.reg", "user.reg", "userdef.reg", ".update-timestamp"):
        shutil.copy(build_prefix + "/" + name, prefix)
    # Windows that no window manager manages: without one, Wine would wait two seconds for it to
    # take every closing window away. The dialog itself is the same either way.
    with open(prefix + "/user.reg", "a") as registry:
        registry.write('\n[Software\\\\Wine\\\\X11 Driver]\n"Managed"="N"\n')
    return prefix


def printed(path):
    with open(path, "rb") as output:
        return output.read().replace(b"\r\n", b"\n")


def run_picks(host, desktop, environment, folder, tree):
    """Runs every pick in one host process, one dialog after the other. Returns the failed
    picks' reports, whether the host exited well, the seconds it ran and the number of picks."""
    table = picks(tree)
    args = [os.environ["MEVRIX_WINE"], host]
    for pick in table:
        args += host_arguments(pick, tree) + ["+"]
    output = folder + "/host.out"
    started = time.monotonic()
    host_process = subprocess.Popen(args[:-1], env=environment, stdin=subprocess.DEVNULL,
                                    stdout=open(output, "wb"),
                                    stderr=open(folder + "/host.err", "wb"),
                                    preexec_fn=die_with_parent)
    end = started + 150
    for row, pick in enumerate(table):
        title = "Select Files" if pick.title is None else pick.title
        deadline = min(end, time.monotonic() + 30)
        sent = None
        # The dialog is done once the host has printed its GetFileList result.
        while (printed(output).count(b"GetFileList:") <= row and host_process.poll() is None
               and time.monotonic() < deadline):
            window = desktop.xdotool(["search", "--onlyvisible", "--name", "^%s$" % title])
            if window and (sent is None or time.monotonic() - sent > 4):
                desktop.xdotool(["windowfocus", "--sync", window.split()[0]])
                for stroke in pick.strokes:
                    desktop.xdotool(stroke)
                sent = time.monotonic()
            time.sleep(0.1)
    try:
        host_process.wait(timeout=20)
    except subprocess.TimeoutExpired:
        host_process.kill()
        host_process.wait()
    seconds = time.monotonic() - started

    got = printed(output).split(b"SetDialogTitle: ")[1:]
    failures = []
    for row, pick in enumerate(table):
        want = expected_output(pick, tree)
        have = b"SetDialogTitle: " + got[row] if row < len(got) else b"<no output>\n"
        print("%-2d %-40s %s" % (row + 1, pick.what, "ok" if have == want else "FAILED"))
        if have != want:
            failures.append("pick %d (%s):\n  expected %r\n  got      %r"
                            % (row + 1, pick.what, want, have))
    if host_process.returncode != 0:
        print("the host exited with %s; its errors: %r"
              % (host_process.returncode, printed(folder + "/host.err")))
    return failures, host_process.returncode == 0, seconds, len(table)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: wine_dialog_test.py HOST.exe")
    host = sys.argv[1]
    for program in ("Xvfb", "xdotool"):
        if not shutil.which(program):
            skip("Wine's dialog is tried on a virtual display with Xvfb and xdotool "
                 "(scripts/install-deps installs them), and there is no " + program)
    wine, server = os.environ.get("MEVRIX_WINE", ""), os.environ.get("MEVRIX_WINESERVER", "")
    build_prefix = os.environ.get("WINEPREFIX", "")
    if not (os.access(wine, os.X_OK) and os.access(server, os.X_OK)):
        skip("no Wine to run the dialog (MEVRIX_WINE, MEVRIX_WINESERVER)")
    if not os.path.exists(build_prefix + "/mevrix-prefix-ready"):
        print("the build's Wine configuration is not prepared (target wine_prefix): "
              + build_prefix)
        return 1

    with tempfile.TemporaryDirectory(prefix="mevrix-wine-dialog-") as folder:
        tree = folder + "/tree"
        make_tree(tree)
        desktop = Desktop(folder)
        if not desktop.server:
            print("Xvfb did not start: %r" % printed(folder + "/xvfb.log"))
            return 1
        environment = dict(os.environ)
        environment.pop("WAYLAND_DISPLAY", None)
        # A locale whose Windows code page is Windows-1252, the one the expected output is in.
        environment.update({"WINEPREFIX": wine_configuration(build_prefix, folder),
                            "DISPLAY": desktop.name, "LC_ALL": "C.UTF-8"})
        try:
            failures, host_exited, seconds, count = run_picks(host, desktop, environment, folder,
                                                              tree)
        finally:
            # Ends this configuration's server and every program it still serves, all ours.
            subprocess.run([server, "-k"], env=environment, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
            desktop.stop()
    for failure in failures:
        print(failure)
    print("%d picks in %.1f s" % (count, seconds))
    print("%d passed, %d failed" % (count - len(failures), len(failures)))
    return 0 if host_exited and not failures else 1


if __name__ == "__main__":
    sys.exit(main())
