#!/usr/bin/env python3
"""The command line's run as a process against an independent single-pass
rewrite, end to end: both rewrite a fresh copy of the same pages with fsync,
in alternating pairs, under nice. Prints per pair the wall time, processor
time (user + system) and peak memory of each, the load, and the median ratio.

    bench/end_to_end.py --cli build/src/cli/quillmaskerade-cli \
        --baseline ../shared/bench/single_pass_baseline.cpp [--pairs 5] [--only many,large,real] \
        [--window build/bench/window_run_timer] [--syscalls]

Corpora (made once under --corpus, default /tmp/quill-e2e-corpus):
  many  2,000 pages of 20 KB, 200 distinct addresses (20 folders of 100)
  large one page of 200 MB with 200 distinct addresses
  real  about 3,000 real pages: the HTML of postgresql-doc-15 and git-doc,
        and man pages converted by man2html to make up the rest

With --syscalls the command line runs once more under strace -c, to say how
much of its time goes into fsync and the other file calls.
"""
import argparse
import gzip
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile

PAGE = 20 * 1024


def address(n):
    return "kontakt%d@firma%d.de" % (n, n % 7)


def link(n):
    return '<a href="mailto:%s">%s</a>' % (address(n), address(n))


def html(size, first, addresses, rnd):
    """HTML of the given size with a link every PAGE / 6 bytes: first the
    given address, then addresses at random."""
    parts = ["<html>\r\n<head><title>Seite</title></head>\r\n<body>\r\n"]
    length = len(parts[0])
    filler = "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod.</p>\r\n"
    links = 0
    while length + 200 < size:
        if length > (links + 1) * PAGE // 6:
            piece = link(first if links == 0 else rnd.randrange(addresses)) + "\r\n"
            links += 1
        else:
            piece = filler
        parts.append(piece)
        length += len(piece)
    parts.append("</body>\r\n</html>\r\n")
    text = "".join(parts)
    return (text + " " * max(0, size - len(text)))[:size]


def make_many(folder):
    rnd = random.Random(42)
    for f in range(20):
        os.makedirs(os.path.join(folder, "teil%d" % f))
        for p in range(100):
            n = f * 100 + p
            with open(os.path.join(folder, "teil%d" % f, "seite%d.html" % p), "w") as out:
                out.write(html(PAGE, n % 200, 200, rnd))


def make_large(folder):
    rnd = random.Random(7)
    size = 200 * 1024 * 1024
    # The addresses spread over the page: one link about every megabyte.
    block = size // 200
    with open(os.path.join(folder, "gross.html"), "w") as out:
        for n in range(200):
            out.write(html(block, n, 200, rnd))


def make_real(folder, wanted=3000):
    sources = ["/usr/share/doc/postgresql-doc-15/html", "/usr/share/doc/git-doc"]
    count = 0
    for source in sources:
        for root, _, names in os.walk(source):
            for name in sorted(names):
                if not name.endswith((".html", ".htm")):
                    continue
                path = os.path.join(root, name)
                if os.path.islink(path) or not os.path.isfile(path):
                    continue
                target = os.path.join(folder, os.path.basename(source), os.path.relpath(path, source))
                os.makedirs(os.path.dirname(target), exist_ok=True)
                shutil.copyfile(path, target)
                count += 1
    man = "/usr/share/man/man1"
    manOut = os.path.join(folder, "man")
    os.makedirs(manOut, exist_ok=True)
    for name in sorted(os.listdir(man)):
        if count >= wanted:
            break
        path = os.path.join(man, name)
        if not name.endswith(".gz") or os.path.islink(path):
            continue
        try:
            source = gzip.open(path).read()
        except OSError:
            continue
        page = subprocess.run(["man2html", "-r"], input=source, capture_output=True).stdout
        if len(page) < 200:
            continue
        with open(os.path.join(manOut, name[:-3] + ".html"), "wb") as out:
            out.write(page)
        count += 1
    return count


def tree_size(folder):
    files = 0
    size = 0
    for root, _, names in os.walk(folder):
        for name in names:
            files += 1
            size += os.path.getsize(os.path.join(root, name))
    return files, size


def fresh_copy(pristine, work, home=None):
    shutil.rmtree(work, ignore_errors=True)
    if home:
        # Each run starts without the backups of the runs before it.
        for name in os.listdir(home):
            shutil.rmtree(os.path.join(home, name), ignore_errors=True)
    subprocess.run(["cp", "-a", pristine, work], check=True)
    os.sync()  # nothing of the copy is left to write while the run is timed


def timed(command, env=None, quiet=False, own_clock=False):
    """Wall and processor seconds and peak memory (KiB) of one process; with
    own_clock the wall time is the one the process prints (the window's run
    from the click to the box, without its start)."""
    with tempfile.NamedTemporaryFile("r") as report:
        # Started in the scratch home: a program run from its build keeps its
        # backups in the folder it starts in.
        done = subprocess.run(["/usr/bin/time", "-f", "%e %U %S %M", "-o", report.name, "nice"] + command,
                              check=True, stdout=subprocess.PIPE, text=True,
                              stderr=subprocess.DEVNULL if quiet else None, env=env, cwd=env["HOME"])
        wall, user, system, peak = report.read().split()[-4:]
    extra = None
    if own_clock:
        # The window's run: its own thread's processor time, then the click to the box.
        extra, wall = (float(x) for x in done.stdout.split()[-2:])
    return float(wall), float(user) + float(system), int(peak), extra


def load():
    return os.getloadavg()[0]


def measure(name, pristine, cli, baseline, pairs, env, window=False, options=()):
    """cli is the command line, or with window the window's run timer."""
    files, size = tree_size(pristine)
    print("\n== %s%s: %d files, %.1f MB" % (name, " (window, click to box)" if window else "", files, size / 1e6))
    print("pair  load  ours wall/cpu/peak           baseline wall/cpu/peak        ratio")
    work = pristine + ".work"
    ratios = []
    shares = []
    for pair in range(pairs):
        row = {}
        before = load()
        order = ["cli", "base"] if pair % 2 == 0 else ["base", "cli"]
        for which in order:
            fresh_copy(pristine, work, env["HOME"])
            if which == "base":
                row[which] = timed([baseline, work, "fsync"], env, quiet=True)
            elif window:
                row[which] = timed([cli] + list(options) + [work], env, quiet=True, own_clock=True)
            else:
                row[which] = timed([cli, "run", "--recursive"] + list(options) + [work], env)
        c, b = row["cli"], row["base"]
        ratios.append(c[0] / b[0])
        shares.append(c[3] / c[0] if c[3] is not None else None)
        print("%4d  %4.1f  %6.2fs %6.2fs %7.0f MB   %6.2fs %6.2fs %7.0f MB   %.2f%s" %
              (pair + 1, before, c[0], c[1], c[2] / 1024, b[0], b[1], b[2] / 1024, ratios[-1],
               "   window thread %.1f%%" % (100 * shares[-1]) if shares[-1] is not None else ""))
    shutil.rmtree(work, ignore_errors=True)
    print("median ratio (ours / baseline wall time): %.2f" % statistics.median(ratios))
    if window:
        print("median share of the window's own thread in the click-to-box time: %.1f%%" %
              (100 * statistics.median(shares)))
    return ratios


def syscalls(name, pristine, cli, env, options=()):
    work = pristine + ".work"
    fresh_copy(pristine, work)
    with tempfile.NamedTemporaryFile("r") as report:
        subprocess.run(["strace", "-f", "-c", "-w", "-o", report.name, cli, "run", "--recursive"] + list(options) +
                       [work], check=True, stdout=subprocess.DEVNULL, env=env, cwd=env["HOME"])
        lines = report.read().splitlines()
    shutil.rmtree(work, ignore_errors=True)
    print("-- %s: system calls of one command-line run by wall time (strace -c -w)" % name)
    for line in lines[:12]:
        print("   " + line)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--baseline", required=True, help="single_pass_baseline.cpp")
    parser.add_argument("--corpus", default="/tmp/quill-e2e-corpus")
    parser.add_argument("--pairs", type=int, default=5)
    parser.add_argument("--only", default="many,large,real")
    parser.add_argument("--syscalls", action="store_true")
    parser.add_argument("--window", help="window_run_timer: also time the window's run over the corpora")
    parser.add_argument("--option", action="append", default=[],
                        help="an option for the command line's run and the window's timer: --option=--no-backup")
    args = parser.parse_args()

    cli = os.path.abspath(args.cli)
    os.makedirs(args.corpus, exist_ok=True)
    baseline = os.path.join(args.corpus, "single_pass_baseline")
    if not os.path.exists(baseline):
        subprocess.run(["g++", "-O2", "-std=c++20", "-o", baseline, args.baseline], check=True)
    # The command line keeps its settings and state in a home of its own.
    home = tempfile.mkdtemp(prefix="quill-e2e-home-")
    env = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, "data"),
               XDG_STATE_HOME=os.path.join(home, "state"), XDG_CONFIG_HOME=os.path.join(home, "config"))
    makers = {"many": make_many, "large": make_large, "real": make_real}
    for name in args.only.split(","):
        pristine = os.path.join(args.corpus, name)
        if not os.path.isdir(pristine):
            made = pristine + ".making"
            shutil.rmtree(made, ignore_errors=True)
            os.makedirs(made)
            makers[name](made)
            os.rename(made, pristine)
        measure(name, pristine, cli, baseline, args.pairs, env, options=args.option)
        if args.window:
            measure(name, pristine, os.path.abspath(args.window), baseline, args.pairs, env, window=True,
                    options=args.option)
        if args.syscalls:
            syscalls(name, pristine, cli, env, options=args.option)
    shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
