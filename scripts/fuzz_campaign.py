#!/usr/bin/env python3
"""The long fuzz run behind `make fuzz`:
    scripts/fuzz_campaign.py BUILD_FUZZ [--runs N] [--max-time S] [--targets a,b] [--no-doc]
Runs every libFuzzer target of the fuzz build tree BUILD_FUZZ, one after the
other and at the lowest priority, until it has executed N inputs (10 million
by default) or S seconds have passed (7200 by default), whichever comes
first. Each target starts from its seeds in fuzz/corpus/NAME and the corpus
its earlier campaigns left in BUILD_FUZZ/campaign/NAME, which it grows.

What each run saw (executions, time, edges covered at the start, that is by
the seeds and the earlier corpus, after 400 s and at the end, corpus size,
peak memory, crashes) is printed
and written into docs/reliability.md between its fuzz figure markers. An
input that crashes a target, or makes it run out of time or memory, is
copied into fuzz/corpus/NAME as regression_NAME, so that it stays a seed of
every later run once it is fixed."""
import argparse
import datetime
import os
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TARGETS = ["settings", "settings_file", "image_decode", "description"]
DOC = os.path.join(ROOT, "docs", "reliability.md")
BEGIN, END = "<!-- fuzz figures begin -->", "<!-- fuzz figures end -->"
EARLY = 400  # seconds: the edges reached by then compare with short runs
COVERAGE = re.compile(r"^#(\d+)\s+(\w+)\s+cov: (\d+) ft: (\d+) corp: (\d+)/(\S+)")


def corpus_size(folder):
    names = [n for n in os.listdir(folder) if os.path.isfile(os.path.join(folder, n))]
    return len(names), sum(os.path.getsize(os.path.join(folder, n)) for n in names)


def run_target(build, name, runs, max_time):
    work = os.path.join(build, "campaign", name)
    crashes = os.path.join(build, "campaign", "crashes", name)
    os.makedirs(work, exist_ok=True)
    shutil.rmtree(crashes, ignore_errors=True)
    os.makedirs(crashes)
    seeds = os.path.join(ROOT, "fuzz", "corpus", name)
    command = ["nice", "-n", "19", os.path.join(build, name + "_fuzz"),
               f"-runs={runs}", f"-max_total_time={max_time}", "-max_len=65536",
               "-malloc_limit_mb=128", "-timeout=25", "-print_final_stats=1",
               f"-artifact_prefix={crashes}/"]
    dictionary = os.path.join(ROOT, "fuzz", name + ".dict")
    if os.path.exists(dictionary):
        command.append(f"-dict={dictionary}")
    command += [work, seeds]

    figures = {"name": name, "seeded": None, "early": None, "final": None, "executions": 0,
               "rss": 0, "failure": None}
    log_path = os.path.join(build, "campaign", name + ".log")
    started = time.monotonic()
    with open(log_path, "w") as log:
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                   text=True, errors="replace")
        for line in process.stderr:
            log.write(line)
            match = COVERAGE.match(line)
            if match:
                edges = int(match.group(3))
                if match.group(2) == "INITED":
                    figures["seeded"] = edges
                if time.monotonic() - started <= EARLY or figures["early"] is None:
                    figures["early"] = edges
                figures["final"] = edges
            elif line.startswith("stat::number_of_executed_units:"):
                figures["executions"] = int(line.split(":")[-1])
            elif line.startswith("stat::peak_rss_mb:"):
                figures["rss"] = int(line.split(":")[-1])
            elif "ERROR: libFuzzer:" in line or "ERROR: AddressSanitizer" in line or \
                    "runtime error:" in line:
                figures["failure"] = figures["failure"] or line.split("ERROR:")[-1].strip()
        process.wait()
    figures["seconds"] = time.monotonic() - started
    if process.returncode != 0 and not figures["failure"]:
        figures["failure"] = f"exit status {process.returncode}"
    figures["corpus_files"], figures["corpus_bytes"] = corpus_size(work)

    kept = []
    for artifact in sorted(os.listdir(crashes)):
        if not artifact.startswith(("crash-", "oom-", "timeout-", "leak-")):
            continue  # slow inputs are reported, not failures
        target = os.path.join(seeds, "regression_" + artifact)
        shutil.copyfile(os.path.join(crashes, artifact), target)
        kept.append(os.path.relpath(target, ROOT))
    figures["crashes"] = len(kept)
    figures["kept"] = kept
    figures["log"] = os.path.relpath(log_path, ROOT)
    return figures


def table(results, runs, max_time):
    rows = ["| target | executions | time | edges at the start | after 400 s | at the end "
            "| corpus | peak memory | crashes |",
            "|---|---:|---:|---:|---:|---:|---:|---:|---:|"]
    for r in results:
        early = r["early"] if r["seconds"] >= EARLY else "-"
        rows.append(f"| {r['name']} | {r['executions']:,} | {r['seconds'] / 60:.0f} min "
                    f"| {r['seeded']} | {early} | {r['final']} "
                    f"| {r['corpus_files']:,} inputs, {r['corpus_bytes'] / 1024:,.0f} KiB "
                    f"| {r['rss']} MB | {r['crashes']} |")
    notes = []
    for r in results:
        if r["failure"]:
            notes.append(f"- {r['name']}: {r['failure']}; kept as "
                         f"{', '.join(r['kept']) or 'nothing (see ' + r['log'] + ')'}")
        elif r["executions"] < runs:
            notes.append(f"- {r['name']}: stopped by the time limit of {max_time} s")
    head = (f"Run of {datetime.date.today().isoformat()} on {os.cpu_count()} cores shared with "
            f"other work, at the lowest priority; goal {runs:,} executions per target, at most "
            f"{max_time} s each.")
    return "\n".join([head, ""] + rows + ([""] + notes if notes else []))


def write_doc(text):
    with open(DOC) as f:
        doc = f.read()
    if BEGIN not in doc or END not in doc:
        print(f"{DOC} has no fuzz figure markers; the table was not written", file=sys.stderr)
        return
    before, rest = doc.split(BEGIN, 1)
    after = rest.split(END, 1)[1]
    with open(DOC, "w") as f:
        f.write(before + BEGIN + "\n" + text + "\n" + END + after)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=10_000_000)
    parser.add_argument("--max-time", type=int, default=7200)
    parser.add_argument("--targets", default=",".join(TARGETS))
    parser.add_argument("--no-doc", action="store_true")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    results = []
    for name in args.targets.split(","):
        print(f"fuzzing {name} ...", flush=True)
        r = run_target(build, name, args.runs, args.max_time)
        print(f"  {r['executions']:,} executions in {r['seconds']:.0f} s, edges {r['seeded']} "
              f"at the start, {r['early']} after {EARLY} s, {r['final']} at the end; corpus "
              f"{r['corpus_files']} inputs; crashes {r['crashes']}"
              + (f" ({r['failure']})" if r["failure"] else ""), flush=True)
        results.append(r)
    text = table(results, args.runs, args.max_time)
    print(text)
    if not args.no_doc:
        write_doc(text)
    return 1 if any(r["failure"] for r in results) else 0


if __name__ == "__main__":
    sys.exit(main())
