// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopSession.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#ifndef Q_OS_WIN
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace {
#ifndef Q_OS_WIN
// Qt shows the window on the X server when asked to by name, or when it finds an X display
// and no Wayland desktop.
bool OnX11()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty())
        return platform.startsWith("xcb");
    return qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        && qgetenv("XDG_SESSION_TYPE") != "wayland";
}

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};

// The desktop's accessibility bus, as its launcher publishes it on the X screen's root
// window for programs that have no session bus to ask; empty where none is published. Only
// a local bus is taken: the program sends nothing off the machine.
QByteArray PublishedAccessibilityBus()
{
    int screenNo = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNo);
    QByteArray address;
    if (!xcb_connection_has_error(connection)) {
        xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (; screen.rem > 0 && screenNo > 0; --screenNo)
            xcb_screen_next(&screen);
        static constexpr char Name[] = "AT_SPI_BUS";
        // Asked only if it exists: a name the server does not know yet is left unmade.
        const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> atom(xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, sizeof Name - 1, Name), nullptr));
        if (screen.rem > 0 && atom && atom->atom != XCB_ATOM_NONE) {
            const std::unique_ptr<xcb_get_property_reply_t, FreeReply> property(xcb_get_property_reply(
                connection, xcb_get_property(connection, 0, screen.data->root, atom->atom, XCB_ATOM_STRING, 0, 1024),
                nullptr));
            if (property && property->type == XCB_ATOM_STRING && property->format == 8 && property->bytes_after == 0)
                address = QByteArray(static_cast<const char *>(xcb_get_property_value(property.get())),
                                     xcb_get_property_value_length(property.get()));
        }
    }
    xcb_disconnect(connection);
    if (!address.startsWith("unix:") || address.contains(';'))
        return {};
    return address;
}
#endif
} // namespace

DesktopSession::DesktopSession()
{
#ifndef Q_OS_WIN
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    // libdbus looks for the session bus in the environment, then for a desktop's bus in the
    // runtime folder, and only then starts one. An address of no known kind stops it there,
    // at once, and nothing else.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")
        && (runtime.isEmpty() || !QFileInfo::exists(QFile::decodeName(runtime) + QStringLiteral("/bus")))) {
        qputenv("DBUS_SESSION_BUS_ADDRESS", "none:");
        // Without a session bus Qt does not look on the X screen for the screen reader's
        // bus, and a blind pupil whose program was started through sudo would hear nothing.
        // Named in the environment, that bus is the one Qt goes to.
        if (qEnvironmentVariableIsEmpty("AT_SPI_BUS_ADDRESS") && OnX11()) {
            const QByteArray accessibilityBus = PublishedAccessibilityBus();
            if (!accessibilityBus.isEmpty())
                qputenv("AT_SPI_BUS_ADDRESS", accessibilityBus);
        }
    }
    // Only named here: Qt makes the folder itself, private, once it has a screen and looks
    // into it, so a program that finds no screen and ends at once leaves nothing behind.
    // The name cannot be guessed, so nobody can have made it first.
    if (runtime.isEmpty()) {
        runtime_ = QDir::tempPath() + QStringLiteral("/znaydar-runtime-")
            + QString::number(QRandomGenerator::system()->generate64(), 36);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_));
    }
#endif
}

DesktopSession::~DesktopSession()
{
    if (!runtime_.isEmpty())
        QDir(runtime_).removeRecursively();
}
