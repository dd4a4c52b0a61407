#include "AppName.h"

#include <QCoreApplication>

void NameApplication()
{
    // No display name: on X11 Qt would append it to every window title.
    QCoreApplication::setApplicationName(QStringLiteral("Vorpa"));
}
