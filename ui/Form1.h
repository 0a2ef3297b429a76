// The program's one window. It owns the test run, carries out the window operations on
// its eighteen controls and routes the four buttons' clicks to the test actions.
#pragma once

#include "Actions.h"
#include "FormView.h"
#include "RandomSource.h"
#include "TestRun.h"

#include <QPixmap>
#include <QWidget>

#include <map>
#include <memory>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class DesignStyle;

// A picture box: a thin sunken border and the photograph drawn from the inner top-left
// corner, cut to the inner area.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    PictureBox(const QPixmap &picture, QWidget *parent);
    QRect innerRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap picture_;
};

class Form1 : public QWidget, public quiz::FormView {
    Q_OBJECT

public:
    // The window draws its random values from the clock-seeded source unless given one.
    explicit Form1(std::unique_ptr<quiz::RandomSource> random = nullptr, QWidget *parent = nullptr);
    ~Form1() override;

    const quiz::TestRun &run() const { return run_; }
    QWidget *control(quiz::Control control) const;

    // The window operations.
    void SetCaption(quiz::Control control, const std::string &caption) override;
    void SetVisible(quiz::Control control, bool visible) override;
    void ClearValue(quiz::Control option) override;
    bool GetValue(quiz::Control option) override;
    void SetBackColor(quiz::Control control, quiz::Rgb colour) override;
    void Move(quiz::Control control, int left, int top) override;
    void PressCommand4() override;
    void ShowNotice(const std::string &prompt) override;
    void EndProgram() override;

    // Twips in the design become device-independent pixels here and nowhere else.
    static int Pixels(int twips);
    static QColor Colour(quiz::Rgb colour);

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label8 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QRadioButton *Option3 = nullptr;
    QRadioButton *Option4 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    PictureBox *Picture1 = nullptr;

    // Frame1 inside its border, in its own coordinates: the option buttons are cut off here.
    QRect frameInner() const;

private slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

private:
    void buildControls();
    void setTabOrder();
    // A control the logic has hidden, or moved outside the client area, is gone for the
    // pupil: not shown, not focusable, not clickable, not pressable by assistive tools.
    void applyReach(quiz::Control control);
    void focusTopAnswer();
    void describeForScreenReaders();
    QRadioButton *option(quiz::Control option) const;

    quiz::TestRun run_;
    std::unique_ptr<quiz::RandomSource> random_;
    std::unique_ptr<DesignStyle> designStyle_;
    std::map<quiz::Control, bool> shown_;
};
