// The least a Qt Widgets program can do: show one empty window and wait. With --label the
// window holds one line of text, which is what makes Qt load its fonts.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    if (QApplication::arguments().contains(QStringLiteral("--label")))
        new QLabel(QStringLiteral("Обучающие примеры"), &window);
    window.show();
    return app.exec();
}
