# What the end-to-end benchmarks (bench/download, bench/latency, bench/store, bench/shelf)
# share: the programs of the Release build, the sample sites on free ports, and one timed
# run of a command with its peak resident memory.
import os
import re
import signal
import subprocess
import sys
import time
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_BUILD = os.path.join(ROOT, "build-bench", "release")


def program(build, relative, who):
    path = os.path.join(build, relative)
    if not os.access(path, os.X_OK):
        sys.exit("%s: %s is missing; build the linux-release preset first" % (who, path))
    return path


class Sites:
    """quillreap-sample-sites on free ports, stopped by its process id. With count=True the
    sites answer SIGUSR1 with the connections accepted so far (see connections())."""

    def __init__(self, executable, chapters, chapter_bytes, extra=(), count=False,
                 ports=(0, 0, 0, 0, 0)):
        command = [executable, "--search-port", str(ports[0]), "--source1-port", str(ports[1]),
                   "--source2-port", str(ports[2]), "--source3-port", str(ports[3]),
                   "--source3-tls-port", str(ports[4]),
                   "--big-chapters", str(chapters),
                   "--big-chapter-bytes", str(chapter_bytes)] + list(extra)
        if count:
            command.append("--count-connections")
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
        self.hosts = {}
        while len(self.hosts) < 5:  # the four sites and source 3 over TLS
            line = self.process.stdout.readline()
            if not line:
                sys.exit("quillreap-sample-sites did not start: %s" % " ".join(command))
            name, host = line.split()
            self.hosts[name] = host

    def ports(self):
        """The ports the sites listen on, to start them again at the same addresses."""
        return tuple(int(self.hosts[name].rsplit(":", 1)[1])
                     for name in ("search", "source1", "source2", "source3", "source3-tls"))

    def counts(self):
        """Connections the servers accepted so far (without --keep-alive, requests)
        and the chapter pages asked for."""
        self.process.send_signal(signal.SIGUSR1)
        line = self.process.stdout.readline()
        match = re.fullmatch(r"connections (\d+) chapters (\d+)\n", line)
        if not match:
            sys.exit("quillreap-sample-sites answered %r to SIGUSR1" % line)
        return int(match.group(1)), int(match.group(2))

    def connections(self):
        """Connections the servers accepted so far; without --keep-alive, requests."""
        return self.counts()[0]

    def grow(self):
        """Adds a chapter to every serial (--serials) and returns how many each holds now."""
        self.process.send_signal(signal.SIGUSR2)
        line = self.process.stdout.readline()
        match = re.fullmatch(r"serials (\d+)\n", line)
        if not match:
            sys.exit("quillreap-sample-sites answered %r to SIGUSR2" % line)
        return int(match.group(1))

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def get(address):
    with urllib.request.urlopen(address) as response:
        return response.read()


def timed(command, log, who, out=None):
    """Wall time of command (run under /usr/bin/time -v) and its peak resident memory in KB;
    the command's stderr stays in log, its stdout in the file out when given."""
    with open(log, "w") as err, open(out or os.devnull, "wb") as output:
        start = time.perf_counter()
        status = subprocess.call(["/usr/bin/time", "-v"] + command, stdout=output, stderr=err)
        wall = time.perf_counter() - start
    report = open(log, errors="replace").read()
    if status != 0:
        sys.exit("%s: %s failed (%d):\n%s" % (who, command[0], status, report[-2000:]))
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", report).group(1))
    return wall, rss


def cpu_seconds(log):
    """User and system CPU time of the command timed() ran last with this log: it swings
    less with the machine's load than the wall time."""
    report = open(log, errors="replace").read()
    return sum(float(re.search(r"%s time \(seconds\): ([0-9.]+)" % kind, report).group(1))
               for kind in ("User", "System"))


def download_command(cli, host, out, name="bigbook"):
    """quillreap-cli downloading the generated book 测试巨著 from source 2 at host into out."""
    # The label ends in "/" so it cannot match a longer port on the same address.
    return [cli, "download", "http://%s/Book/9999.aspx" % host, name, "--out", out,
            "--source2-host", host, "--source2-label", host + "/"]


def chapter_headings(book):
    """Chapter headings in a GBK book file: each opens with 第 after a blank line."""
    return book.count(b"\r\n\r\n\xb5\xda")
