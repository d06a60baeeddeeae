#!/usr/bin/env python3
"""Times orvalis-tool html2text against w3m -dump on saved real pages, whole process
included: each page converted by both in turn, best of RUNS, wall clock and CPU time
(user + system) of the child; then the peak memory of one run of each, measured by
/usr/bin/time (a forked child's own figure carries its parent's).
usage: real_pages.py ORVALIS_TOOL PAGE_DIR [RUNS]"""
import os
import subprocess
import sys
import tempfile
import time


def run_once(argv):
    """(wall s, cpu s, peak KB) of one run, or None when it failed."""
    with open(os.devnull, "wb") as out:
        t0 = time.perf_counter()
        p = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=out,
                             stderr=subprocess.DEVNULL)
        _, status, ru = os.wait4(p.pid, 0)
        wall = time.perf_counter() - t0
    p.returncode = os.waitstatus_to_exitcode(status)
    if p.returncode != 0:
        return None
    return wall, ru.ru_utime + ru.ru_stime, ru.ru_maxrss


def peak_kb(argv):
    """Peak resident memory of one run in KB, by /usr/bin/time."""
    with tempfile.NamedTemporaryFile("r") as f:
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", f.name] + argv,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return int(f.read().strip().splitlines()[-1])


def best(results):
    if any(r is None for r in results):
        return None
    return (min(r[0] for r in results), min(r[1] for r in results),
            max(r[2] for r in results))


def main():
    tool, folder = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    pages = sorted(os.path.join(folder, f) for f in os.listdir(folder) if f.endswith(".html"))
    ov_cmd = lambda p: [tool, "html2text", p]  # noqa: E731
    w3m_cmd = lambda p: ["w3m", "-dump", "-T", "text/html", "-O", "UTF-8", p]  # noqa: E731
    tot = {"ov_wall": 0.0, "ov_cpu": 0.0, "w3m_wall": 0.0, "w3m_cpu": 0.0}
    worst_mem = 0.0
    # The constant part: the peak on the smallest page (tables built, a few references).
    smallest = min(pages, key=os.path.getsize)
    base_kb = max(peak_kb(ov_cmd(smallest)) for _ in range(3))
    print("%-32s %8s %9s %9s %9s %9s %7s %7s %8s %8s" % (
        "page", "KB", "ov wall", "w3m wall", "ov cpu", "w3m cpu", "wall", "cpu",
        "ov peak", "w3m peak"))
    for page in pages:
        size = os.path.getsize(page)
        ov, w3 = [], []
        for _ in range(runs):  # in turn, so that both see the same load
            ov.append(run_once(ov_cmd(page)))
            w3.append(run_once(w3m_cmd(page)))
        o, w = best(ov), best(w3)
        name = os.path.basename(page)[:32]
        if o is None or w is None:
            print("%-32s %8d %s" % (name, size // 1024, "FAILED (orvalis)" if o is None
                                    else "w3m failed"))
            continue
        tot["ov_wall"] += o[0]
        tot["ov_cpu"] += o[1]
        tot["w3m_wall"] += w[0]
        tot["w3m_cpu"] += w[1]
        o = o[:2] + (peak_kb(ov_cmd(page)),)
        w = w[:2] + (peak_kb(w3m_cmd(page)),)
        # Peak memory beyond that of an empty page, against the page's size (on pages
        # large enough for the page to weigh more than the allocator's own rounding).
        if size >= 64 * 1024:
            worst_mem = max(worst_mem, (o[2] - base_kb) * 1024.0 / size)
        print("%-32s %8d %8.1fms %8.1fms %8.1fms %8.1fms %7.2f %7.2f %6dKB %6dKB" % (
            name, size // 1024, o[0] * 1e3, w[0] * 1e3, o[1] * 1e3, w[1] * 1e3,
            o[0] / w[0], o[1] / max(w[1], 1e-4), o[2], w[2]))
    print("total: orvalis wall %.3f s, w3m wall %.3f s, ratio %.2f; orvalis cpu %.3f s, "
          "w3m cpu %.3f s, ratio %.2f" % (
              tot["ov_wall"], tot["w3m_wall"], tot["ov_wall"] / tot["w3m_wall"],
              tot["ov_cpu"], tot["w3m_cpu"], tot["ov_cpu"] / tot["w3m_cpu"]))
    print("orvalis peak memory: %d KB on the smallest page; beyond that at most %.2f times the "
          "page's size (pages of 64 KB and more)" % (base_kb, worst_mem))
    print("ratios below 0.5 meet the goal (orvalis at most half of w3m's time)")


if __name__ == "__main__":
    main()
