// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopSession.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

DesktopSession::DesktopSession()
{
#ifndef Q_OS_WIN
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    // libdbus looks for the session bus in the environment, then for a desktop's bus in the
    // runtime folder, and only then starts one. An address of no known kind stops it there,
    // at once, and nothing else.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")
        && (runtime.isEmpty() || !QFileInfo::exists(QFile::decodeName(runtime) + QStringLiteral("/bus"))))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "none:");
    if (runtime.isEmpty()) {
        runtime_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/znaydar-runtime-XXXXXX"));
        if (runtime_->isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_->path()));
    }
#endif
}

DesktopSession::~DesktopSession() = default;
