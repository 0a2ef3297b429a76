// SPDX-License-Identifier: GPL-3.0-or-later
// What the pupil first sees: every control in its design state, before any code has run;
// and the answer frame drawn as designed once the test is under way.
#include "DesignExpected.h"
#include "Product.h"
#include "WindowTesting.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <functional>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

class Form1LaunchTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void controlHasItsDesignState_data();
    void controlHasItsDesignState();
    void windowIsFixedLightGreenWithIcon();
    void tabOrderAndFocus();
    void stackingOrder();
    void drawnAsDesignedAtLaunch();
    void drawnAsDesignedAfterStart();

private:
    std::unique_ptr<Form1> window_;
};

namespace {

// What the design shows along a line of the window, in pixels at 100 % (15 twips each): a
// list of (start, colour), each colour up to the next start. No colour stands for what
// this look does not judge: a caption, a focus mark, the photograph.
using Stretch = QList<QPair<qreal, QColor>>;

// The device pixel in the middle of a pixel at 100 %.
int DevicePixel(const QImage &shot, int pixel)
{
    return qFloor((pixel + 0.5) * shot.devicePixelRatio());
}

// Compares the drawn window with the design along the row (across) or column of device
// pixels fixedPixel, from..to in pixels at 100 %. A device pixel must show the colour of
// the stretch it lies in; one that straddles two stretches may show either. Returns what
// is wrong, or nothing.
QString Mismatch(const QImage &shot, bool across, int fixedPixel, const Stretch &design, int from, int to)
{
    const qreal scale = shot.devicePixelRatio();
    for (int p = qFloor(from * scale); p < qCeil(to * scale); ++p) {
        const qreal start = p / scale, end = (p + 1) / scale;
        QList<QColor> allowed;
        for (qsizetype i = 0; i < design.size(); ++i) {
            const qreal stretchEnd = i + 1 < design.size() ? design[i + 1].first : 1e9;
            if (start < stretchEnd && end > design[i].first)
                allowed << design[i].second;
        }
        const QColor seen = across ? shot.pixelColor(p, fixedPixel) : shot.pixelColor(fixedPixel, p);
        if (!allowed.contains(seen) && !allowed.contains(QColor()))
            return QString("%1 at device pixel %2,%3, where the design has %4")
                .arg(seen.name(), QString::number(across ? p : fixedPixel), QString::number(across ? fixedPixel : p),
                     allowed.value(0).name());
    }
    return QString();
}

const QColor Green = Expected::LightGreen;
const QColor White(255, 255, 255);
// The bevel greys of the classic look: the palette's Midlight, Dark and Shadow.
const QColor Midlight(202, 202, 202);
const QColor Dark(159, 159, 159);
const QColor Shadow(118, 118, 118);
const QColor FrameGrey(128, 128, 128);

} // namespace

void Form1LaunchTest::initTestCase()
{
    window_ = ShownWindow();
}

void Form1LaunchTest::controlHasItsDesignState_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QColor>("back");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("visible");

    // Pixels at 15 twips each; option buttons relative to Frame1's corner.
    for (const Expected::Control &control : Expected::Controls)
        QTest::newRow(control.Name) << control.Name << Expected::InPixels(control.Place) << control.Caption
                                    << control.Back << control.Text
                                    << (control.Points > 0 ? Expected::PixelSize(control.Points) : 0) << control.Bold
                                    << control.Alignment << control.Visible;
}

void Form1LaunchTest::controlHasItsDesignState()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(QColor, back);
    QFETCH(QColor, text);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    QFETCH(int, alignment);
    QFETCH(bool, visible);

    auto *widget = window_->findChild<QWidget *>(name);
    QVERIFY2(widget != nullptr, "every control carries its name");
    QRect placed = widget->geometry();
    if (name.startsWith("Option"))
        placed.moveTopLeft(widget->mapTo(window_->Frame1, QPoint(0, 0)));
    QCOMPARE(placed, geometry);
    QCOMPARE(widget->isVisibleTo(window_.get()), visible);
    // Push buttons and the frame are drawn by the window's own style; their colours are
    // checked on the drawn pixels.
    if (back.isValid() && qobject_cast<QPushButton *>(widget) == nullptr) {
        QVERIFY(widget->autoFillBackground());
        QCOMPARE(widget->palette().color(widget->backgroundRole()), back);
        QCOMPARE(widget->palette().color(widget->foregroundRole()), text);
    }
    if (pixelSize != 0) {
        QCOMPARE(widget->font().pixelSize(), pixelSize);
        QCOMPARE(widget->font().bold(), bold);
        QCOMPARE(widget->font().family(), QString("Liberation Sans"));
    }
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->text(), caption);
        QCOMPARE(int(label->alignment()), alignment);
        QVERIFY(label->wordWrap());
        QCOMPARE(label->textFormat(), Qt::PlainText);
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QCOMPARE(button->text(), caption);
        if (qobject_cast<QPushButton *>(widget) != nullptr)
            QCOMPARE(button->isEnabled(), visible);
    } else if (auto *frame = qobject_cast<QGroupBox *>(widget)) {
        QCOMPARE(frame->title(), caption);
    }
}

void Form1LaunchTest::windowIsFixedLightGreenWithIcon()
{
    QCOMPARE(window_->windowTitle(), QString::fromUtf8(product::Name));
    QCOMPARE(window_->size(), QSize(712, 420));
    QCOMPARE(window_->minimumSize(), QSize(712, 420));
    QCOMPARE(window_->maximumSize(), QSize(712, 420));
    QVERIFY(!(window_->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(window_->windowFlags() & Qt::WindowMaximizeButtonHint));
    // The frame keeps its close box: closing by the frame ends the program at any time.
    QVERIFY(window_->windowFlags() & Qt::WindowCloseButtonHint);
#ifdef Q_OS_WIN
    // What Windows draws of the frame: a title bar with the close box and the system menu
    // (Alt+Space), which Qt gives only together; no sizing border, no maximise box.
    if (QGuiApplication::platformName() == QLatin1String("windows")) {
        const auto window = reinterpret_cast<HWND>(window_->winId());
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        QVERIFY2(style & WS_SYSMENU, "the frame has no close box and no system menu");
        QVERIFY(GetSystemMenu(window, FALSE) != nullptr);
        QCOMPARE(style & WS_CAPTION, LONG_PTR(WS_CAPTION));
        QVERIFY(!(style & (WS_THICKFRAME | WS_MAXIMIZEBOX)));
    }
#endif
    QCOMPARE(window_->palette().color(QPalette::Window), QColor(128, 255, 128));
    const QList<QSize> iconSizes = window_->windowIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(48, 48)));
    // Sharp on a high-DPI screen: a drawn size at least as large as 48 device pixels need.
    QVERIFY(std::any_of(iconSizes.begin(), iconSizes.end(), [&](QSize size) {
        return size.width() >= 48 * window_->devicePixelRatioF();
    }));
    // The test has not started: nothing of it is on screen.
    QCOMPARE(window_->Run().QuestionNo, 0);
}

void Form1LaunchTest::tabOrderAndFocus()
{
    // The control that has the focus whenever the window is active.
    QCOMPARE(window_->focusWidget(), window_->Command1);
    const QStringList expected{"Command1", "Option1", "Option2", "Option3", "Option4", "Command2", "Command3", "Command4"};
    QStringList chain;
    QWidget *widget = window_->Command1;
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != window_->Command1);
    QCOMPARE(chain, expected);
    for (auto *label : window_->findChildren<QLabel *>())
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    for (auto *button : window_->findChildren<QPushButton *>()) {
        // Enter acts on the focused button only: no other button stands in as the default.
        QCOMPARE(button->isDefault(), button->hasFocus());
        QVERIFY2(!button->text().contains('&'), "no access keys");
    }
}

void Form1LaunchTest::stackingOrder()
{
    // Which control is on top at a point shows the stacking.
    const auto topAt = [this](QWidget *control, QPoint inControl) {
        QWidget *hit = window_->childAt(control->mapTo(window_.get(), inControl));
        while (hit != nullptr && hit->parentWidget() != window_.get())
            hit = hit->parentWidget();
        return hit;
    };
    QCOMPARE(topAt(window_->Label1, QPoint(200, 50)), static_cast<QWidget *>(window_->Picture1));
    QCOMPARE(topAt(window_->Frame1, QPoint(300, 100)), static_cast<QWidget *>(window_->Picture1));
    // Only the lower edge of the empty frame shows under the photograph.
    QCOMPARE(topAt(window_->Frame1, QPoint(300, 175)), static_cast<QWidget *>(window_->Frame1));
    const QList<QObject *> children = window_->children();
    QVERIFY(children.indexOf(window_->Command4) > children.indexOf(window_->Command1));
    QVERIFY(children.indexOf(window_->Label8) > children.indexOf(window_->Label6));
    for (auto *label : window_->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
        for (QWidget *other : {static_cast<QWidget *>(window_->Frame1), static_cast<QWidget *>(window_->Picture1)})
            QVERIFY(children.indexOf(label) < children.indexOf(other));

    // The places where the scripted sessions click and read hold the controls the sessions
    // take them for, at launch on this window, after Start on another; where a session reads
    // a button's face, it is drawn in the colour the session looks for.
    Form1 started;
    started.Command1->click();
    const QImage drawnAtLaunch = window_->grab().toImage();
    const QImage drawnStarted = started.grab().toImage();
    QFile table(QStringLiteral(":/places.txt"));
    QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
    int places = 0;
    while (!table.atEnd()) {
        const QString line = QString::fromUtf8(table.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList place = line.split(' ', Qt::SkipEmptyParts);
        QCOMPARE(place.size(), 6);
        const bool atLaunch = place[3] == "launch";
        Form1 &form = atLaunch ? *window_ : started;
        const QPoint point(place[1].toInt(), place[2].toInt());
        const QWidget *hit = form.childAt(point);
        const QString found = hit != nullptr ? hit->objectName() : QStringLiteral("nothing");
        const bool right = place[4] == "answer" ? qobject_cast<const QRadioButton *>(hit) != nullptr : found == place[4];
        QVERIFY2(right, qPrintable(QString("%1 (%2,%3, %4) is %5, not %6")
                                       .arg(place[0], place[1], place[2], place[3], found, place[4])));
        if (place[5] != "-" && qobject_cast<const QPushButton *>(hit) != nullptr) {
            const QImage &drawn = atLaunch ? drawnAtLaunch : drawnStarted;
            const QColor seen = drawn.pixelColor(DevicePixel(drawn, point.x()), DevicePixel(drawn, point.y()));
            QVERIFY2(seen == QColor("#" + place[5]), qPrintable(QString("%1 (%2,%3) is drawn %4, not #%5")
                                                                 .arg(place[0], place[1], place[2], seen.name(), place[5])));
        }
        ++places;
    }
    QVERIFY(places > 10);
}

void Form1LaunchTest::drawnAsDesignedAtLaunch()
{
    // Whether the window is active decides whether the focus mark is drawn, so that is
    // settled before the window is drawn: on a busy machine the activation can come late.
    const bool active = WindowActive(window_.get());
    const QImage shot = window_->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    const auto at = [&](QPoint place) { return shot.pixelColor((QPointF(place) * ratio).toPoint()); };
    const auto verify = [](const QString &what, const QString &wrong) {
        QVERIFY2(wrong.isEmpty(), qPrintable(what + ": " + wrong));
    };
    // The push buttons show their own colours, whatever the style, in a raised edge: white
    // then the button's colour at the top, dark grey then the shadow at the bottom. Held
    // down, they are drawn pressed in: shadow and dark grey at the top, white at the
    // bottom. Column 5 of a button is clear of its caption.
    const auto buttonEdges = [&](const QImage &drawn, QPushButton *button, const QColor &colour) {
        const int column = DevicePixel(drawn, button->x() + 5);
        const qreal top = button->y(), bottom = button->geometry().bottom();
        const Stretch topEdge = button->isDown()
            ? Stretch{{0, Green}, {top, Shadow}, {top + 1, Dark}, {top + 2, QColor()}}
            : Stretch{{0, Green}, {top, White}, {top + 1, colour}, {top + 2, QColor()}};
        const Stretch bottomEdge = button->isDown()
            ? Stretch{{0, QColor()}, {bottom - 1, colour}, {bottom, White}, {bottom + 1, Green}}
            : Stretch{{0, QColor()}, {bottom - 1, Dark}, {bottom, Shadow}, {bottom + 1, Green}};
        const QString state = button->objectName() + (button->isDown() ? " held down" : "");
        verify(state + ", top edge", Mismatch(drawn, false, column, topEdge, int(top) - 3, int(top) + 3));
        verify(state + ", bottom edge", Mismatch(drawn, false, column, bottomEdge, int(bottom) - 3, int(bottom) + 3));
    };
    buttonEdges(shot, window_->Command1, Expected::Yellow);
    buttonEdges(shot, window_->Command2, Green);
    buttonEdges(shot, window_->Command3, Green);
    // The focused button shows the keyboard focus mark, in the active window: where the
    // platform never activates it, no control has the keyboard focus to show.
    if (active)
        QCOMPARE(at(window_->Command1->geometry().topLeft() + QPoint(20, 3)), QColor(0, 0, 128));
    QVERIFY(at(window_->Command2->geometry().topLeft() + QPoint(20, 3)) != QColor(0, 0, 128));
    // As while the mouse button or Space is held on it.
    window_->Command3->setDown(true);
    buttonEdges(window_->grab().toImage(), window_->Command3, Green);
    window_->Command3->setDown(false);

    // The strip of the empty frame below the photograph shows the window's own green, and
    // the frame's etched line below it.
    QCOMPARE(at(window_->Frame1->geometry().bottomLeft() + QPoint(300, -4)), Green);

    // The photograph's thin border is sunken: dark above and left, light below and right.
    // The top and bottom edges are crossed down a column, the left and right along a row.
    const QRect picture = window_->Picture1->geometry();
    const auto edge = [&](const QString &which, bool across, int fixedPixel, qreal line, bool dark) {
        const Stretch design = dark ? Stretch{{0, Green}, {line, Dark}, {line + 1, Shadow}, {line + 2, QColor()}}
                                    : Stretch{{0, QColor()}, {line - 1, Midlight}, {line, White}, {line + 1, Green}};
        verify("the photograph's " + which + " border",
               Mismatch(shot, across, fixedPixel, design, int(line) - 3, int(line) + 3));
    };
    const int pictureColumn = DevicePixel(shot, picture.left() + 300);
    const int pictureRow = DevicePixel(shot, picture.top() + 100);
    edge("top", false, pictureColumn, picture.top(), true);
    edge("bottom", false, pictureColumn, picture.bottom(), false);
    edge("left", true, pictureRow, picture.left(), true);
    edge("right", true, pictureRow, picture.right(), false);
    // The photograph fills the whole inner area from its top-left corner: at 100 %, pixel
    // for pixel.
    const QRect inner = window_->Picture1->InnerRect().translated(picture.topLeft());
    QCOMPARE(inner.size(), QSize(549, 269));
    const QImage photograph(":/intro.jpg");
    const int step = 7;
    for (int y = 0; y < inner.height(); y += step) {
        for (int x = 0; x < inner.width(); x += step) {
            const QColor seen = at(inner.topLeft() + QPoint(x, y));
            if (qFuzzyCompare(ratio, 1.0))
                QCOMPARE(seen, photograph.pixelColor(x, y));
            else
                QVERIFY2(seen != Green, qPrintable(QString("window green in the photograph at %1,%2").arg(x).arg(y)));
        }
    }
}

namespace {

// The window as drawn after Start and a click on the top answer; with desktopChange, after
// the desktop has changed something application-wide as well.
QImage DrawnAfterStart(const std::function<void()> &desktopChange = {})
{
    auto window = ShownWindow();
    Click(window->Command1);
    QRadioButton *top = nullptr;
    for (int k = 1; k <= 4; ++k)
        if (top == nullptr || OptionOf(*window, k)->y() < top->y())
            top = OptionOf(*window, k);
    Click(top);
    if (desktopChange)
        desktopChange();
    return window->grab().toImage();
}

// The colours a dark desktop style hands every application.
QPalette DarkDesktopPalette()
{
    QPalette palette;
    const std::pair<QPalette::ColorRole, QColor> colours[] = {
        {QPalette::Window, QColor(53, 53, 53)},        {QPalette::WindowText, QColor(238, 238, 236)},
        {QPalette::Base, QColor(45, 45, 45)},          {QPalette::AlternateBase, QColor(53, 53, 53)},
        {QPalette::Text, QColor(238, 238, 236)},       {QPalette::Button, QColor(53, 53, 53)},
        {QPalette::ButtonText, QColor(238, 238, 236)}, {QPalette::Light, QColor(75, 75, 75)},
        {QPalette::Midlight, QColor(62, 62, 62)},      {QPalette::Mid, QColor(40, 40, 40)},
        {QPalette::Dark, QColor(25, 25, 25)},          {QPalette::Shadow, QColor(0, 0, 0)},
        {QPalette::Highlight, QColor(21, 83, 158)},    {QPalette::HighlightedText, QColor(255, 255, 255)},
        {QPalette::BrightText, QColor(255, 0, 0)},     {QPalette::PlaceholderText, QColor(146, 149, 149)},
    };
    for (const auto &[role, colour] : colours)
        palette.setColor(role, colour);
    return palette;
}

} // namespace

void Form1LaunchTest::drawnAsDesignedAfterStart()
{
    // The frame's etched line, grey outside and white inside, lies where the design puts it
    // whatever Qt version draws it and at every scale, and the answers never paint over it.
    const QImage shot = DrawnAfterStart();
    const qreal scale = shot.devicePixelRatio();
    // Frame1 spans 1200 to 9495 twips across and 2520 to 5175 down: 80 to 633 and 168 to
    // 345 pixels. Its right border is the last two pixels, grey then white, and the answers
    // on their rows (375 twips high) end where it starts.
    const QRect frame = Expected::InPixels(Expected::Of("Frame1").Place);
    const int end = frame.x() + frame.width(), bottomEnd = frame.y() + frame.height();
    const Stretch rightBorder{{0, Green}, {end - 2, FrameGrey}, {end - 1, White}, {end, Green}};
    const int rowHeight = Expected::InPixels(Expected::Of("Option1").Place).height();
    for (const QPoint &row : Expected::Rows) {
        const qreal rowTop = frame.y() + Expected::InPixels(row).y();
        for (int y = qCeil(rowTop * scale); y < qFloor((rowTop + rowHeight) * scale); ++y) {
            const QString wrong = Mismatch(shot, true, y, rightBorder, end - 13, end + 7);
            QVERIFY2(wrong.isEmpty(), qPrintable("right border beside an answer: " + wrong));
        }
    }
    // With a title, the top line runs under it (19 pixels below the frame's top) and above
    // the first answer row (at 360 twips, 192 pixels down): beside the title's end the frame
    // shows green, grey, white, green and then the answer.
    const int titleLine = frame.y() + 19;
    const int column = qFloor((end - 8) * scale);
    const QString wrong = Mismatch(shot, false, column,
                                   {{0, Green}, {titleLine, FrameGrey}, {titleLine + 1, White}, {titleLine + 2, Green}},
                                   frame.y() - 8, frame.y() + Expected::InPixels(Expected::Rows[0]).y());
    QVERIFY2(wrong.isEmpty(), qPrintable("top line: " + wrong));
    // Its bottom line, grey above white, is the frame's last two pixels (343 and 344), and
    // its left line the first two (80 and 81), clear of the answers.
    const QString bottom =
        Mismatch(shot, false, DevicePixel(shot, frame.x() + 300),
                 {{0, Green}, {bottomEnd - 2, FrameGrey}, {bottomEnd - 1, White}, {bottomEnd, Green}}, bottomEnd - 9,
                 bottomEnd + 5);
    QVERIFY2(bottom.isEmpty(), qPrintable("bottom line: " + bottom));
    const QString left = Mismatch(shot, true, DevicePixel(shot, 300),
                                  {{0, Green}, {frame.x(), FrameGrey}, {frame.x() + 1, White}, {frame.x() + 2, Green}},
                                  frame.x() - 6, frame.x() + 20);
    QVERIFY2(left.isEmpty(), qPrintable("left line: " + left));

    // On a desktop in a dark style (GNOME's Adwaita:dark through Qt's gtk3 theme, a dark
    // KDE scheme) the application's palette turns dark; the window, choice marks included,
    // must look just the same.
    // The same when the desktop changes to the dark style while the test is under way.
    const QPalette desktop = QApplication::palette();
    const QPalette darkDesktop = DarkDesktopPalette();
    QList<QPair<QString, QImage>> desktops;
    QApplication::setPalette(darkDesktop);
    desktops << qMakePair(QString("started on a dark desktop"), DrawnAfterStart());
    QApplication::setPalette(desktop);
    desktops << qMakePair(QString("the desktop turned dark"),
                          DrawnAfterStart([&] { QApplication::setPalette(darkDesktop); }));
    QApplication::setPalette(desktop);
    // A right-to-left desktop (Hebrew or Arabic), or -reverse on any command line, mirrors
    // every window that lets it. Mirrored, the answers' rows would show their cut-off end:
    // an empty frame that still takes clicks. The window keeps its places.
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    desktops << qMakePair(QString("started right-to-left (-reverse)"), DrawnAfterStart());
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    desktops << qMakePair(QString("the desktop turned right-to-left"),
                          DrawnAfterStart([] { QGuiApplication::setLayoutDirection(Qt::RightToLeft); }));
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    for (const auto &[desktopName, drawn] : desktops) {
        QCOMPARE(drawn.size(), shot.size());
        int differing = 0;
        QPoint first;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (drawn.pixel(x, y) != shot.pixel(x, y) && differing++ == 0)
                    first = QPoint(x, y);
        QVERIFY2(differing == 0,
                 qPrintable(QString("%1: the window looks different, %2 device pixels differ, the first at %3,%4: "
                                    "%5 instead of %6")
                                .arg(desktopName)
                                .arg(differing)
                                .arg(first.x())
                                .arg(first.y())
                                .arg(drawn.pixelColor(first).name(), shot.pixelColor(first).name())));
    }
}

QTEST_MAIN(Form1LaunchTest)
#include "tst_form1_launch.moc"
