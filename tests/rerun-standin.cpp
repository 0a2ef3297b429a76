// SPDX-License-Identifier: GPL-3.0-or-later
// Stands in for a test program where rerun-rule.sh checks when run-test.cmake runs a test
// again. STANDIN_PLAN lists what each run does, STANDIN_RUNS names a file that counts them:
//   pass          a passing QtTest's totals
//   tracer        passing totals, then LeakSanitizer's tracer crash at the exit
//   tracer-fail   a failing test's totals, then the tracer crash
//   tracer-alone  the tracer crash with no totals at all
//   tracer-half   passing totals, then only the first line of the tracer crash
//   crash         passing totals, then a crash of another kind
//   leak          passing totals and the tracer crash's words, with a real leak behind them
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

void Totals(int failed)
{
    std::printf("Totals: 3 passed, %d failed, 0 skipped, 0 blacklisted, 5ms\n", failed);
    std::fflush(stdout);
}

void TracerCrash(bool whole = true)
{
    std::fprintf(stderr, "Tracer caught signal 11: addr=0x0 pc=0x0 sp=0x0\n");
    if (whole)
        std::fprintf(stderr, "==1==LeakSanitizer has encountered a fatal error.\n");
}

// Kept where no pointer reaches it once main returns.
int *volatile lost = nullptr;

} // namespace

int main()
{
    const char *plan = std::getenv("STANDIN_PLAN");
    const char *runs = std::getenv("STANDIN_RUNS");
    if (plan == nullptr || runs == nullptr)
        return 2;
    std::ofstream(runs, std::ios::app) << "run\n";
    std::ifstream counted(runs);
    std::size_t run = 0;
    for (std::string line; std::getline(counted, line);)
        ++run;
    std::vector<std::string> steps;
    std::stringstream list(plan);
    for (std::string step; std::getline(list, step, ',');)
        steps.push_back(step);
    const std::string step = run <= steps.size() ? steps[run - 1] : "pass";
    if (step == "pass") {
        Totals(0);
        return 0;
    }
    if (step == "tracer" || step == "tracer-fail") {
        Totals(step == "tracer" ? 0 : 1);
        TracerCrash();
        return 1;
    }
    if (step == "tracer-alone") {
        TracerCrash();
        return 1;
    }
    if (step == "tracer-half") {
        Totals(0);
        TracerCrash(false);
        return 1;
    }
    if (step == "crash") {
        Totals(0);
        std::raise(SIGSEGV);
        return 1;
    }
    if (step == "leak") {
        Totals(0);
        TracerCrash();
        lost = new int[64];
        lost = nullptr;
        return 0;
    }
    return 2;
}
