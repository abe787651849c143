"""Faults of real components, with the real binary run unattended: a PostgreSQL server that stops,
a full file system, output paths that cannot be written, broken settings, no syslog daemon, and
huge query files. Each ends with its message, nothing lost, the right exit status, and bounded
time and memory (the peak resident size of the child, read with wait4)."""

import os
import shutil
import socket
import sqlite3
import subprocess
import tempfile
import threading
import time
import unittest

import velmora_e2e as v

PG_BIN = sorted(
    (os.path.join("/usr/lib/postgresql", d, "bin") for d in os.listdir("/usr/lib/postgresql")),
    key=lambda p: [int(x) for x in p.split("/")[-2].split(".") if x.isdigit()])[-1] \
    if os.path.isdir("/usr/lib/postgresql") else None
IS_ROOT = os.geteuid() == 0
# Far above what a normal run needs (about 100 MB), far below what a runaway copy would take.
MEMORY_BOUND_KB = 1_500_000


def run_measured(args, cwd, env=None, timeout=180, wrap=None):
    """Like velmora_e2e.run, and also returns the child's peak resident size in kB."""
    env = env or v.environment()
    out = tempfile.TemporaryFile()
    err = tempfile.TemporaryFile()
    command = (wrap or []) + [v.VELMORA] + list(args)
    proc = subprocess.Popen(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err)
    timer = threading.Timer(timeout, proc.kill)
    timer.start()
    try:
        _, status, usage = os.wait4(proc.pid, 0)
    finally:
        timer.cancel()
    proc.returncode = os.waitstatus_to_exitcode(status)
    out.seek(0)
    err.seek(0)
    run = v.Run(proc.returncode, proc.pid, out.read().decode(errors="replace"),
                err.read().decode(errors="replace"))
    if not timer.is_alive() and proc.returncode == -9:
        raise AssertionError("velmora did not end within %ss: %s" % (timeout, run.stderr))
    return run, usage.ru_maxrss


def sqlite_rows(path, rows):
    con = sqlite3.connect(path)
    con.execute("create table t(id integer, name text)")
    con.execute("with recursive n(i) as (select 1 union all select i + 1 from n where i < ?) "
                "insert into t select i, 'row number ' || i from n", (rows,))
    con.commit()
    con.close()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class PgCluster:
    """A throw-away PostgreSQL cluster of this test alone, so that stopping it disturbs nobody."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="velmora-pgfault-")
        os.chmod(self.dir, 0o755)
        self.data = os.path.join(self.dir, "pg")
        self.port = free_port()
        os.makedirs(self.data)
        pwfile = os.path.join(self.dir, "pw")
        with open(pwfile, "w") as f:
            f.write("fault-secret\n")
        os.chmod(pwfile, 0o644)
        if IS_ROOT:
            shutil.chown(self.data, "postgres", "postgres")
            shutil.chown(self.dir, "postgres", "postgres")
        self.as_pg([os.path.join(PG_BIN, "initdb"), "-D", self.data, "-U", "velmora",
                    "--auth=scram-sha-256", "--pwfile=" + pwfile])
        self.start()
        subprocess.run(["psql", "-h", "127.0.0.1", "-p", str(self.port), "-U", "velmora", "-q",
                        "-d", "postgres", "-c", "CREATE DATABASE fault"],
                       env=dict(os.environ, PGPASSWORD="fault-secret"), check=True,
                       stdout=subprocess.DEVNULL)

    def as_pg(self, command):
        if IS_ROOT:
            command = ["runuser", "-u", "postgres", "--"] + command
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start(self):
        self.as_pg([os.path.join(PG_BIN, "pg_ctl"), "-D", self.data, "-l",
                    os.path.join(self.dir, "pg.log"), "-w", "-o",
                    "-p %d -k %s -c listen_addresses=127.0.0.1" % (self.port, self.dir), "start"])

    def stop(self):
        self.as_pg([os.path.join(PG_BIN, "pg_ctl"), "-D", self.data, "-m", "fast", "-w", "stop"])

    def running(self):
        return os.path.exists(os.path.join(self.data, "postmaster.pid"))

    def active_statements(self, text):
        r = subprocess.run(["psql", "-h", "127.0.0.1", "-p", str(self.port), "-U", "velmora", "-At",
                            "-d", "fault", "-c",
                            "SELECT count(*) FROM pg_stat_activity WHERE query LIKE '%%%s%%' "
                            "AND pid <> pg_backend_pid()" % text],
                           env=dict(os.environ, PGPASSWORD="fault-secret"), capture_output=True,
                           text=True)
        return int(r.stdout.strip() or 0)

    def connection(self):
        return ("Provider=PostgreSQL;Host=127.0.0.1;Port=%d;Database=fault;User ID=velmora;"
                "Password=fault-secret" % self.port)

    def remove(self):
        if self.running():
            self.stop()
        shutil.rmtree(self.dir, ignore_errors=True)


class Fault(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="velmora-fault-")
        self.db = os.path.join(self.folder, "rows.db")
        sqlite_rows(self.db, 20000)
        self.query = v.make_query(os.path.join(self.folder, "rows.kvf"), "Rows",
                                  "Provider=SQLite;Data Source=rows.db",
                                  "select id, name from t order by id")
        self.full_output = "".join("%d;row number %d\r\n" % (i, i) for i in range(1, 20001))

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def unattended(self, args, entries, status, env=None, wrap=None, cwd=None):
        r, peak = run_measured(args, cwd or self.folder, env, wrap=wrap)
        found = r.log_entries(len(entries)) if v.SYSLOG else None
        if found is not None:
            self.assertEqual(found, entries, r.stderr)
        self.assertEqual(r.returncode, status, r.stderr)
        self.assertLess(peak, MEMORY_BOUND_KB)
        return r

    def keep(self, name, text="earlier report\r\n"):
        path = os.path.join(self.folder, name)
        with open(path, "w", newline="") as f:
            f.write(text)
        return path

    def read(self, path):
        with open(path, newline="") as f:
            return f.read()


@unittest.skipUnless(PG_BIN, "PostgreSQL is not installed")
class PostgresStops(Fault):
    @classmethod
    def setUpClass(cls):
        cls.cluster = PgCluster()

    @classmethod
    def tearDownClass(cls):
        cls.cluster.remove()

    def setUp(self):
        super().setUp()
        if not self.cluster.running():
            self.cluster.start()
        self.earlier = self.keep("pg.csv")

    def pg_query(self, sql):
        return v.make_query(os.path.join(self.folder, "pg.kvf"), "PostgreSQL",
                            self.cluster.connection(), sql)

    def test_server_stopped_before_the_connection(self):
        self.pg_query("select 1 as one")
        self.cluster.stop()
        r, _ = run_measured(["pg.kvf", "pg.csv", "D", ";", "1"], self.folder)
        if v.SYSLOG:
            entries = r.log_entries(1)
            self.assertEqual(len(entries), 1, entries)
            self.assertIn("port %d failed: Connection refused" % self.cluster.port, entries[0])
            self.assertNotIn("fault-secret", entries[0])
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertEqual(self.read(self.earlier), "earlier report\r\n")

    def test_server_stopped_while_a_long_statement_runs(self):
        self.pg_query("select pg_sleep(30) as slept, 1 as one")
        outcome = {}
        worker = threading.Thread(target=lambda: outcome.update(
            run=run_measured(["pg.kvf", "pg.csv", "D", ";", "1"], self.folder, timeout=60)))
        worker.start()
        deadline = time.time() + 20
        while self.cluster.active_statements("pg_sleep(30)") == 0:
            self.assertLess(time.time(), deadline, "the statement never started")
            time.sleep(0.1)
        started = time.time()
        self.cluster.stop()
        worker.join()
        r, peak = outcome["run"]
        self.assertLess(time.time() - started, 25, "the run waited for the statement to end")
        if v.SYSLOG:
            # The statement's failure, then the export step finds no result.
            entries = r.log_entries(2)
            self.assertEqual(len(entries), 2, entries)
            self.assertRegex(entries[0], "terminating connection due to administrator command|"
                                         "server closed the connection unexpectedly")
            self.assertEqual(entries[1], "No data to export.")
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertLess(peak, MEMORY_BOUND_KB)
        self.assertEqual(self.read(self.earlier), "earlier report\r\n")


class OutputPaths(Fault):
    def expect_refusal(self, output, reason):
        path = os.path.join(self.folder, output)
        self.unattended(["rows.kvf", output, "D", ";", "0"],
                        ["Cannot create %s: %s" % (path, reason)], 1)

    def test_folder_that_does_not_exist_is_not_made(self):
        self.expect_refusal("no/such/folder/out.csv", "No such file or directory")
        self.assertFalse(os.path.exists(os.path.join(self.folder, "no")))

    def test_folder_that_cannot_be_created(self):
        self.keep("plain.txt")
        self.expect_refusal("plain.txt/out.csv", "Not a directory")
        self.assertEqual(self.read(os.path.join(self.folder, "plain.txt")), "earlier report\r\n")

    def test_output_file_held_by_a_directory(self):
        os.mkdir(os.path.join(self.folder, "out.csv"))
        self.keep("out.csv/inside.txt")
        self.expect_refusal("out.csv", "Is a directory")
        self.assertEqual(self.read(os.path.join(self.folder, "out.csv", "inside.txt")), "earlier report\r\n")

    @unittest.skipUnless(IS_ROOT and shutil.which("mount"), "mounting a tmpfs needs root")
    def test_full_file_system_keeps_the_lines_written(self):
        mount = os.path.join(self.folder, "tiny")
        os.mkdir(mount)
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", mount], check=True)
        try:
            out = os.path.join(mount, "out.csv")
            self.unattended(["rows.kvf", out, "D", ";", "0"],
                            ["Cannot write %s: No space left on device" % out], 1)
            written = self.read(out)
            self.assertGreater(len(written), 32 * 1024)
            self.assertTrue(self.full_output.startswith(written))
        finally:
            subprocess.run(["umount", mount], check=True)


class Settings(Fault):
    def config(self):
        env = v.environment()
        return env, os.path.join(env["XDG_CONFIG_HOME"], "Kavrin End User")

    def test_garbage_settings_file_falls_back_to_defaults(self):
        env, folder = self.config()
        os.makedirs(folder)
        with open(os.path.join(folder, "Options.ini"), "wb") as f:
            f.write(os.urandom(8192) + b"\n[General]\nWinHeight=tall\nDelimiter=\x00\n" + os.urandom(512))
        self.unattended(["rows.kvf", "out.csv", "D", ";", "0"], [], 0, env=env)
        self.assertEqual(self.read(os.path.join(self.folder, "out.csv")), self.full_output)

    def test_settings_folder_replaced_by_a_file(self):
        env, folder = self.config()
        with open(folder, "w") as f:
            f.write("not a folder\n")
        self.unattended(["rows.kvf", "out.csv", "D", ";", "0"],
                        ["Error creating system registry entry."], 1, env=env)
        self.assertEqual(self.read(os.path.join(self.folder, "out.csv")), self.full_output)
        self.assertEqual(self.read(folder), "not a folder\n")


@unittest.skipUnless(IS_ROOT and shutil.which("unshare"), "a private mount namespace needs root")
class NoSyslogDaemon(Fault):
    """/dev/log covered by an empty file in a private mount namespace: nothing listens there."""

    def without_syslog(self):
        empty = os.path.join(self.folder, "no-daemon")
        open(empty, "w").close()
        return ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                '[ -e /dev/log ] && mount --bind "$0" /dev/log; exec "$@"', empty]

    def test_run_completes_with_status_0(self):
        r, _ = run_measured(["rows.kvf", "out.csv", "D", ";", "0"], self.folder, wrap=self.without_syslog())
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(self.read(os.path.join(self.folder, "out.csv")), self.full_output)

    def test_failing_run_still_exits_1(self):
        r, _ = run_measured(["rows.kvf", "no/such/out.csv", "D", ";", "0"], self.folder,
                            wrap=self.without_syslog())
        self.assertEqual(r.returncode, 1, r.stderr)
        if v.SYSLOG:
            self.assertEqual(r.log_entries(0, timeout=0.5), [])


class HugeQueries(Fault):
    PARAMETER = "Error - The application is being terminated because the query has a parameter."

    def test_query_file_of_50_mb_on_one_line(self):
        path = os.path.join(self.folder, "one-line.kvf")
        with open(path, "wb") as f:
            f.write(b"1234\x00" * (10 * 1024 * 1024))
        self.unattended(["one-line.kvf", "out.csv", "D", ";", "0"], ["Invalid query file."], 1)
        self.assertFalse(os.path.exists(os.path.join(self.folder, "out.csv")))

    def test_statement_of_50_mb_runs(self):
        text = "x" * (6 * 1024 * 1024)
        v.make_query(os.path.join(self.folder, "big.kvf"), "Big", "Provider=SQLite;Data Source=rows.db",
                     "select '%s' as v" % text)
        self.assertGreater(os.path.getsize(os.path.join(self.folder, "big.kvf")), 45 * 1024 * 1024)
        self.unattended(["big.kvf", "out.csv", "D", ";", "1"], [], 0)
        self.assertEqual(self.read(os.path.join(self.folder, "out.csv")), "v\r\n%s\r\n" % text)

    def test_query_with_100000_markers(self):
        markers = ",".join("?NUM_p%d?" % i for i in range(100000))
        v.make_query(os.path.join(self.folder, "many.kvf"), "Many", "Provider=SQLite;Data Source=rows.db",
                     "select id from t where id in (%s)" % markers)
        self.unattended(["many.kvf", "out.csv", "D", ";", "0"], [self.PARAMETER], 1)
        self.assertFalse(os.path.exists(os.path.join(self.folder, "out.csv")))

    def test_marker_name_of_1_mb(self):
        v.make_query(os.path.join(self.folder, "long.kvf"), "Long", "Provider=SQLite;Data Source=rows.db",
                     "select ?STR_%s? as v" % ("n" * (1024 * 1024)))
        self.unattended(["long.kvf", "out.csv", "D", ";", "0"], [self.PARAMETER], 1)


if __name__ == "__main__":
    unittest.main()
