// SPDX-License-Identifier: GPL-3.0-or-later
// The real window under a pupil's random clicking and typing, over many program lifetimes,
// never leaves the rules of a test; and closing it by the frame always ends cleanly.
#include "RunRules.h"
#include "WindowTesting.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <random>
#include <sstream>

class Form1RobustTest : public QObject {
    Q_OBJECT

private slots:
    void randomClicksAndKeysKeepTheRules();
    void closingByTheFrameEndsWithStatusZero_data();
    void closingByTheFrameEndsWithStatusZero();
};

namespace {

QString Violation(const Form1 &window, bool endedByThisPress, bool exitMayEnd, bool pressedExit)
{
    const Screen screen{window.Label6->text().toStdString(),
                        window.Command1->isVisibleTo(&window) || window.Command1->isEnabled(),
                        window.Command4->isVisibleTo(&window), endedByThisPress};
    return QString::fromStdString(BrokenRule(window.Run(), screen, pressedExit, exitMayEnd));
}

} // namespace

void Form1RobustTest::randomClicksAndKeysKeepTheRules()
{
    constexpr unsigned Seed = 7031;
    constexpr int Presses = 5000;
    // A lifetime ends by Exit or, past this many presses, by the frame's close button.
    constexpr int LongestLifetime = 250;
    const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape,
                            Qt::Key_Up,  Qt::Key_Down,    Qt::Key_Left,  Qt::Key_Right};

    if (UnderWine() && QGuiApplication::platformName() == QLatin1String("windows"))
        QSKIP("under Wine each lifetime's real windows and notices take seconds, and 5000 presses outlast "
              "the test's time; the same presses run under Wine on the offscreen platform");
    std::mt19937 pupil(Seed);
    NoticeCatcher catcher;
    int lifetimes = 0;
    int reachedLast = 0;
    int press = 0;
    while (press < Presses) {
        ++lifetimes;
        auto window = std::make_unique<Form1>(std::make_unique<ReplayRandom>(pupil()));
        window->show();
        // Half the presses are keys, which reach only an active window.
        SKIP_UNLESS_ACTIVE(window.get());
        std::ostringstream presses;
        for (int inLifetime = 0; inLifetime < LongestLifetime && window->isVisible() && press < Presses;
             ++inLifetime, ++press) {
            const quiz::TestRun before = window->Run();
            const bool exitMayEnd = ExitMayEnd(before);
            bool pressedExit = false;
            const int kind = int(pupil() % 4);
            if (kind == 0) {
                // Anywhere in the window: whatever is on top there takes the click.
                const QPoint point(int(pupil() % 712), int(pupil() % 420));
                QWidget *target = window->childAt(point);
                if (target == nullptr)
                    target = window.get();
                pressedExit = target == window->Command3;
                presses << " click(" << point.x() << ',' << point.y() << ')';
                QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(window.get(), point));
            } else if (kind == 1 || kind == 2) {
                // One of the controls a pupil can see; Next is favoured and Exit rare, so
                // that many lifetimes get far into the test.
                std::vector<QWidget *> visible;
                for (auto *button : window->findChildren<QAbstractButton *>()) {
                    const int weight = button == window->Command4 ? 3 : button == window->Command3 ? 0 : 1;
                    if (button->isVisible())
                        visible.insert(visible.end(), std::size_t(weight), button);
                }
                if (pupil() % 8 == 0)
                    visible.push_back(window->Command3);
                QWidget *target = visible[pupil() % visible.size()];
                pressedExit = target == window->Command3;
                presses << ' ' << target->objectName().toStdString();
                Click(target);
            } else {
                QVERIFY(WindowActive(window.get()));
                const Qt::Key key = keys[pupil() % std::size(keys)];
                QWidget *focused = QApplication::focusWidget();
                QVERIFY2(focused != nullptr, "the keyboard focus was lost");
                pressedExit = focused == window->Command3 && (key == Qt::Key_Space || key == Qt::Key_Return);
                presses << " key" << int(key);
                QTest::keyClick(focused, key);
            }
            const QString problem = Violation(*window, !window->isVisible(), exitMayEnd, pressedExit);
            if (!problem.isEmpty())
                QFAIL(qPrintable(QString("%1 (seed %2, lifetime %3) after:%4")
                                     .arg(problem)
                                     .arg(Seed)
                                     .arg(lifetimes)
                                     .arg(QString::fromStdString(presses.str()))));
        }
        reachedLast += window->Run().QuestionNo == 10 ? 1 : 0;
    }
    qInfo("%d presses over %d lifetimes, %d of them reached question 10", press, lifetimes, reachedLast);
    QVERIFY(lifetimes > 10);
    QVERIFY2(reachedLast > 0, "no lifetime got to question 10, where Next must be gone");
}

void Form1RobustTest::closingByTheFrameEndsWithStatusZero_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("idle") << "idle";
    QTest::newRow("awaiting an answer") << "awaiting";
    QTest::newRow("after an empty check") << "empty";
    QTest::newRow("answer accepted") << "accepted";
    QTest::newRow("question 10 accepted") << "last";
}

void Form1RobustTest::closingByTheFrameEndsWithStatusZero()
{
    QFETCH(QString, state);
    NoticeCatcher catcher;
    auto window = ShownWindow();
    Form1 &form = *window;
    const auto answer = [&form] {
        OptionOf(form, 1)->click();
        form.Command2->click();
    };
    if (state != "idle")
        form.Command1->click();
    if (state == "empty")
        form.Command2->click();
    if (state == "accepted")
        answer();
    if (state == "last") {
        AnswerUntil(form, 10);
        answer();
    }
    catcher.Notices.clear();
    // The close button of the frame: the platform's close request for the native window.
    QTimer::singleShot(0, window.get(), [&] { window->windowHandle()->close(); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!window->isVisible());
    QVERIFY2(catcher.Notices.empty(), "closing by the frame asks nothing");
}

QTEST_MAIN(Form1RobustTest)
#include "tst_form1_robust.moc"
