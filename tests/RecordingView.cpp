// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingView.h"

#include <stdexcept>

using quiz::Control;

RecordingView::RecordingView(quiz::TestRun &run) : run_(run)
{
    // The launch screen as designed.
    for (const quiz::Design &design : quiz::Designs) {
        Visible[design.Id] = design.Visible;
        Places[design.Id] = {design.Left, design.Top};
    }
}

void RecordingView::Record(std::string operation)
{
    if (Recording)
        Operations.push_back(std::move(operation));
}

void RecordingView::SetCaption(Control control, const std::string &caption)
{
    Record(std::string("Caption ") + quiz::ControlName(control) + " " + caption);
    Captions[control] = caption;
}

void RecordingView::SetVisible(Control control, bool visible)
{
    Record(std::string("Visible ") + quiz::ControlName(control) + (visible ? " true" : " false"));
    Visible[control] = visible;
}

void RecordingView::ClearValue(Control option)
{
    Record(std::string("Clear ") + quiz::ControlName(option));
    Selected[static_cast<std::size_t>(static_cast<int>(option) - static_cast<int>(Control::Option1))] = false;
}

bool RecordingView::GetValue(Control option)
{
    Record(std::string("Value ") + quiz::ControlName(option));
    return Selected[static_cast<std::size_t>(static_cast<int>(option) - static_cast<int>(Control::Option1))];
}

void RecordingView::SetBackColor(Control control, quiz::Rgb colour)
{
    Record(std::string("BackColor ") + quiz::ControlName(control) + " " + std::to_string(colour.Red) + ","
           + std::to_string(colour.Green) + "," + std::to_string(colour.Blue));
}

void RecordingView::Move(Control control, int left, int top)
{
    Record(std::string("Move ") + quiz::ControlName(control) + " " + std::to_string(left) + " " + std::to_string(top));
    Places[control] = {left, top};
}

void RecordingView::PressCommand4()
{
    Record("Press Command4");
    quiz::Next(run_, *this);
}

void RecordingView::ShowNotice(const std::string &prompt)
{
    Record("Notice " + prompt);
    Notices.push_back(prompt);
}

void RecordingView::EndProgram()
{
    Record("EndProgram");
    Ended = true;
}

void RecordingView::Select(int k)
{
    Selected = {};
    Selected[static_cast<std::size_t>(k - 1)] = true;
}

bool RecordingView::Reachable(Control control) const
{
    const auto visible = Visible.find(control);
    const auto place = Places.find(control);
    if (visible == Visible.end() || !visible->second)
        return false;
    return place == Places.end()
        || (place->second.first < quiz::ClientWidth && place->second.second < quiz::ClientHeight);
}

double ScriptedRandom::Next()
{
    if (next_ >= values_.size())
        throw std::runtime_error("the scripted random values ran out");
    return values_[next_++];
}

double ReplayRandom::Next()
{
    if (++drawsSinceSeed_ > DrawLimit)
        throw std::runtime_error("too many draws without a new Start: the draw never finds what it needs");
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

double ValueFor(int index, int count)
{
    return (index + 0.5) / count;
}

const std::vector<int> ReplayedCandidates{3, 3, 7, 1, 10, 2, 2, 5, 4, 6, 8, 9};
const std::vector<int> ReplayedOrder{3, 7, 1, 10, 2, 5, 4, 6, 8, 9};

std::vector<double> ReplayedDraws(int layoutRoll)
{
    std::vector<double> values;
    for (int candidate : ReplayedCandidates)
        values.push_back(ValueFor(candidate - 1, 10));
    values.push_back(ValueFor(layoutRoll - 50, 200));
    return values;
}
