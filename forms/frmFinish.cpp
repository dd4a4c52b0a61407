#include "frmFinish.h"

#include "Placement.h"
#include "ResultSummary.h"
#include "RussianQtTexts.h"
#include "Twips.h"
#include "mdMain.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPixmap>

namespace {

const QString kCaption = QStringLiteral("Посмотрим, как у тебя дела...");
// Never shown: loading replaces it with the pupil's name before the window appears.
const QString kSampleName = QStringLiteral("Имя ученика");
const QString kTotalCaption = QStringLiteral("Всего было 12 вопросов");
const QString kTimeLead = QStringLiteral("Думал над решениями ");
const QString kPassed = QStringLiteral("Ты прошёл тест");
const QString kFailed = QStringLiteral("Ты не прошёл тест");
const QColor kPassedColour(0, 0, 255);
const QColor kFailedColour(0, 0, 128);

// Arial, for which fontconfig picks a metric-compatible face where Arial itself is missing.
QFont BannerFont()
{
    QFont font(QStringLiteral("Arial"), 18, QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// The name in the largest size of its font, from 18 pt down to 10 pt, at which the label shows it
// whole: on one line or, where one is too narrow, on two. Below 10 pt it would be hard to read.
void FitName(QLabel &label)
{
    const QRect room = label.contentsRect();
    const auto fits = [&](const QFont &font) {
        const QRect needed =
            QFontMetrics(font, &label)
                .boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, label.text());
        return room.contains(needed);
    };
    QFont font = label.font();
    while (font.pointSize() > 10 && !fits(font))
        font.setPointSize(font.pointSize() - 1);
    label.setFont(font);
    label.setWordWrap(true);
}

// A fully transparent picture, so that no icon shows in the title bar.
QIcon BlankIcon()
{
    QPixmap blank(32, 32);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

} // namespace

frmFinish::frmFinish(QWidget *startWindow) : m_startWindow(startWindow)
{
    UseRussianQtTexts();
    createControls();
    CentreOnScreen(*this);
}

void frmFinish::createControls()
{
    const qreal dpiX = logicalDpiX();
    const qreal dpiY = logicalDpiY();
    const auto label = [&](const QString &caption, int left, int top, int width, int height) {
        auto *control = new QLabel(caption, this);
        control->setTextFormat(Qt::PlainText); // a name like <s>Петя</s> is shown as typed
        control->setAlignment(Qt::AlignCenter);
        control->setGeometry(TwipsToRect(left, top, width, height, dpiX, dpiY));
        return control;
    };
    const auto banner = [&](const QString &caption, const QColor &colour) {
        QLabel *control = label(caption, 240, 2160, 4335, 735);
        control->setFont(BannerFont());
        control->setAutoFillBackground(true); // opaque, so the one in front hides the other
        QPalette palette = control->palette();
        palette.setColor(QPalette::WindowText, colour);
        control->setPalette(palette);
        return control;
    };

    setWindowTitle(kCaption);
    setWindowIcon(BlankIcon());
    setFixedSize(TwipsToPixels(4815, dpiX), TwipsToPixels(3015, dpiY));

    Label1 = label(kSampleName, 240, 240, 4335, 495);
    Label1->setFont(BannerFont());
    Label1->installEventFilter(this);
    Label3 = label(kTotalCaption, 120, 840, 4575, 255);
    Label2 = label(CountText(kQuestionCount), 120, 1320, 4575, 255); // the all-right sentence
    Label5 = label(kTimeLead, 120, 1680, 4575, 255);
    Label4[0] = banner(kPassed, kPassedColour);
    Label4[1] = banner(kFailed, kFailedColour);
    Label4[0]->raise();
    Label4[1]->hide(); // hidden behind the other, also from a screen reader
}

bool frmFinish::loadAndShow()
{
    if (!load())
        return false;
    show();
    return true;
}

bool frmFinish::load()
{
    if (m_startWindow)
        m_startWindow->hide();

    const std::optional<QuizOutcome> outcome = mdMain::RunQuiz();
    if (!outcome)
        return false; // the program was ended inside the quiz

    const ResultSummary summary = MakeResultSummary(*outcome, mdMain::Settings());
    Label1->setText(summary.NameText);
    FitName(*Label1);
    if (!summary.Passed) {
        Label4[1]->show();
        Label4[1]->raise();
        Label4[0]->hide();
    }
    Label2->setText(summary.CountText);
    Label5->setText(Label5->text() + summary.TimeText);
    return true;
}

void frmFinish::label1DoubleClicked()
{
    mdMain::Dialogs().ShowMessage(DiagnosticLine(mdMain::Settings()), MessageIcon::None,
                                  std::nullopt);
}

bool frmFinish::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label1 && event->type() == QEvent::MouseButtonDblClick) {
        label1DoubleClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmFinish::closeEvent(QCloseEvent *event)
{
    mdMain::Dialogs().EndProgram();
    event->accept();
}
