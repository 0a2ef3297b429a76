// SPDX-License-Identifier: GPL-3.0-or-later
// Every text fits its control in the font the window really uses, so no pupil meets a
// question or an answer cut short.
#include "DesignExpected.h"
#include "QuestionBank.h"
#include "WindowTesting.h"

#include <QFile>
#include <QFontInfo>
#include <QRawFont>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionGroupBox>
#include <QtTest>

class Form1FitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void carriedFontIsUsed();
    void labelTextsFit_data();
    void labelTextsFit();
    void answersAreWhollyVisibleOnEveryRow();
    void frameTitleFits();
    void buttonCaptionsFit();

private:
    std::unique_ptr<Form1> window_;
};

void Form1FitTest::initTestCase()
{
    window_ = ShownWindow();
    // Run on a high-DPI screen, make sure it really is one.
    const QByteArray expected = qgetenv("EXPECT_DEVICE_PIXEL_RATIO");
    if (!expected.isEmpty())
        QCOMPARE(window_->devicePixelRatioF(), expected.toDouble());
}

void Form1FitTest::carriedFontIsUsed()
{
    // The carried faces are drawn, the bold one for bold captions: not a system face of the
    // same name, and not a regular face thickened by the toolkit.
    // A face is known by its header table, which holds its revision and checksum.
    const auto carried = [](const char *file) {
        QFile face(QString(":/fonts/") + file);
        return face.open(QIODevice::ReadOnly) ? QRawFont(face.readAll(), 16).fontTable("head") : QByteArray();
    };
    const QByteArray regular = carried("LiberationSans-Regular.ttf");
    const QByteArray bold = carried("LiberationSans-Bold.ttf");
    QVERIFY(!regular.isEmpty() && !bold.isEmpty() && regular != bold);
    for (QWidget *widget : {static_cast<QWidget *>(window_->Label1), static_cast<QWidget *>(window_->Label2),
                            static_cast<QWidget *>(window_->Command1), static_cast<QWidget *>(window_->Option1)}) {
        QCOMPARE(QFontInfo(widget->font()).family(), QString("Liberation Sans"));
        const QRawFont drawn = QRawFont::fromFont(widget->font());
        QVERIFY2(drawn.fontTable("head") == (widget->font().bold() ? bold : regular), qPrintable(widget->objectName()));
        QCOMPARE(drawn.weight(), widget->font().weight());
    }
}

void Form1FitTest::labelTextsFit_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxLines");
    for (int id = 1; id <= 10; ++id)
        QTest::newRow(qPrintable(QString("question %1").arg(id))) << "Label1" << QString::fromUtf8(quiz::QuestionBank::Find(id)->Text)
                                                                  << 6;
    QTest::newRow("school line") << "Label2" << "Таловерская школа, 2007-2008 уч. год" << 2;
    QTest::newRow("question caption") << "Label5" << "Вопрооос:" << 1;
    QTest::newRow("mistakes caption") << "Label3" << "Ощибок:" << 1;
    QTest::newRow("question number") << "Label6" << "10" << 1;
    QTest::newRow("out of ten") << "Label8" << "из 10" << 1;
    QTest::newRow("mistake count") << "Label4" << "10" << 1;
    QTest::newRow("status line") << "Label7" << "Ответ принят" << 1;
}

void Form1FitTest::labelTextsFit()
{
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(int, maxLines);
    auto *widget = window_->findChild<QLabel *>(label);
    const QRect room = widget->contentsRect();
    const int flags = int(widget->alignment()) | Qt::TextWordWrap;
    // Draw the text as the label draws it (through its style), at the window's scale, on a page with room to
    // spare below and to the right, and see where its ink falls. Font metrics alone differ
    // between Qt versions (the same face has a line spacing of 18 under one, 17 under the
    // next) while the drawn text is the same.
    const qreal ratio = window_->devicePixelRatioF();
    // The page reaches Spare pixels beyond the label on every side; the label shows only
    // its own rectangle of it.
    constexpr int Spare = 40;
    const QRect shown = widget->rect().translated(Spare, Spare);
    const QSize page(widget->width() + 6 * Spare, widget->height() * 8 + 2 * Spare);
    QImage image((QSizeF(page) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(widget->font());
    QPalette black;
    black.setColor(QPalette::WindowText, Qt::black);
    widget->style()->drawItemText(&painter, room.translated(Spare, Spare), flags | Qt::TextDontClip, black, true, text,
                                  QPalette::WindowText);
    painter.end();
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] != qRgb(255, 255, 255))
                ink |= QRect(x, y, 1, 1);
    }
    const QRect shownInDevicePixels(QPointF(QPointF(shown.topLeft()) * ratio).toPoint(),
                                    (QSizeF(shown.size()) * ratio).toSize());
    QVERIFY(!ink.isEmpty());
    QVERIFY2(shownInDevicePixels.contains(ink), qPrintable(QString("ink at %1,%2 to %3,%4 in %5x%6 device pixels")
                                                               .arg(ink.left() - shownInDevicePixels.left())
                                                               .arg(ink.top() - shownInDevicePixels.top())
                                                               .arg(ink.right() - shownInDevicePixels.left())
                                                               .arg(ink.bottom() - shownInDevicePixels.top())
                                                               .arg(shownInDevicePixels.width())
                                                               .arg(shownInDevicePixels.height())));
    const QFontMetrics metrics(widget->font());
    const int lines = metrics.boundingRect(room, flags, text).height() / metrics.boundingRect(room, flags, "Ж").height();
    QVERIFY(lines <= maxLines);
}

void Form1FitTest::answersAreWhollyVisibleOnEveryRow()
{
    // The widest answer on the row that starts furthest right must end inside the frame.
    QRadioButton *probe = window_->Option1;
    const int innerRight = window_->FrameInner().right();
    const int furthestLeft = Expected::InPixels(Expected::Rows[0]).x();
    for (int id = 1; id <= 10; ++id) {
        for (std::string_view answer : quiz::QuestionBank::Find(id)->Answers) {
            probe->setText(QString::fromUtf8(answer));
            const int lastPixel = furthestLeft + probe->sizeHint().width() - 1;
            QVERIFY2(lastPixel <= innerRight, qPrintable(QString::fromUtf8(answer)));
            QVERIFY(probe->sizeHint().height() <= probe->height());
        }
    }
    probe->setText(QString());
}

void Form1FitTest::frameTitleFits()
{
    QGroupBox *frame = window_->Frame1;
    frame->setTitle("Выберите ответ (изменения вносите до ПРОВЕРКИ)");
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                       QStyle::SC_GroupBoxLabel, frame);
    const int textWidth = QFontMetrics(frame->font()).horizontalAdvance(frame->title());
    QVERIFY(title.left() + textWidth <= frame->width());
    // The title clears the top row of answers.
    QVERIFY(title.bottom() < window_->Option1->mapTo(frame, QPoint(0, 0)).y() + 4);
    frame->setTitle(QString());
}

void Form1FitTest::buttonCaptionsFit()
{
    for (QPushButton *button : {window_->Command1, window_->Command2, window_->Command3, window_->Command4}) {
        const QFontMetrics metrics(button->font());
        // Room inside the border on both sides.
        QVERIFY2(metrics.horizontalAdvance(button->text()) + 8 <= button->width(), qPrintable(button->text()));
        QVERIFY(metrics.height() + 6 <= button->height());
    }
}

QTEST_MAIN(Form1FitTest)
#include "tst_form1_fit.moc"
