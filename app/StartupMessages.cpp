// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartupMessages.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
    QString text;
};

std::mutex heldLock;
QList<HeldMessage> held;
QtMessageHandler passOn = nullptr;

// The toolkit gives up on a screen with this fatal message, whichever platform it tried.
bool IsNoScreen(const QString &text)
{
    return text.contains(QLatin1String("platform plugin"));
}

[[noreturn]] void SayNoScreen()
{
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        std::fputs("znaydar: нет графического экрана, запустите программу в сеансе рабочего стола"
                   " (DISPLAY не задан) / no graphical display: start the program in a desktop"
                   " session (DISPLAY is not set)\n",
                   stderr);
    } else {
        std::fprintf(stderr,
                     "znaydar: графический экран «%s» недоступен, запустите программу в сеансе"
                     " рабочего стола / cannot open the graphical display \"%s\": start the"
                     " program in a desktop session\n",
                     display.constData(), display.constData());
    }
    std::fflush(stderr);
    // Nothing has been made that needs saving or closing; the half-made application is left
    // as it stands.
    std::_Exit(1);
}

void PassOn(const HeldMessage &message)
{
    const QMessageLogContext context(message.file.isNull() ? nullptr : message.file.constData(), message.line,
                                     message.function.isNull() ? nullptr : message.function.constData(),
                                     message.category.isNull() ? nullptr : message.category.constData());
    passOn(message.type, context, message.text);
}

void Hold(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    std::unique_lock<std::mutex> lock(heldLock);
    if (type == QtFatalMsg && IsNoScreen(text))
        SayNoScreen();
    held.append({type, QByteArray(context.file), context.line, QByteArray(context.function),
                 QByteArray(context.category), text});
    if (type == QtFatalMsg) {
        // Some other reason not to start: everything as the toolkit said it, then its end.
        for (const HeldMessage &message : std::as_const(held))
            PassOn(message);
        held.clear();
    }
}

} // namespace

StartupMessages::StartupMessages()
{
    passOn = qInstallMessageHandler(Hold);
}

StartupMessages::~StartupMessages()
{
    Started();
}

void StartupMessages::Started()
{
    if (passOn == nullptr)
        return;
    qInstallMessageHandler(passOn);
    std::lock_guard<std::mutex> lock(heldLock);
    for (const HeldMessage &message : std::as_const(held))
        PassOn(message);
    held.clear();
    passOn = nullptr;
}
