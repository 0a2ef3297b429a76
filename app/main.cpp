// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopSession.h"
#include "Form1.h"
#include "Product.h"
#include "StartupMessages.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    DesktopSession session;
    // Where there is no screen for the window, one line says so and the program ends with 1.
    StartupMessages startup;
    QApplication application(argc, argv);
    startup.Started();
    // Ties the running window to its menu entry, for its icon and its place in the dock.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(product::AppId));
    Form1 window;
    window.show();
    return QApplication::exec();
}
