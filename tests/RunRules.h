// SPDX-License-Identifier: GPL-3.0-or-later
// The rules a test run keeps in every state, whatever a pupil pressed: for the random walks
// over the logic alone and over the real window.
#pragma once

#include "TestRun.h"

#include <string>

// What a press left for the pupil, as the walk's view shows it.
struct Screen {
    // The question number Label6 shows.
    std::string NumberShown;
    bool StartReachable = false;
    bool NextReachable = false;
    bool Ended = false;
};

// Exit may end the program: the question shown is checked, and the pupil has been asked to
// show the result to the teacher once the tenth is.
bool ExitMayEnd(const quiz::TestRun &run);

// Empty while the run and the screen keep the rules after a press, otherwise the first one
// broken. The caller says whether the press was on Exit, and whether Exit might end the
// program when the press came (ExitMayEnd before it).
std::string BrokenRule(const quiz::TestRun &run, const Screen &screen, bool pressedExit, bool exitMayEnd);
