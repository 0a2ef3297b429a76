// SPDX-License-Identifier: GPL-3.0-or-later
// Started where there is no screen to show the window on (over SSH, from a console, or with
// a DISPLAY that names no running X server), the toolkit would list its platform plugins,
// advise reinstalling the program and abort. A technician learns more from one line, in
// Russian and in English, and a script from the exit status 1. While the application
// starts, the toolkit's messages are held back; once it has its screen they are passed on
// as they came.
#pragma once

class StartupMessages {
public:
    // Holds back the toolkit's messages from now on; should it find no screen, says so in
    // one line on the error output and ends the program with status 1.
    StartupMessages();
    // The application has its screen: passes the held messages on, and later ones go where
    // they went before.
    void Started();
    ~StartupMessages();
    StartupMessages(const StartupMessages &) = delete;
    StartupMessages &operator=(const StartupMessages &) = delete;
};
