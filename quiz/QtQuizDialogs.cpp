#include "QtQuizDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace {

QMessageBox::Icon ToQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString QtQuizDialogs::AskText(const QString &prompt, const QString &title,
                               const QString &defaultText)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

void QtQuizDialogs::ShowMessage(const QString &text, MessageIcon icon,
                                const std::optional<QString> &title)
{
    QMessageBox box(ToQt(icon), title.value_or(QCoreApplication::applicationName()), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText); // the pupil's name in it is text, never markup
    box.exec();
}

void QtQuizDialogs::EndProgram()
{
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}
