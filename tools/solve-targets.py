#!/usr/bin/env python3
"""Feeds last-layer targets to the optimal solver and writes its solutions.

    solve-targets.py TARGETS SOLUTIONS [--workers N] [--limit SECONDS] [--enough N]

TARGETS has lines "OLL 21 UF UR ..." (tesselo_scramblepool targets). For every
target, each solution the solver prints within the time limit is appended to
SOLUTIONS as "OLL 21 <moves>", followed by "# done <line number>". A rerun
skips the targets already done, so an interrupted run can be continued. With
--enough, a target is skipped once its case has that many different solutions:
the time goes to the cases whose targets give few.

Exits with status 1 when a solver cannot start or stops before the work is
done: the targets left unsolved would otherwise pass unnoticed and the pool be
made from what little was found.
"""
import argparse
import os
import queue
import re
import select
import signal
import subprocess
import sys
import threading
import time

PROMPT = b"enter cube"
SOLUTION = re.compile(r"^\s*([URFDLB][ '2URFDLB]*?)\s*\(\d+q\*?, *\d+f\)")


class Solver:
    """One long-running solver process: its distance table is built once."""

    def __init__(self):
        self.process = subprocess.Popen(
            ["nice", "-n", "19", "stdbuf", "-oL", "rubiks_optimal"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.pending = b""
        self.read_until_prompt(None)

    def read_until_prompt(self, deadline):
        """The output up to the next prompt; interrupts the search at the deadline."""
        interrupted = False
        while PROMPT not in self.pending:
            wait = None
            if deadline is not None and not interrupted:
                wait = max(0.0, deadline - time.monotonic())
            ready, _, _ = select.select([self.process.stdout], [], [], wait)
            if not ready:
                self.process.send_signal(signal.SIGINT)
                interrupted = True
                continue
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                status = self.process.wait()
                raise RuntimeError(f"the solver stopped (status {status})")
            self.pending += chunk
        text, _, self.pending = self.pending.partition(PROMPT)
        self.pending = self.pending.split(b"\n", 1)[1] if b"\n" in self.pending else b""
        return text.decode(errors="replace")

    def solve(self, cube, limit):
        self.process.stdin.write(cube.encode() + b"\n")
        self.process.stdin.flush()
        output = self.read_until_prompt(time.monotonic() + limit)
        return [m.group(1).split() for m in map(SOLUTION.match, output.splitlines()) if m]

    def close(self):
        self.process.stdin.close()
        if self.process.wait() != 0:
            raise RuntimeError(f"the solver exited with status {self.process.returncode}")


def case_of(target):
    """The case a target is for: "14" also for the targets a turn away, "14+R2" and "R2+14"."""
    return next((part for part in target.split("+") if part.isdigit()), target)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("targets")
    parser.add_argument("solutions")
    parser.add_argument("--workers", type=int, default=1)
    parser.add_argument("--limit", type=float, default=30.0)
    parser.add_argument("--enough", type=int, default=0)
    args = parser.parse_args()

    with open(args.targets) as f:
        targets = [line.split(None, 2) for line in f if line.strip()]
    done = set()
    found = {}   # (set, case) -> the different solutions so far
    if os.path.exists(args.solutions):
        with open(args.solutions) as f:
            for line in f:
                if line.startswith("# done"):
                    done.add(int(line.split()[2]))
                elif line.strip():
                    set_name, case, moves = line.split(None, 2)
                    found.setdefault((set_name, case_of(case)), set()).add(moves.strip())
    work = queue.Queue()
    for number, target in enumerate(targets, 1):
        if number not in done:
            work.put((number, target))
    print(f"{work.qsize()} of {len(targets)} targets to solve", file=sys.stderr, flush=True)

    lock = threading.Lock()
    out = open(args.solutions, "a")
    failures = []

    def run():
        try:
            solve_queue()
        except Exception as error:  # noqa: BLE001 - any failure ends the run with status 1
            with lock:
                failures.append(str(error) or type(error).__name__)

    def solve_queue():
        solver = Solver()
        while not failures:
            try:
                number, (set_name, case, cube) = work.get_nowait()
            except queue.Empty:
                break
            with lock:
                if args.enough and len(found.get((set_name, case_of(case)), ())) >= args.enough:
                    out.write(f"# done {number} {set_name} {case} skipped: enough solutions\n")
                    out.flush()
                    continue
            started = time.monotonic()
            solutions = solver.solve(cube.strip(), args.limit)
            with lock:
                for moves in solutions:
                    out.write(f"{set_name} {case} {' '.join(moves)}\n")
                    found.setdefault((set_name, case_of(case)), set()).add(' '.join(moves))
                out.write(f"# done {number} {set_name} {case} {len(solutions)} solutions "
                          f"{time.monotonic() - started:.1f} s\n")
                out.flush()
        solver.close()

    threads = [threading.Thread(target=run) for _ in range(args.workers)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    out.close()
    if failures:
        for failure in failures:
            print(f"solve-targets.py: {failure}", file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
