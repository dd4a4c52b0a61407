#pragma once

#include "QuizDialogs.h"

// The quiz's dialogs on QInputDialog and QMessageBox, centred over the window that is showing
// (or the screen while none is).
class QtQuizDialogs : public QuizDialogs
{
  public:
    QString AskText(const QString &prompt, const QString &title,
                    const QString &defaultText) override;
    void ShowMessage(const QString &text, MessageIcon icon,
                     const std::optional<QString> &title) override;
    void EndProgram() override;
};
