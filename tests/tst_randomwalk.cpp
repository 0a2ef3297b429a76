// SPDX-License-Identifier: GPL-3.0-or-later
// A long random walk of presses, as many pupils might make them, never leaves the rules
// of a test run: the counters stay consistent and the program ends only where it may.
#include "Actions.h"
#include "RecordingView.h"
#include "RunRules.h"

#include <QtTest>

#include <random>
#include <sstream>

using quiz::Control;

class RandomWalkTest : public QObject {
    Q_OBJECT

private slots:
    void pressesKeepTheStateTable();
};

namespace {

enum class Press { Start, Next, Check, Exit, Select };

std::string Describe(Press press, int option)
{
    switch (press) {
    case Press::Start: return "start";
    case Press::Next: return "next";
    case Press::Check: return "check";
    case Press::Exit: return "exit";
    case Press::Select: return "select" + std::to_string(option);
    }
    return "?";
}

} // namespace

void RandomWalkTest::pressesKeepTheStateTable()
{
    constexpr std::uint64_t Seed = 20261207;
    constexpr int Presses = 120000;
    // Runs end by Exit, or are abandoned after this many presses (the window closed).
    constexpr int LongestRun = 400;

    std::mt19937_64 pupil(Seed);
    ReplayRandom draws(Seed ^ 0x9e3779b97f4a7c15ULL);
    int runs = 0;
    int finishedTests = 0;

    int press = 0;
    while (press < Presses) {
        ++runs;
        quiz::TestRun run;
        RecordingView view(run);
        view.Recording = false;
        std::vector<std::string> sequence;

        for (int inRun = 0; inRun < LongestRun && !view.Ended && press < Presses; ++inRun, ++press) {
            // Weighted so that many runs get through all ten questions before an Exit.
            std::vector<Press> choices{Press::Check, Press::Check, Press::Exit,
                                       Press::Select, Press::Select, Press::Select};
            if (view.Reachable(Control::Command1))
                choices.push_back(Press::Start);
            if (view.Reachable(Control::Command4))
                choices.insert(choices.end(), 3, Press::Next);
            const Press chosen = choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(pupil)];
            const int option = std::uniform_int_distribution<int>(1, 4)(pupil);
            sequence.push_back(Describe(chosen, option));

            const bool mayEnd = ExitMayEnd(run);
            switch (chosen) {
            case Press::Start: quiz::Start(run, view, draws); break;
            case Press::Next: quiz::Next(run, view); break;
            case Press::Check: quiz::Check(run, view); break;
            case Press::Exit: quiz::Exit(run, view); break;
            case Press::Select: view.Select(option); break;
            }

            const auto label6 = view.Captions.find(Control::Label6);
            const Screen screen{label6 == view.Captions.end() ? "" : label6->second,
                                view.Reachable(Control::Command1), view.Reachable(Control::Command4), view.Ended};
            const std::string problem = BrokenRule(run, screen, chosen == Press::Exit, mayEnd);
            if (!problem.empty()) {
                std::ostringstream report;
                report << problem << " (seed " << Seed << ", run " << runs << ") after:";
                for (const std::string &step : sequence)
                    report << ' ' << step;
                QFAIL(report.str().c_str());
            }
        }
        if (view.Ended && run.QuestionNo == quiz::QuestionCount)
            ++finishedTests;
    }
    // The walk must reach the end of a test often, or it proves little about question 10.
    QVERIFY2(finishedTests > 10, qPrintable(QString("only %1 tests walked to the end").arg(finishedTests)));
}

QTEST_APPLESS_MAIN(RandomWalkTest)
#include "tst_randomwalk.moc"
