// SPDX-License-Identifier: GPL-3.0-or-later
// Started outside a desktop session (through sudo, ssh -X, a bare X session), the program
// would find no session bus and no runtime folder, and the libraries beneath it make their
// own and leave them: libdbus starts a session bus (dbus-launch and a dbus-daemon that
// outlive the program, and files under ~/.dbus and the runtime folder), and Qt makes a
// runtime folder in the temporary folder. Nothing can listen on a bus nobody else knows
// of, so none is started; a runtime folder is named for the program's lifetime only. A
// desktop session's own bus and folder are used as they are. A screen reader's bus, which
// the desktop publishes on the X screen for programs run as root, is still found.
#pragma once

#include <QString>

class DesktopSession {
public:
    // Before the QApplication, which reaches for both as it starts.
    DesktopSession();
    ~DesktopSession();
    DesktopSession(const DesktopSession &) = delete;
    DesktopSession &operator=(const DesktopSession &) = delete;

private:
    // The runtime folder named for the program's lifetime, if the session had none.
    QString runtime_;
};
