// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeldKeys.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

// The keys that press a button.
bool Presses(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space || key == Qt::Key_Select;
}

} // namespace

HeldKeys::HeldKeys(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

HeldKeys::~HeldKeys()
{
    qApp->removeEventFilter(this);
}

bool HeldKeys::eventFilter(QObject *watched, QEvent *event)
{
    Q_UNUSED(watched);
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    if (!Presses(key->key()))
        return false;
    if (key->isAutoRepeat())
        return true;
    // X11 repeats a held key as a release and a press of the same moment. Qt tells them
    // for a repeat by finding the press already queued behind the release; on a busy
    // machine the press can come later and both pass as new. Their shared time still gives
    // the press away. Events made by a program carry no time (0) and are taken as they are.
    if (event->type() == QEvent::KeyRelease) {
        lastReleasedKey_ = key->key();
        lastReleaseTime_ = key->timestamp();
        return false;
    }
    return key->timestamp() != 0 && key->key() == lastReleasedKey_ && key->timestamp() == lastReleaseTime_;
}
