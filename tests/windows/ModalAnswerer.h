#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
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

// Answers the modal dialogs that open while a test drives the windows, the way a pupil would:
// it types into each question dialog and presses OK, and presses OK on every message box.
// Everything it meets is recorded. Like Qt's own message-box tests, it looks for the active
// modal widget on a timer, which also runs inside the dialogs' own event loops.
class ModalAnswerer final : public QObject
{
  public:
    struct Seen
    {
        bool question = false;
        QString title;
        QString text; // the prompt of a question, the text of a box
        QString defaultText;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
    };

    // The text typed into question n (1-based) given its prompt; a null text presses Cancel.
    std::function<QString(int n, const QString &prompt)> answer = [](int, const QString &) {
        return QStringLiteral("0");
    };
    // Called when a question dialog is about to be answered, e.g. to look at the windows.
    std::function<void()> whileAsked;
    // How long each question stays open before it is answered.
    int questionDelayMs = 0;

    QList<Seen> seen;

    ModalAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
        m_timer.start(2);
    }

    QList<Seen> questions() const { return filtered(true); }
    QList<Seen> boxes() const { return filtered(false); }

  private:
    QList<Seen> filtered(bool question) const
    {
        QList<Seen> result;
        for (const Seen &s : seen) {
            if (s.question == question)
                result << s;
        }
        return result;
    }

    static QStringList ButtonTexts(const QWidget *dialog)
    {
        QStringList texts;
        if (const auto *box = dialog->findChild<QDialogButtonBox *>()) {
            for (const QAbstractButton *button : box->buttons())
                texts << button->text();
        }
        return texts;
    }

    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (modal != m_current) {
            m_current = modal;
            m_openFor.start();
        }
        if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            if (m_openFor.elapsed() >= questionDelayMs)
                answerQuestion(input);
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen << Seen{false,     box->windowTitle(), box->text(),
                         QString(), box->icon(),        ButtonTexts(box)};
            m_current = nullptr;
            box->button(QMessageBox::Ok)->click();
        }
    }

    void answerQuestion(QInputDialog *input)
    {
        seen << Seen{true,
                     input->windowTitle(),
                     input->labelText(),
                     input->textValue(),
                     QMessageBox::NoIcon,
                     ButtonTexts(input)};
        const QString text = answer(questions().size(), input->labelText());
        if (whileAsked)
            whileAsked();
        m_current = nullptr;
        auto *buttons = input->findChild<QDialogButtonBox *>();
        if (text.isNull()) {
            buttons->button(QDialogButtonBox::Cancel)->click();
            return;
        }
        QLineEdit *edit = input->findChild<QLineEdit *>();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            TypeText(edit, text);
        buttons->button(QDialogButtonBox::Ok)->click();
    }

    QTimer m_timer;
    QPointer<QWidget> m_current;
    QElapsedTimer m_openFor;
};
