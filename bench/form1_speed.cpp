// SPDX-License-Identifier: GPL-3.0-or-later
// How long each action takes on the real window, including the repaint it causes: the
// figures in the README come from here. A benchmark reports and never fails on a time,
// since a busy machine says nothing about the program; run it by hand on an idle one:
//   QT_QPA_PLATFORM=offscreen build/bench/znaydar_speed
#include "QuestionBank.h"
#include "WindowTesting.h"

#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <vector>

class Form1SpeedBench : public QObject {
    Q_OBJECT

private slots:
    void start();
    void check();
    void next();
    void exitRefused();
};

namespace {

constexpr int Rounds = 25;

// Reports the median of the rounds, in milliseconds: single rounds catch the machine's
// hiccups as much as the program.
void ReportMedian(std::vector<double> milliseconds)
{
    const auto middle = milliseconds.begin() + static_cast<std::ptrdiff_t>(milliseconds.size() / 2);
    std::nth_element(milliseconds.begin(), middle, milliseconds.end());
    QTest::setBenchmarkResult(*middle, QTest::WalltimeMilliseconds);
}

// Times `action` followed by a full repaint on fresh windows brought to the state `prepare`
// leaves them in.
void Measure(const std::function<void(Form1 &)> &prepare, const std::function<void(Form1 &)> &action)
{
    std::vector<double> milliseconds;
    for (int round = 0; round < Rounds; ++round) {
        auto window = ShownWindow();
        prepare(*window);
        window->repaint();
        QElapsedTimer timer;
        timer.start();
        action(*window);
        window->repaint();
        milliseconds.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    ReportMedian(std::move(milliseconds));
}

} // namespace

void Form1SpeedBench::start()
{
    Measure([](Form1 &) {}, [](Form1 &window) { Click(window.Command1); });
}

void Form1SpeedBench::check()
{
    Measure(
        [](Form1 &window) {
            Click(window.Command1);
            Click(KeyOption(window));
        },
        [](Form1 &window) { Click(window.Command2); });
}

void Form1SpeedBench::next()
{
    Measure(
        [](Form1 &window) {
            Click(window.Command1);
            Click(KeyOption(window));
            Click(window.Command2);
        },
        [](Form1 &window) { Click(window.Command4); });
}

void Form1SpeedBench::exitRefused()
{
    // From the press until the notice is on screen. A refusal changes nothing, so it can be
    // repeated on one window.
    NoticeCatcher catcher;
    auto window = ShownWindow();
    Click(window->Command1);
    std::vector<double> milliseconds;
    QElapsedTimer timer;
    catcher.Clock = &timer;
    for (int round = 0; round < Rounds; ++round) {
        window->repaint();
        timer.start();
        Click(window->Command3);
        QCOMPARE(catcher.Notices.size(), std::size_t(1));
        milliseconds.push_back(double(catcher.Notices.back().ShownAt) / 1e6);
        catcher.Notices.clear();
    }
    ReportMedian(std::move(milliseconds));
}

QTEST_MAIN(Form1SpeedBench)
#include "form1_speed.moc"
