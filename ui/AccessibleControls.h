// SPDX-License-Identifier: GPL-3.0-or-later
// How the window's controls present themselves to a screen reader: as what a pupil sees
// them to be (a window, a photograph, a list of answers, each answer a choice), and only
// once they have something to say. What a screen reader is told, and when, is in
// ScreenReader.h.
#pragma once

#include <QAccessibleInterface>
#include <QString>

class QObject;

namespace AccessibleControls {

// The accessibility factory for the window and its notices: what Qt would offer otherwise
// for any other object.
QAccessibleInterface *WindowAccessible(const QString &className, QObject *object);

} // namespace AccessibleControls
