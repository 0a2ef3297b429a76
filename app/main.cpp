// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopSession.h"
#include "Form1.h"
#include "Product.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    DesktopSession session;
    QApplication application(argc, argv);
    // Ties the running window to its menu entry, for its icon and its place in the dock.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(product::AppId));
    Form1 window;
    window.show();
    return QApplication::exec();
}
