#!/usr/bin/env python3
"""Plants one-line faults in a scratch copy of the tree, one after another, and counts how many the tests catch.

Each fault in tools/planted-faults.txt names a file, an exact snippet of its text (which must occur once) and the
text that replaces it. For every fault the scratch copy gets the changed file, the scratch build is brought up to
date and the tests run; then the file is put back. The working tree itself is never written to.

Outcomes: "caught" (a test failed or timed out), "SURVIVED" (all tests passed), "stale" (the snippet is no longer
in the file, or not once: refresh the entry), "invalid" (the faulty code does not build: replace the entry).

  tools/plant-faults.py                  all faults, all tests
  tools/plant-faults.py --only 3,17      some faults (numbers as printed)
  tools/plant-faults.py --labels 'bridge|conversion'   only tests with these ctest labels
  tools/plant-faults.py --list           the faults and whether their snippets still match
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


class Fault:
    def __init__(self, number, path, original, replacement, note):
        self.number, self.path, self.original, self.replacement, self.note = number, path, original, replacement, note

    @property
    def area(self):
        parts = Path(self.path).parts
        if parts[:3] == ("src", "app", "window"):
            return "window"
        return parts[1] if parts[0] == "src" else parts[0]


def read_faults(file):
    """Entries are separated by blank lines: 'file: PATH', 'note: TEXT', '- ORIGINAL', '+ REPLACEMENT'."""
    faults, entry = [], {}

    def finish():
        if not entry:
            return
        missing = [k for k in ("file", "note", "-", "+") if k not in entry]
        if missing:
            sys.exit(f"{file}: entry {entry} lacks {', '.join(missing)}")
        faults.append(Fault(len(faults) + 1, entry["file"], entry["-"], entry["+"], entry["note"]))
        entry.clear()

    for line in Path(file).read_text().splitlines():
        if not line.strip():
            finish()
        elif line.startswith("#"):
            continue
        elif line.startswith(("- ", "+ ")):
            entry[line[0]] = line[2:]
        elif line.startswith(("file: ", "note: ")):
            key, _, value = line.partition(": ")
            entry[key] = value.strip()
        else:
            sys.exit(f"{file}: cannot read line: {line}")
    finish()
    return faults


def tree_files(root):
    out = subprocess.run(["git", "-C", str(root), "ls-files", "-z", "-co", "--exclude-standard"], check=True,
                         capture_output=True).stdout
    return [f for f in out.decode().split("\0") if f]


def sync_scratch(src_root, scratch):
    """Makes the scratch copy equal to the working tree. Only files whose bytes differ are written, so that the
    scratch build stays incremental; a file left faulty by an interrupted run differs and is written again."""
    wanted = set(tree_files(src_root))
    for rel in wanted:
        source, target = src_root / rel, scratch / rel
        if not source.is_file():
            continue
        data = source.read_bytes()
        if not target.is_file() or target.read_bytes() != data:
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(data)
            shutil.copymode(source, target)
    for path in scratch.rglob("*"):
        rel = path.relative_to(scratch).as_posix()
        if path.is_file() and rel not in wanted and "node_modules" not in path.parts:
            path.unlink()
    modules = scratch / "tests/oracle/node_modules"
    if (scratch / "tests/oracle/package.json").is_file() and not modules.exists():
        if (src_root / "tests/oracle/node_modules").is_dir():
            modules.symlink_to(src_root / "tests/oracle/node_modules")
        else:
            subprocess.run(["npm", "ci", "--no-audit", "--no-fund", "--silent"], cwd=scratch / "tests/oracle",
                           check=True)


def build(scratch, build_dir, jobs, log):
    if not (build_dir / "CMakeCache.txt").exists():
        subprocess.run(["cmake", "-S", str(scratch), "-B", str(build_dir), "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                        "-DDEALSCOPE_BENCH=OFF"], check=True, stdout=log, stderr=subprocess.STDOUT)
    return subprocess.run(["cmake", "--build", str(build_dir), "-j", str(jobs)], stdout=log,
                          stderr=subprocess.STDOUT).returncode == 0


def run_tests(build_dir, args, limit, log, stop_on_failure):
    """Returns (passed, timed_out). The whole run is bounded by `limit` seconds so that a hang counts too."""
    cmd = ["ctest", "-j", str(args.ctest_jobs), "--timeout", str(args.timeout), "--output-on-failure"]
    if args.labels:
        cmd += ["-L", args.labels]
    if stop_on_failure:
        cmd.append("--stop-on-failure")
    # The window tests start X servers of their own.
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    env["NO_AT_BRIDGE"] = "1"
    proc = subprocess.Popen(cmd, cwd=build_dir, stdout=log, stderr=subprocess.STDOUT, env=env,
                            start_new_session=True)
    try:
        return proc.wait(timeout=limit) == 0, False
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
        return False, True


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--faults", default=str(ROOT / "tools/planted-faults.txt"))
    parser.add_argument("--work", default=os.environ.get("PLANT_FAULTS_DIR", "/tmp/dealscope-planted-faults"),
                        help="scratch copy and its build (kept between runs for speed)")
    parser.add_argument("-j", "--jobs", type=int, default=3, help="build jobs")
    parser.add_argument("--ctest-jobs", type=int, default=3)
    parser.add_argument("--labels", help="ctest -L regular expression (default: every test)")
    parser.add_argument("--timeout", type=int, default=120, help="per-test time-out in seconds")
    parser.add_argument("--only", help="comma-separated fault numbers")
    parser.add_argument("--list", action="store_true", help="list the faults and their state, run nothing")
    args = parser.parse_args()

    faults = read_faults(args.faults)
    if args.only:
        chosen = {int(n) for n in args.only.split(",")}
        faults = [f for f in faults if f.number in chosen]

    def matches(fault, root):
        path = root / fault.path
        return path.is_file() and path.read_bytes().count(fault.original.encode()) == 1

    if args.list:
        for f in faults:
            print(f"{f.number:3} {'ok   ' if matches(f, ROOT) else 'STALE'} {f.area:10} {f.path}: {f.note}")
        return 0

    work = Path(args.work)
    scratch, build_dir = work / "tree", work / "build"
    scratch.mkdir(parents=True, exist_ok=True)
    log_path = work / "last-run.log"
    started = time.monotonic()
    with open(log_path, "w") as log:
        sync_scratch(ROOT, scratch)
        if not build(scratch, build_dir, args.jobs, log):
            sys.exit(f"the unchanged tree does not build; see {log_path}")
        clean_started = time.monotonic()
        passed, _ = run_tests(build_dir, args, 3600, log, stop_on_failure=False)
        clean_seconds = time.monotonic() - clean_started
        if not passed:
            sys.exit(f"the tests fail on the unchanged tree; see {log_path}")
    limit = max(120, 4 * clean_seconds)
    print(f"unchanged tree: tests pass in {clean_seconds:.0f} s; a fault's run is stopped after {limit:.0f} s")

    results = {}
    for fault in faults:
        path = scratch / fault.path
        fault_log = work / f"fault-{fault.number:03}.log"
        t0 = time.monotonic()
        if not matches(fault, scratch):
            outcome = "stale"
        else:
            original = path.read_bytes()
            path.write_bytes(original.replace(fault.original.encode(), fault.replacement.encode()))
            try:
                with open(fault_log, "w") as log:
                    if not build(scratch, build_dir, args.jobs, log):
                        outcome = "invalid"
                    else:
                        passed, timed_out = run_tests(build_dir, args, limit, log, stop_on_failure=True)
                        outcome = "caught (time-out)" if timed_out else "SURVIVED" if passed else "caught"
            finally:
                path.write_bytes(original)
        results[fault.number] = outcome
        print(f"{fault.number:3} {outcome:17} {time.monotonic() - t0:5.0f} s  {fault.path}: {fault.note}",
              flush=True)

    # Leave the scratch build matching the tree, so that the next run starts from a good build.
    with open(log_path, "a") as log:
        build(scratch, build_dir, args.jobs, log)

    print("\nby area (caught/judged):")
    for area in dict.fromkeys(f.area for f in faults):
        mine = [results[f.number] for f in faults if f.area == area]
        judged = [r for r in mine if r.startswith("caught") or r == "SURVIVED"]
        caught = sum(r.startswith("caught") for r in judged)
        print(f"  {area:11} {caught}/{len(judged)}")
    for kind in ("stale", "invalid"):
        listed = [str(f.number) for f in faults if results[f.number] == kind]
        if listed:
            print(f"{kind}: {', '.join(listed)}")
    judged = [r for r in results.values() if r.startswith("caught") or r == "SURVIVED"]
    caught = sum(r.startswith("caught") for r in judged)
    share = 100 * caught / len(judged) if judged else 0
    print(f"{caught} caught of {len(judged)} ({share:.0f}%) in {(time.monotonic() - started) / 60:.1f} min")
    return 0


if __name__ == "__main__":
    sys.exit(main())
