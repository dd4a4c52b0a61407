#include "frmStart.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The title of the boxes that carry no title of their own. No display name: on X11 Qt
    // would append it to every window title.
    QApplication::setApplicationName(QStringLiteral("Vorpa"));

    frmStart start;
    start.show();
    return app.exec();
}
