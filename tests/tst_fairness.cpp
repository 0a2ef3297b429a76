// SPDX-License-Identifier: GPL-3.0-or-later
// Start's draws are fair: every question is equally likely at every position, and each of
// the four option arrangements comes up a quarter of the time.
#include "Actions.h"
#include "RecordingView.h"

#include <QtTest>

#include <array>

class FairnessTest : public QObject {
    Q_OBJECT

private slots:
    void drawsAreUniform();
};

namespace {

// Pearson's statistic against equal expected counts.
double ChiSquare(const int *counts, int cells, double expected)
{
    double sum = 0;
    for (int i = 0; i < cells; ++i) {
        const double difference = counts[i] - expected;
        sum += difference * difference / expected;
    }
    return sum;
}

} // namespace

void FairnessTest::drawsAreUniform()
{
    // Enough Starts that a roll range shifted by one (49 to 248, or 51 to 250) moves a
    // quarter's share by half a percent and shows far beyond the critical value.
    constexpr int Starts = 150000;
    // Critical values at p = 0.0001: 9 and 3 degrees of freedom, and 199 for the rolls.
    constexpr double Critical9 = 33.72;
    constexpr double Critical3 = 21.11;
    constexpr double Critical199 = 289.0;

    ReplayRandom draws(424242);
    std::array<std::array<int, 10>, 10> idAtPosition{};
    std::array<int, 4> arrangement{};
    std::array<int, 200> roll{};
    int lowestRoll = 1000;
    int highestRoll = -1000;

    for (int start = 0; start < Starts; ++start) {
        quiz::TestRun run;
        RecordingView view(run);
        view.Recording = false;
        quiz::Start(run, view, draws);
        for (std::size_t position = 0; position < 10; ++position) {
            const int id = run.QuestionOrder[position];
            QVERIFY2(id >= 1 && id <= 10, "an id outside 1 to 10 was drawn");
            ++idAtPosition[position][static_cast<std::size_t>(id - 1)];
        }
        lowestRoll = std::min(lowestRoll, run.LayoutRoll);
        highestRoll = std::max(highestRoll, run.LayoutRoll);
        QVERIFY2(run.LayoutRoll >= 50 && run.LayoutRoll <= 249, "LayoutRoll outside 50 to 249");
        ++roll[static_cast<std::size_t>(run.LayoutRoll - 50)];
        // The top row tells the arrangement: it is the button left at its design place.
        for (int k = 1; k <= 4; ++k)
            if (view.Places[quiz::OptionButton(k)].second == 360)
                ++arrangement[static_cast<std::size_t>(4 - k)];
    }

    QCOMPARE(lowestRoll, 50);
    QCOMPARE(highestRoll, 249);
    for (std::size_t position = 0; position < 10; ++position) {
        const double statistic = ChiSquare(idAtPosition[position].data(), 10, Starts / 10.0);
        QVERIFY2(statistic < Critical9,
                 qPrintable(QString("position %1: chi-square %2").arg(position + 1).arg(statistic)));
    }
    const double layouts = ChiSquare(arrangement.data(), 4, Starts / 4.0);
    QVERIFY2(layouts < Critical3, qPrintable(QString("arrangements: chi-square %1").arg(layouts)));
    const double rolls = ChiSquare(roll.data(), 200, Starts / 200.0);
    QVERIFY2(rolls < Critical199, qPrintable(QString("rolls: chi-square %1").arg(rolls)));
}

QTEST_APPLESS_MAIN(FairnessTest)
#include "tst_fairness.moc"
