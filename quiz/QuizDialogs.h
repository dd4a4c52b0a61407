#pragma once

#include <QString>

#include <optional>

enum class MessageIcon
{
    None,
    Information,
    Warning,
    Error,
};

// The modal dialogs the quiz talks to the pupil through. QtQuizDialogs puts them on the real
// toolkit; tests script them.
class QuizDialogs
{
  public:
    virtual ~QuizDialogs() = default;
    // The edited text, or empty text when the pupil cancels or closes the dialog.
    virtual QString AskText(const QString &prompt, const QString &title,
                            const QString &defaultText) = 0;
    // An absent title shows the application's title; an empty one stays empty.
    virtual void ShowMessage(const QString &text, MessageIcon icon,
                             const std::optional<QString> &title) = 0;
    // Ends the process at once. Only test doubles return from it.
    virtual void EndProgram() = 0;
};
