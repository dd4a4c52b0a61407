#include "frmFinish.h"

#include "FontFit.h"
#include "Placement.h"
#include "Readability.h"
#include "ResultSummary.h"
#include "RussianQtTexts.h"
#include "mdMain.h"

#include <QCloseEvent>
#include <QEvent>
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
                .boundingRect(room, int(label.alignment()) | Qt::TextWordWrap, label.text());
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
    const auto label = [&](const QString &caption, int left, int top, int width, int height) {
        auto *control = new QLabel(caption, this);
        control->setTextFormat(Qt::PlainText); // a name like <s>Петя</s> is shown as typed
        // centred across, at the top
        control->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        m_design.push_back({control, QRect(left, top, width, height)});
        return control;
    };
    const auto banner = [&](const QString &caption) {
        QLabel *control = label(caption, 240, 2160, 4335, 735);
        control->setFont(BannerFont());
        control->setAutoFillBackground(true); // opaque, so the one in front hides the other
        return control;
    };

    setWindowTitle(kCaption);
    setWindowIcon(BlankIcon());

    Label1 = label(kSampleName, 240, 240, 4335, 495);
    m_design.back().setsScale = false; // the name shrinks its own font instead (FitName)
    Label1->setFont(BannerFont());
    Label1->installEventFilter(this);
    Label3 = label(kTotalCaption, 120, 840, 4575, 255);
    Label2 = label(CountText(kQuestionCount), 120, 1320, 4575, 255); // the all-right sentence
    Label5 = label(kTimeLead, 120, 1680, 4575, 255);
    Label4[0] = banner(kPassed);
    Label4[1] = banner(kFailed);
    Label4[0]->raise();
    Label4[1]->hide(); // hidden behind the other, also from a screen reader
    colourBanners();
    fitToFont();
}

void frmFinish::fitToFont()
{
    FitToFont(*this, QSize(4815, 3015), m_design);
}

// The banners' own colours where they read on the window's colour; on a dark one the same blues,
// lighter.
void frmFinish::colourBanners()
{
    const std::array<QColor, 2> colours = {kPassedColour, kFailedColour};
    for (size_t i = 0; i < Label4.size(); ++i) {
        QPalette palette = Label4[i]->palette();
        palette.setColor(QPalette::WindowText,
                         ReadableOn(colours[i], palette.color(QPalette::Window)));
        Label4[i]->setPalette(palette);
    }
}

void frmFinish::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        colourBanners();
    QWidget::changeEvent(event);
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
    if (!summary.Passed) {
        Label4[1]->show();
        Label4[1]->raise();
        Label4[0]->hide();
    }
    Label2->setText(summary.CountText);
    Label5->setText(Label5->text() + summary.TimeText);
    // The texts it is filled with may need more room than the design's.
    fitToFont();
    FitName(*Label1);
    CentreOnScreen(*this);
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
