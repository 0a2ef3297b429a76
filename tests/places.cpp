// SPDX-License-Identifier: GPL-3.0-or-later
// Writes tests/places.txt, the places the scripted sessions click and read, from the design
// table and the answers' rows: `znaydar_places > tests/places.txt`. The scripts need the
// table without a build (a teacher may check an installed program), so it is kept in the
// source tree, and a test fails when it no longer says what this program prints.
#include "Actions.h"
#include "DesignUnits.h"

#include <cstdio>
#include <string>

using quiz::Control;

namespace {

struct Pixel {
    int X, Y;
};

// A control's rectangle in pixels at 100 %, in the client area.
struct Box {
    int X, Y, Width, Height;
    Pixel Middle() const { return {X + Width / 2, Y + Height / 2}; }
};

Box BoxOf(Control control)
{
    const quiz::Design &design = quiz::DesignOf(control);
    return {Pixels(design.Left), Pixels(design.Top), Pixels(design.Width), Pixels(design.Height)};
}

std::string Hex(quiz::Rgb colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", colour.Red, colour.Green, colour.Blue);
    return text;
}

void Place(const char *name, Pixel at, const char *state, const char *control, const std::string &colour = "-")
{
    std::printf("%-15s %4d %4d  %-9s %-9s %s\n", name, at.X, at.Y, state, control, colour.c_str());
}

} // namespace

int main()
{
    std::printf(
        "# The places in the window that scripted sessions click and read: the design's pixels at\n"
        "# 100 %%, counted from the top-left corner of the window's client area, and the colour the\n"
        "# place shows in the state given (- where the sessions read no colour there). Written by\n"
        "# tests/places.cpp from the design table; a test fails when this copy says anything else.\n"
        "# tst_form1_launch finds the named control at each place in the real window, in the state\n"
        "# given. An answer row holds whichever answer the layout put there.\n"
        "# start_corner is the top-left pixel of the start button's yellow face, inside its bevel:\n"
        "# where a window draws a frame of its own, the face found on screen gives the client origin.\n"
        "# name          x    y    state     control   colour\n");
    const Box start = BoxOf(Control::Command1);
    const Box next = BoxOf(Control::Command4);
    // Clear of the bevel and the caption, on the face of both the start and the next button.
    const Pixel face{start.X + 12, start.Y + 5};
    const std::string startColour = Hex(quiz::DesignOf(Control::Command1).Back);
    Place("start_button", start.Middle(), "launch", "Command1");
    Place("start_face", face, "launch", "Command1", startColour);
    Place("start_corner", {start.X + 1, start.Y + 1}, "launch", "Command1", startColour);
    Place("next_button", next.Middle(), "question", "Command4");
    Place("next_face", face, "question", "Command4", Hex(quiz::DesignOf(Control::Command4).Back));
    Place("check_button", BoxOf(Control::Command2).Middle(), "question", "Command2");
    Place("exit_button", BoxOf(Control::Command3).Middle(), "question", "Command3");
    // The status line's text, read along the line from its left end.
    const Box status = BoxOf(Control::Label7);
    Place("status_line", {status.X, status.Y + status.Height / 2}, "question", "Label7",
          Hex(quiz::DesignOf(Control::Label7).Text));
    Place("status_end", {status.X + status.Width - 1, status.Y + status.Height / 2}, "question", "Label7");
    // The answers' rows from the top, read and clicked on a column through the round marks.
    const Box frame = BoxOf(Control::Frame1);
    const quiz::Design &option = quiz::DesignOf(Control::Option1);
    int tops[] = {option.Top, quiz::LowerRowTops[0], quiz::LowerRowTops[1], quiz::LowerRowTops[2]};
    const int mark = frame.X + Pixels(option.Left) + 7;
    for (int row = 0; row < 4; ++row) {
        const int y = frame.Y + Pixels(tops[row]) + Pixels(option.Height) / 2;
        Place(("answer_row_" + std::to_string(row + 1)).c_str(), {mark + 1, y}, "question", "answer");
    }
    for (int row = 0; row < 4; ++row) {
        const int y = frame.Y + Pixels(tops[row]) + Pixels(option.Height) / 2;
        Place(("answer_mark_" + std::to_string(row + 1)).c_str(), {mark, y}, "question", "answer");
    }
    return 0;
}
