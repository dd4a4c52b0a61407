#include "RussianQtTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// Stands in for Qt's Russian translation when it is not installed: the buttons of the quiz's
// dialogs read as they would with it. Qt's translation keeps "OK" as it is.
class StandardButtonTexts final : public QTranslator
{
  public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QPlatformTheme") == 0 && qstrcmp(sourceText, "Cancel") == 0)
            return QStringLiteral("Отмена");
        return QString();
    }
};

} // namespace

void UseRussianQtTexts()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;

    // Kept for the whole process, like the application that uses it.
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_ru"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        return;
    }
    delete translator;
    QCoreApplication::installTranslator(new StandardButtonTexts(QCoreApplication::instance()));
}
