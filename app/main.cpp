#include "SystemCalculatorProbe.h"
#include "frmStart.h"
#include "mdMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    mdMain::UseCalculatorProbe(MakeSystemCalculatorProbe(QGuiApplication::platformName()));
    frmStart start;
    start.show();
    return app.exec();
}
