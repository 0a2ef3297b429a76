// SPDX-License-Identifier: GPL-3.0-or-later
// The question bank holds exactly the ten questions with their stored keys.
#include "QuestionBank.h"

#include <QtTest>

#include <climits>
#include <cstdint>
#include <string>

using quiz::Question;
using quiz::QuestionBank;

class QuestionBankTest : public QObject {
    Q_OBJECT

private slots:
    void idsOutsideOneToTenHaveNoEntry_data();
    void idsOutsideOneToTenHaveNoEntry();
    void keyNamesTheRightAnswer_data();
    void keyNamesTheRightAnswer();
    void textsAreByteExact();
    void sharedAnswerTextsKeepTheirOwnKeys();
};

void QuestionBankTest::idsOutsideOneToTenHaveNoEntry_data()
{
    QTest::addColumn<int>("id");
    QTest::newRow("no question") << 0;
    QTest::newRow("negative") << -1;
    QTest::newRow("one past the end") << 11;
    QTest::newRow("byte range") << 255;
    QTest::newRow("smallest int") << INT_MIN;
    QTest::newRow("largest int") << INT_MAX;
}

void QuestionBankTest::idsOutsideOneToTenHaveNoEntry()
{
    QFETCH(int, id);
    QCOMPARE(QuestionBank::Find(id), nullptr);
}

void QuestionBankTest::keyNamesTheRightAnswer_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("rightAnswer");
    QTest::newRow("1 black-and-white image") << 1 << 1 << "100 битов";
    QTest::newRow("2 octal digit") << 2 << 2 << "3 бита";
    QTest::newRow("3 eight-bit word") << 3 << 2 << "11 байтов";
    QTest::newRow("4 256 symbols") << 4 << 1 << "1 байт";
    QTest::newRow("5 MS-DOS to Unicode") << 5 << 1 << "в 2 раза";
    QTest::newRow("6 256-colour image") << 6 << 3 << "800 битов";
    QTest::newRow("7 65536 to 16 colours") << 7 << 2 << "в 4 раза";
    QTest::newRow("8 16-bit sound card") << 8 << 4 << "с 65536";
    QTest::newRow("9 65536 levels") << 9 << 1 << "16 битов";
    QTest::newRow("10 radio and CD") << 10 << 4 << "в 2 раза";
}

void QuestionBankTest::keyNamesTheRightAnswer()
{
    QFETCH(int, id);
    QFETCH(int, key);
    QFETCH(QString, rightAnswer);
    const Question *question = QuestionBank::Find(id);
    QVERIFY(question != nullptr);
    QCOMPARE(question->Key, key);
    QCOMPARE(QString::fromUtf8(question->Answers[static_cast<std::size_t>(key - 1)]),
             rightAnswer);
}

void QuestionBankTest::textsAreByteExact()
{
    // A fingerprint of every text and key, taken from the approved wording: any changed
    // letter, lost double space or Cyrillic look-alike in place of a Latin letter shows here.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    const auto add = [&hash](std::string_view bytes) {
        for (char byte : bytes) {
            hash ^= static_cast<unsigned char>(byte);
            hash *= 0x100000001b3ULL;
        }
        hash ^= 0;
        hash *= 0x100000001b3ULL;
    };
    for (int id = 1; id <= 10; ++id) {
        const Question *question = QuestionBank::Find(id);
        QVERIFY(question != nullptr);
        add(question->Text);
        for (std::string_view answer : question->Answers)
            add(answer);
        add(std::to_string(question->Key));
    }
    QCOMPARE(hash, 0xbda90f2e78243f0cULL);

    // The details a careless edit loses first, spelled out.
    QVERIFY(QuestionBank::Find(7)->Text.find("В процессе  преобразования  растрового  графического") == 0);
    QVERIFY(QuestionBank::Find(1)->Text.find("10x10") != std::string_view::npos);
    QVERIFY(QuestionBank::Find(6)->Text.find("10x10") != std::string_view::npos);
    QVERIFY(QuestionBank::Find(5)->Text.find("MS-DOS") != std::string_view::npos);
    QVERIFY(QuestionBank::Find(5)->Text.find("Unicode") != std::string_view::npos);
    QVERIFY(QuestionBank::Find(10)->Text.find("аудио-CD") != std::string_view::npos);
    const std::string_view longest = QuestionBank::Find(10)->Text;
    QCOMPARE(QString::fromUtf8(longest).size(), 314);
}

void QuestionBankTest::sharedAnswerTextsKeepTheirOwnKeys()
{
    // "100 битов" is on Option1 in questions 1 and 6, right only in 1.
    QCOMPARE(QuestionBank::Find(1)->Answers[0], QuestionBank::Find(6)->Answers[0]);
    QCOMPARE(QuestionBank::Find(1)->Key, 1);
    QCOMPARE(QuestionBank::Find(6)->Key, 3);
    // "в 2 раза": right in 5 and 10, wrong in 7.
    QCOMPARE(QuestionBank::Find(5)->Answers[0], std::string_view("в 2 раза"));
    QCOMPARE(QuestionBank::Find(7)->Answers[0], std::string_view("в 2 раза"));
    QCOMPARE(QuestionBank::Find(10)->Answers[3], std::string_view("в 2 раза"));
    QCOMPARE(QuestionBank::Find(7)->Key, 2);
}

QTEST_APPLESS_MAIN(QuestionBankTest)
#include "tst_questionbank.moc"
