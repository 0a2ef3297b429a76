// SPDX-License-Identifier: GPL-3.0-or-later
// The rules a test run keeps in every state, whatever a pupil pressed: for the random walks
// over the logic alone and over the real window.
#pragma once

#include "TestRun.h"

#include <string>

// Empty while the run keeps the rules, otherwise the first one broken. The caller gives the
// question number the window shows.
std::string BrokenRule(const quiz::TestRun &run, const std::string &numberShown);

// Exit may end the program: the question shown is checked, and the pupil has been asked to
// show the result to the teacher once the tenth is.
bool ExitMayEnd(const quiz::TestRun &run);
