// SPDX-License-Identifier: GPL-3.0-or-later
// Each action performs exactly its operations, in order, and nothing else.
#include "Actions.h"
#include "QuestionBank.h"
#include "RecordingView.h"

#include <QtTest>

#include <set>

using quiz::Control;

namespace {

QStringList ShowQuestionOperations(int id)
{
    const quiz::Question *question = quiz::QuestionBank::Find(id);
    QStringList operations{"Caption Label1 " + QString::fromUtf8(question->Text)};
    for (int k = 0; k < 4; ++k)
        operations << QString("Caption Option%1 ").arg(k + 1) + QString::fromUtf8(question->Answers[static_cast<std::size_t>(k)]);
    return operations;
}

// What an action reported, in a line: "refused PROMPT", "accepted VERDICT COUNT [last]",
// "showing N (ID) ROWS", with the id of the question whose text it gave and the option
// buttons' numbers from the top row down, "ended", or nothing.
QString Told(const quiz::Outcome &outcome)
{
    using Kind = quiz::Outcome::Kind;
    switch (outcome.What) {
    case Kind::Nothing:
        return QString();
    case Kind::Refused:
        return "refused " + QString::fromStdString(outcome.Notice);
    case Kind::Accepted:
        return QString("accepted %1 %2%3")
            .arg(QString::fromStdString(outcome.Verdict))
            .arg(outcome.WrongAnswers)
            .arg(outcome.LastQuestion ? " last" : "");
    case Kind::Showing: {
        int id = 0;
        for (int candidate = 1; candidate <= 10; ++candidate)
            if (quiz::QuestionBank::Find(candidate)->Text == outcome.QuestionText)
                id = candidate;
        QString rows;
        for (Control row : outcome.Rows)
            rows += QString::number(static_cast<int>(row) - static_cast<int>(Control::Option1) + 1);
        return QString("showing %1 (%2) %3").arg(outcome.QuestionNo).arg(id).arg(rows);
    }
    case Kind::Ended:
        return "ended";
    }
    return "?";
}

QStringList Recorded(const RecordingView &view)
{
    QStringList operations;
    for (const std::string &operation : view.Operations)
        operations << QString::fromStdString(operation);
    return operations;
}

const QStringList NextRefused{"Visible Command1 false", "Visible Command4 true", "Caption Label7 ",
                              "Notice Нажмите кнопку ПРОВЕРИТЬ"};
const QStringList ClearAll{"Clear Option1", "Clear Option2", "Clear Option3", "Clear Option4"};

// A moment on the wall clock, a whole second, in nanoseconds since 1970.
constexpr quint64 SameSecond = 1'796'630'400'000'000'000ULL;

// One test run driven by a short script: "start", "next", "check", "exit", "select K",
// "right" or "wrong" (select the right or a wrong answer and check), "upto N" (answer
// right and move on until question N is shown).
class Session {
public:
    explicit Session(int layoutRoll = 50) : random_(ReplayedDraws(layoutRoll)) {}

    void Play(const QString &script)
    {
        for (const QString &step : script.split(',', Qt::SkipEmptyParts))
            Step(step.trimmed());
    }

    void Step(const QString &step)
    {
        const QStringList words = step.split(' ');
        if (words[0] == "start") {
            Last = quiz::Start(run, view, random_);
        } else if (words[0] == "next") {
            Last = quiz::Next(run, view);
        } else if (words[0] == "check") {
            Last = quiz::Check(run, view);
        } else if (words[0] == "exit") {
            Last = quiz::Exit(run, view);
        } else if (words[0] == "select") {
            view.Select(words[1].toInt());
        } else if (words[0] == "right" || words[0] == "wrong") {
            const int key = quiz::QuestionBank::Find(run.QuestionAt(run.QuestionNo))->Key;
            view.Select(words[0] == "right" ? key : key % 4 + 1);
            Last = quiz::Check(run, view);
        } else if (words[0] == "upto") {
            while (run.QuestionNo < words[1].toInt())
                Play("right, next");
        } else {
            QFAIL(qPrintable("unknown step " + step));
        }
    }

    QString State() const
    {
        return QString("%1 %2 %3 %4 %5")
            .arg(run.QuestionNo)
            .arg(run.CheckedNo)
            .arg(run.EmptyChecks)
            .arg(run.WrongAnswers)
            .arg(run.ExitWarnings);
    }

    quiz::TestRun run;
    RecordingView view{run};
    // What the last action reported.
    quiz::Outcome Last;

private:
    ScriptedRandom random_;
};

} // namespace

class ActionsTest : public QObject {
    Q_OBJECT

private slots:
    void actionPerformsExactlyItsOperations_data();
    void actionPerformsExactlyItsOperations();
    void repeatedCandidatesAreDrawnAgain();
    void layoutRollChoosesArrangement_data();
    void layoutRollChoosesArrangement();
    void emptyChecksKeepNextAndExitClosed();
    void twoStartsInQuickSuccessionDiffer();
    void seedTakesTheClockToTheNanosecond_data();
    void seedTakesTheClockToTheNanosecond();
};

void ActionsTest::actionPerformsExactlyItsOperations_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("operations");
    // QuestionNo, CheckedNo, EmptyChecks, WrongAnswers, ExitWarnings after the action.
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("ended");
    // What the action reports it did (Told).
    QTest::addColumn<QString>("told");

    const QString prompt = "Caption Frame1 Выберите ответ (изменения вносите до ПРОВЕРКИ)";
    QTest::newRow("start with its nested next")
        << "" << "start"
        << (QStringList{"Move Picture1 14000 10000", "BackColor Option1 128,255,128", "BackColor Option2 128,255,128",
                        "BackColor Option3 128,255,128", "Caption Label8 из 10", "Press Command4",
                        "Visible Command1 false", "Visible Command4 true", "Caption Label7 "}
            + ClearAll
            + QStringList{"Caption Label6 1", "SeedFromClock", "Caption Label7 ", "Move Option1 350 900",
                          "Move Option2 350 1500", "Move Option3 350 2100", prompt, "Visible Option1 true",
                          "Visible Option2 true", "Visible Option3 true", "Visible Option4 true"}
            + ClearAll + QStringList{"Caption Label6 1"} + ShowQuestionOperations(3))
        << "1 0 0 0 0" << false << "showing 1 (3) 4123";
    QTest::newRow("second start does nothing") << "start" << "start" << QStringList{} << "1 0 0 0 0" << false << QString();

    QTest::newRow("next before any check") << "start" << "next" << NextRefused << "1 0 0 0 0" << false << "refused Нажмите кнопку ПРОВЕРИТЬ";
    QTest::newRow("next after an empty check") << "start, check" << "next" << NextRefused << "1 1 1 0 0" << false << "refused Нажмите кнопку ПРОВЕРИТЬ";
    QTest::newRow("next clears the status line even when refused")
        << "start, right, next, select 1" << "next" << NextRefused << "2 1 0 0 0" << false << "refused Нажмите кнопку ПРОВЕРИТЬ";
    QTest::newRow("next after an accepted answer")
        << "start, right" << "next"
        << (QStringList{"Visible Command1 false", "Visible Command4 true", "Caption Label7 "} + ClearAll
            + QStringList{"Caption Label6 2"} + ShowQuestionOperations(7))
        << "2 1 0 0 0" << false << "showing 2 (7) 4123";
    QTest::newRow("next from 9 to 10 takes Command4 away")
        << "start, upto 9, wrong" << "next"
        << (QStringList{"Visible Command1 false", "Visible Command4 true", "Caption Label7 "} + ClearAll
            + QStringList{"Caption Label6 10", "Move Command4 14000 10000"} + ShowQuestionOperations(9))
        << "10 9 0 1 0" << false << "showing 10 (9) 4123";
    QTest::newRow("next at 10 does nothing") << "start, upto 10, right" << "next" << QStringList{} << "10 10 0 0 0"
                                             << false << QString();

    QTest::newRow("check before start") << "" << "check" << QStringList{} << "0 0 0 0 0" << false << QString();
    QTest::newRow("check with nothing selected")
        << "start" << "check"
        << QStringList{"Value Option1", "Value Option2", "Value Option3", "Value Option4", "Notice Выберите ответ"}
        << "1 1 1 0 0" << false << "refused Выберите ответ";
    // Question 3: the key is Option2.
    QTest::newRow("check a right answer")
        << "start, select 2" << "check"
        << QStringList{"Value Option1", "Value Option2", "Value Option2", "Caption Label4 0",
                       "Caption Label7 Ответ принят"}
        << "1 1 0 0 0" << false << "accepted Ответ принят 0";
    QTest::newRow("check a wrong answer")
        << "start, select 1" << "check"
        << QStringList{"Value Option1", "Value Option2", "Caption Label4 1", "Caption Label7 Ответ принят"}
        << "1 1 0 1 0" << false << "accepted Ответ принят 1";
    QTest::newRow("repeated check keeps the first judgement")
        << "start, select 2, check, select 1" << "check" << QStringList{} << "1 1 0 0 0" << false << QString();
    QTest::newRow("three empty checks then an answer")
        << "start, check, check, check, select 4" << "check"
        << QStringList{"Value Option1", "Value Option2", "Value Option3", "Value Option4", "Value Option2",
                       "Caption Label4 1", "Caption Label7 Ответ принят"}
        << "1 1 0 1 0" << false << "accepted Ответ принят 1";
    // Question 7 is the second of the order: "в 2 раза" on Option1 is wrong there.
    QTest::newRow("question 7 with в 2 раза is wrong")
        << "start, right, next, select 1" << "check"
        << QStringList{"Value Option1", "Value Option2", "Caption Label4 1", "Caption Label7 Ответ принят"}
        << "2 2 0 1 0" << false << "accepted Ответ принят 1";
    // Question 5 is the sixth: there the same answer is right.
    QTest::newRow("question 5 with в 2 раза is right")
        << "start, upto 6, select 1" << "check"
        << QStringList{"Value Option1", "Value Option1", "Caption Label4 0", "Caption Label7 Ответ принят"}
        << "6 6 0 0 0" << false << "accepted Ответ принят 0";

    // Question 9 is the last of the order; its key is Option1.
    QTest::newRow("check the last answer")
        << "start, upto 10, select 1" << "check"
        << QStringList{"Value Option1", "Value Option1", "Caption Label4 0", "Caption Label7 Ответ принят"}
        << "10 10 0 0 0" << false << "accepted Ответ принят 0 last";

    QTest::newRow("exit before start") << "" << "exit" << QStringList{"EndProgram"} << "0 0 0 0 0" << true << "ended";
    QTest::newRow("exit while a check is due")
        << "start" << "exit" << QStringList{"Notice Нажмите кнопку ПРОВЕРИТЬ"} << "1 0 0 0 0" << false << "refused Нажмите кнопку ПРОВЕРИТЬ";
    QTest::newRow("exit on 3 before its check")
        << "start, upto 3" << "exit" << QStringList{"Notice Нажмите кнопку ПРОВЕРИТЬ"} << "3 2 0 0 0" << false << "refused Нажмите кнопку ПРОВЕРИТЬ";
    QTest::newRow("exit on 3 after its answer")
        << "start, upto 3, wrong" << "exit" << QStringList{"EndProgram"} << "3 3 0 1 0" << true << "ended";
    QTest::newRow("first exit on 10 asks to show the teacher")
        << "start, upto 10, right" << "exit" << QStringList{"Notice Покажите результат учителю"} << "10 10 0 0 1"
        << false << "refused Покажите результат учителю";
    QTest::newRow("second exit on 10 ends")
        << "start, upto 10, right, exit" << "exit" << QStringList{"EndProgram"} << "10 10 0 0 1" << true << "ended";
    QTest::newRow("exit on 10 after an empty check")
        << "start, upto 10, check" << "exit" << QStringList{"Notice Нажмите кнопку ПРОВЕРИТЬ"} << "10 10 1 0 0"
        << false << "refused Нажмите кнопку ПРОВЕРИТЬ";
}

void ActionsTest::actionPerformsExactlyItsOperations()
{
    QFETCH(QString, before);
    QFETCH(QString, action);
    QFETCH(QStringList, operations);
    QFETCH(QString, state);
    QFETCH(bool, ended);
    QFETCH(QString, told);

    Session session;
    session.Play(before);
    session.view.Operations.clear();
    session.view.Ended = false;
    // The seed shows where in Start's sequence the clock is read.
    std::vector<std::string> *log = &session.view.Operations;
    struct SeedLogger final : quiz::RandomSource {
        quiz::RandomSource *inner;
        std::vector<std::string> *log;
        void SeedFromClock() override { log->push_back("SeedFromClock"); }
        double Next() override { return inner->Next(); }
    };
    if (action == "start") {
        ScriptedRandom draws(ReplayedDraws(50));
        SeedLogger logger;
        logger.inner = &draws;
        logger.log = log;
        session.Last = quiz::Start(session.run, session.view, logger);
    } else {
        session.Play(action);
    }

    QCOMPARE(Recorded(session.view), operations);
    QCOMPARE(session.State(), state);
    QCOMPARE(session.view.Ended, ended);
    QCOMPARE(Told(session.Last), told);
}

void ActionsTest::repeatedCandidatesAreDrawnAgain()
{
    quiz::TestRun run;
    ScriptedRandom draws(ReplayedDraws(50));
    quiz::ShuffleQuestionOrder(run, draws);
    const std::vector<int> order(run.QuestionOrder.begin(), run.QuestionOrder.end());
    QCOMPARE(order, ReplayedOrder);
}

void ActionsTest::layoutRollChoosesArrangement_data()
{
    QTest::addColumn<int>("roll");
    QTest::addColumn<QStringList>("moves");
    // Rows from top to bottom, and the row that shows answer 1.
    QTest::addColumn<QString>("rows");
    QTest::addColumn<int>("rowOfAnswer1");

    const QStringList first{"Move Option1 350 900", "Move Option2 350 1500", "Move Option3 350 2100"};
    const QStringList second{"Move Option2 350 900", "Move Option4 350 1500", "Move Option1 350 2100"};
    const QStringList third{"Move Option3 350 900", "Move Option1 350 1500", "Move Option4 350 2100"};
    const QStringList fourth{"Move Option4 350 900", "Move Option3 350 1500", "Move Option2 350 2100"};
    QTest::newRow("50") << 50 << first << "4123" << 2;
    QTest::newRow("99") << 99 << first << "4123" << 2;
    QTest::newRow("100") << 100 << second << "3241" << 4;
    QTest::newRow("149") << 149 << second << "3241" << 4;
    QTest::newRow("150") << 150 << third << "2314" << 3;
    QTest::newRow("199") << 199 << third << "2314" << 3;
    QTest::newRow("200") << 200 << fourth << "1432" << 1;
    QTest::newRow("249") << 249 << fourth << "1432" << 1;
}

void ActionsTest::layoutRollChoosesArrangement()
{
    QFETCH(int, roll);
    QFETCH(QStringList, moves);
    QFETCH(QString, rows);
    QFETCH(int, rowOfAnswer1);

    quiz::TestRun run;
    RecordingView view(run);
    ScriptedRandom draws(ReplayedDraws(roll));
    const quiz::Outcome started = quiz::Start(run, view, draws);
    QCOMPARE(run.LayoutRoll, roll);

    QStringList recordedMoves;
    for (const QString &operation : Recorded(view))
        if (operation.startsWith("Move Option"))
            recordedMoves << operation;
    QCOMPARE(recordedMoves, moves);

    // Read the rows off the places the buttons ended up in: four distinct rows, the top
    // one 10 twips further right than the others.
    std::map<int, int> optionByTop;
    for (int k = 1; k <= 4; ++k) {
        const auto place = view.Places[quiz::OptionButton(k)];
        optionByTop[place.second] = k;
        QCOMPARE(place.first, place.second == 360 ? 360 : 350);
    }
    QCOMPARE(optionByTop.size(), std::size_t(4));
    QString seen;
    int row = 0;
    for (const auto &[top, option] : optionByTop) {
        ++row;
        seen += QString::number(option);
        if (option == 1)
            QCOMPARE(row, rowOfAnswer1);
    }
    QCOMPARE(seen, rows);
    // Start tells the rows it placed, for the window's focus and screen readers.
    QCOMPARE(Told(started).section(' ', 3), rows);
}

void ActionsTest::emptyChecksKeepNextAndExitClosed()
{
    Session session;
    session.Play("start");
    for (int press = 1; press <= 3; ++press) {
        session.Play("check");
        QCOMPARE(session.run.EmptyChecks, press);
        QCOMPARE(session.run.CheckedNo, session.run.QuestionNo);
        QVERIFY(session.run.CheckDue());
    }
    QCOMPARE(session.view.Notices.size(), std::size_t(3));
    session.Play("select 2, check");
    QCOMPARE(session.run.EmptyChecks, 0);
    QVERIFY(!session.run.CheckDue());
    QCOMPARE(session.view.Captions[Control::Label4], std::string("0"));
}

void ActionsTest::twoStartsInQuickSuccessionDiffer()
{
    // Thirty pupils press Start in the same second; neighbours must not share a test.
    std::set<std::pair<std::vector<int>, int>> seen;
    constexpr int Starts = 30;
    for (int pupil = 0; pupil < Starts; ++pupil) {
        quiz::TestRun run;
        RecordingView view(run);
        view.Recording = false;
        quiz::EngineRandomSource random;
        quiz::Start(run, view, random);
        seen.insert({std::vector<int>(run.QuestionOrder.begin(), run.QuestionOrder.end()), run.LayoutRoll});
    }
    QCOMPARE(seen.size(), std::size_t(Starts));

    // The clock is read finer than whole seconds: a real clock falls between two seconds
    // at almost every reading, a whole-second one never does.
    bool betweenSeconds = false;
    for (int reading = 0; reading < 1000 && !betweenSeconds; ++reading) {
        const quiz::ClockReading now = quiz::ReadClock();
        betweenSeconds = now.WallNanoseconds % 1'000'000'000 != 0 && now.SteadyNanoseconds % 1'000'000'000 != 0;
    }
    QVERIFY(betweenSeconds);
}

void ActionsTest::seedTakesTheClockToTheNanosecond_data()
{
    QTest::addColumn<quint64>("wall");
    QTest::addColumn<quint64>("steady");
    // The first pupil presses Start at SameSecond on the wall clock and 42 ns on the steady one.
    QTest::newRow("a nanosecond later on the wall clock") << SameSecond + 1 << quint64(42);
    QTest::newRow("a nanosecond later on the steady clock") << SameSecond << quint64(43);
}

void ActionsTest::seedTakesTheClockToTheNanosecond()
{
    QFETCH(quint64, wall);
    QFETCH(quint64, steady);
    // With no entropy source, clock readings a nanosecond apart must still give different
    // draws; seeding from whole seconds would hand both pupils the same test.
    const auto firstPupil = [] { return quiz::ClockReading{SameSecond, 42, {}}; };
    quiz::EngineRandomSource first(firstPupil);
    quiz::EngineRandomSource second([=] { return quiz::ClockReading{wall, steady, {}}; });
    first.SeedFromClock();
    second.SeedFromClock();
    const double firstDraw = first.Next();
    QVERIFY(firstDraw != second.Next());
    // The reading alone decides the draws: the same moment replays the same test.
    quiz::EngineRandomSource replay(firstPupil);
    replay.SeedFromClock();
    QCOMPARE(replay.Next(), firstDraw);
}

QTEST_APPLESS_MAIN(ActionsTest)
#include "tst_actions.moc"
