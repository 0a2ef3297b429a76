// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one window. It owns the test run, carries out the window operations on
// its eighteen controls and routes the four buttons' clicks to the test actions.
#pragma once

#include "Actions.h"
#include "FormView.h"
#include "RandomSource.h"
#include "TestRun.h"

#include <QWidget>

#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class DesignStyle;
class HeldKeys;
class PictureBox;

class Form1 : public QWidget, public quiz::FormView {
    Q_OBJECT

public:
    // The window draws its random values from the clock-seeded source unless given one.
    explicit Form1(std::unique_ptr<quiz::RandomSource> random = nullptr, QWidget *parent = nullptr);
    ~Form1() override;

    const quiz::TestRun &Run() const { return run_; }
    QWidget *Widget(quiz::Control control) const { return widgets_[static_cast<std::size_t>(control)]; }

    // The window operations, carried out on the controls (WindowOperations.cpp).
    void SetCaption(quiz::Control control, const std::string &caption) override;
    void SetVisible(quiz::Control control, bool visible) override;
    void ClearValue(quiz::Control option) override;
    bool GetValue(quiz::Control option) override;
    void SetBackColor(quiz::Control control, quiz::Rgb colour) override;
    void Move(quiz::Control control, int left, int top) override;
    void PressCommand4() override;
    void ShowNotice(const std::string &prompt) override;
    void EndProgram() override;

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
    QRect FrameInner() const;

protected:
    bool focusNextPrevChild(bool next) override;

private slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

private:
    void BuildControls();
    void SetDesignTabOrder();
    // A control the logic has hidden, or moved outside the client area, is gone for the
    // pupil: not shown, not focusable, not clickable, not pressable by assistive tools.
    void ApplyReach(quiz::Control control);

    quiz::TestRun run_;
    std::unique_ptr<quiz::RandomSource> random_;
    std::unique_ptr<DesignStyle> designStyle_;
    std::unique_ptr<HeldKeys> heldKeys_;
    std::array<QWidget *, quiz::ControlCount> widgets_{};
    // What the logic last asked of each control's visibility; ApplyReach adds the
    // container's bounds.
    std::array<bool, quiz::ControlCount> shown_{};
    // While a control is taken away, the focus stays where it is (ApplyReach).
    bool holdFocus_ = false;
};
