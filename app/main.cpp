#include "frmStart.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    frmStart start;
    start.show();
    return app.exec();
}
