"""Helpers for the end-to-end tests: run the real velmora binary unattended with its own XDG
folders, and read back the entries it wrote to the system log (the rsyslog daemon that
tests/services.sh started writes them to the file named by VELMORA_TEST_SYSLOG)."""

import os
import re
import subprocess
import tempfile
import time
import unittest

VELMORA = os.environ.get("VELMORA_BIN", "velmora")
KVF = os.environ.get("VELMORA_KVF", "velmora-kvf")
SYSLOG = os.environ.get("VELMORA_TEST_SYSLOG", "")
PG_STARTED = bool(os.environ.get("VELMORA_TEST_PG_HOST"))


class PgServer:
    """The PostgreSQL server that tests/services.sh started, from the variables it exports."""

    def __init__(self):
        e = os.environ
        self.host, self.port = e["VELMORA_TEST_PG_HOST"], e["VELMORA_TEST_PG_PORT"]
        self.db, self.user = e["VELMORA_TEST_PG_DB"], e["VELMORA_TEST_PG_USER"]
        self.password = e["VELMORA_TEST_PG_PASSWORD"]

    def connection(self):
        """The connection string a query file names this server with."""
        return ("Provider=PostgreSQL;Host=%s;Port=%s;Database=%s;User ID=%s;Password=%s"
                % (self.host, self.port, self.db, self.user, self.password))

    def psql(self, sql, *options):
        """Runs SQL with psql, stopping at the first error; returns what it printed."""
        return subprocess.run(["psql", "-h", self.host, "-p", self.port, "-U", self.user,
                               "-d", self.db, "-v", "ON_ERROR_STOP=1", "-q", *options, "-c", sql],
                              env=dict(os.environ, PGPASSWORD=self.password), check=True,
                              capture_output=True, text=True).stdout


class Run:
    def __init__(self, returncode, pid, stdout, stderr):
        self.returncode = returncode
        self.pid = pid
        self.stdout = stdout
        self.stderr = stderr
        self._entries = None

    def log_entries(self, expect_at_least=0, timeout=5.0):
        """The texts of the Kavrin entries this process wrote, in order."""
        if not SYSLOG:
            raise unittest.SkipTest("no syslog daemon was started (VELMORA_TEST_SYSLOG)")
        pattern = re.compile(r" Kavrin\[%d\]: (.*)$" % self.pid)
        deadline = time.time() + timeout
        while True:
            with open(SYSLOG, encoding="utf-8", errors="replace") as f:
                found = [m.group(1) for m in (pattern.search(line.rstrip("\n")) for line in f) if m]
            if len(found) >= expect_at_least or time.time() > deadline:
                return found
            time.sleep(0.05)


def environment(config_home=None):
    env = dict(os.environ)
    root = tempfile.mkdtemp(prefix="velmora-e2e-")
    for name, sub in (("XDG_CONFIG_HOME", "config"), ("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "runtime")):
        path = os.path.join(root, sub)
        os.makedirs(path, mode=0o700, exist_ok=True)
        env[name] = path
    if config_home:
        env["XDG_CONFIG_HOME"] = config_home
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    env.pop("QT_QPA_PLATFORM", None)  # an unattended run must find its own way without a display
    return env


def run(args, cwd, env=None, timeout=120):
    """Runs velmora with the given arguments; returns a Run with its status and PID."""
    env = env or environment()
    proc = subprocess.Popen([VELMORA] + list(args), cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    try:
        out, err = proc.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        out, err = proc.communicate()
        raise AssertionError("velmora did not end within %ss (it must never wait for a click): %s"
                             % (timeout, err.decode(errors="replace")))
    return Run(proc.returncode, proc.pid, out.decode(errors="replace"), err.decode(errors="replace"))


def make_query(path, description, connection, sql):
    """Writes a query file with the project's own encoder tool."""
    subprocess.run([KVF, "encode", "-d", description, "-c", connection, "-o", path, "-"],
                   input=sql.encode("utf-8"), check=True)
    return path


def write_setting(config_home, name, value):
    """Stores one value in the per-user settings store, as the program would."""
    folder = os.path.join(config_home, "Kavrin End User")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "Options.ini")
    lines = []
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            lines = [l for l in f.read().splitlines() if l and not l.startswith(name + "=") and l != "[General]"]
    with open(path, "w", encoding="utf-8") as f:
        f.write("[General]\n" + "".join(l + "\n" for l in lines) + "%s=%s\n" % (name, value))
