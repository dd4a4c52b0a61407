#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

// Types text key by key, also letters that QTest::keyClicks cannot turn into keys.
inline void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Answers the modal dialogs that open while a test drives the windows, as a pupil would: it
// types into each question dialog and presses OK, and presses OK on every message box,
// recording everything it meets. Like Qt's own message-box tests it looks for the active modal
// widget on a timer, which also runs inside the dialogs' own event loops.
class ModalAnswerer final : public QObject
{
  public:
    struct Seen
    {
        bool question;
        QString title;
        QString text; // the prompt of a question, the text of a box
        QString defaultText;
        QMessageBox::Icon icon;
        QStringList buttons;
    };

    // The text typed into question n, counted from 1.
    std::function<QString(int n)> answer = [](int) { return QStringLiteral("0"); };
    // Runs just before a question is answered, e.g. to look at the windows.
    std::function<void()> whileAsked = [] {};
    QList<Seen> seen;
    int questionCount = 0;

    ModalAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
        m_timer.start(2);
    }

  private:
    static QStringList ButtonTexts(const QWidget *dialog)
    {
        QStringList texts;
        for (const QAbstractButton *button : dialog->findChild<QDialogButtonBox *>()->buttons())
            texts << button->text();
        return texts;
    }

    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            seen << Seen{true,
                         input->windowTitle(),
                         input->labelText(),
                         input->textValue(),
                         QMessageBox::NoIcon,
                         ButtonTexts(input)};
            whileAsked();
            QLineEdit *edit = input->findChild<QLineEdit *>();
            edit->selectAll();
            TypeText(edit, answer(++questionCount));
            input->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen << Seen{false,     box->windowTitle(), box->text(),
                         QString(), box->icon(),        ButtonTexts(box)};
            box->button(QMessageBox::Ok)->click();
        }
    }

    QTimer m_timer;
};
