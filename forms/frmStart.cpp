#include "frmStart.h"

#include "FontFit.h"
#include "LoginName.h"
#include "Placement.h"
#include "Registry.h"
#include "RussianQtTexts.h"
#include "StartRules.h"
#include "frmFinish.h"
#include "mdMain.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

const QString kApplicationName = QStringLiteral("Vorpa");
const QString kCaption = QStringLiteral("Обучающие примеры");
const QString kIconPath = QStringLiteral(":/icons/vorpa.png");
const QString kStopwatchPath = QStringLiteral(":/icons/stopwatch.svg");

// What a screen reader announces. A bound field is named by its operand and side, since its
// own label says only "от" or "до"; the stopwatch has no caption to read. The labels beside a
// field are its buddies, so that a screen reader knows what they label.
void NameForScreenReaders(frmStart &w)
{
    for (size_t i = 0; i < 2; ++i) {
        w.Label1[i]->setBuddy(w.Text1[i]);
        w.Label2[i]->setBuddy(w.Text1[i]);
        w.Label3[i]->setBuddy(w.Text2[i]);
        w.Text1[i]->setAccessibleName(kBoundFieldNames[2 * i]);
        w.Text2[i]->setAccessibleName(kBoundFieldNames[2 * i + 1]);
    }
    w.Label4->setBuddy(w.Text3);
    w.Text3->setAccessibleName(QStringLiteral("Имя"));
    w.Command2->setAccessibleName(QStringLiteral("Секундомер"));
    w.Command2->setAccessibleDescription(QStringLiteral("Кнопка ничего не делает"));
}

} // namespace

frmStart::frmStart(QWidget *parent) : QWidget(parent)
{
    // The title of the boxes that carry no title of their own. No display name: on X11 Qt
    // would append it to every window title.
    QCoreApplication::setApplicationName(kApplicationName);
    // The menu entry's name: a Wayland desktop finds the entry and its icon for the window by
    // it. On X11 the window's class, "Vorpa" from the name above, matches StartupWMClass.
    QGuiApplication::setDesktopFileName(QStringLiteral(VORPA_DESKTOP_ID));
    UseRussianQtTexts();
    createControls();
    NameForScreenReaders(*this);
    chainTabOrder();
    CentreOnScreen(*this);
    load();
    // Tab index 0 is the option group: the focus starts there, on the selected kind of example,
    // so that Space at once does not start the quiz.
    selectedOption()->setFocus();
}

frmStart::~frmStart() = default;

void frmStart::createControls()
{
    // Controls are placed once all of them exist, at the scale their font needs.
    std::vector<DesignedControl> design;
    const auto place = [&design](QWidget *control, int left, int top, int width, int height) {
        design.push_back({control, QRect(left, top, width, height)});
    };
    const auto label = [&](QWidget *parent, const QString &caption, int left, int top, int width,
                           int height) {
        auto *control = new QLabel(caption, parent);
        control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        place(control, left, top, width, height);
        return control;
    };
    const auto option = [&](const QString &caption, int top, int width = 2535) {
        auto *control = new QRadioButton(caption, Frame1);
        place(control, 240, top, width, 255);
        return control;
    };
    const auto textBox = [&](const QString &text, int left, int top, int width) {
        auto *control = new QLineEdit(text, Frame2);
        place(control, left, top, width, 285);
        return control;
    };

    setWindowTitle(kCaption);
    setWindowIcon(QIcon(kIconPath));

    Frame1 = new QGroupBox(QStringLiteral("Тип примеров"), this);
    place(Frame1, 120, 120, 3135, 3495);
    Frame2 = new QGroupBox(QStringLiteral("Параметры"), this);
    place(Frame2, 3360, 120, 3135, 2895);

    Command1 = new QPushButton(QStringLiteral("Начать"), this);
    place(Command1, 5280, 3240, 1215, 375);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &frmStart::command1Clicked);

    // A picture button without an action.
    Command2 = new QPushButton(this);
    place(Command2, 3360, 3225, 405, 390);
    Command2->setIcon(QIcon(kStopwatchPath));

    Option2 = option(QStringLiteral("Сложение"), 360);
    Option6 = option(QStringLiteral("Вычитание"), 720);
    Option3 = option(QStringLiteral("Умножение"), 1080);
    Option4 = option(QStringLiteral("Деление"), 1440);
    Option5 = option(QStringLiteral("Остаток от деления"), 1800);
    Option7 = option(QStringLiteral("Возведение в степень"), 2160);
    Option1 = option(QStringLiteral("Логарифмирование"), 2520, 2055);
    Option3->setChecked(true);

    Check1 = new QCheckBox(QStringLiteral("Сложные примеры"), Frame1);
    place(Check1, 240, 3000, 1935, 255);

    const std::array<QString, 2> rowCaptions = {QStringLiteral("Первое число"),
                                                QStringLiteral("Второе число")};
    const std::array<int, 2> captionWidths = {1050, 1020};
    for (int i = 0; i < 2; ++i) {
        const int shift = 720 * i; // the second row lies 720 twips below the first
        Label1[i] = label(Frame2, rowCaptions[i], 240, 360 + shift, captionWidths[i], 195);
        Label2[i] = label(Frame2, QStringLiteral("от"), 480, 660 + shift, 165, 195);
        Text1[i] = textBox(QStringLiteral("1"), 720, 615 + shift, 735);
        Label3[i] = label(Frame2, QStringLiteral("до"), 1695, 645 + shift, 180, 195);
        Text2[i] = textBox(QStringLiteral("10"), 1950, 615 + shift, 735);
    }

    Label4 = label(Frame2, QStringLiteral("Имя:"), 240, 1920, 375, 195);
    Text3 = textBox(QString(), 840, 1860, 1815);
    connect(Text3, &QLineEdit::textChanged, this, &frmStart::text3Changed);

    Check2 = new QCheckBox(QStringLiteral("Интеллектуальный режим"), Frame2);
    place(Check2, 240, 2400, 2775, 255);

    FitToFont(*this, QSize(6615, 3750), design);
    // The stopwatch fitted inside the button's frame.
    const int picture = std::min(Command2->width(), Command2->height()) - 6;
    Command2->setIconSize(QSize(picture, picture));
}

// The tab indices of the window; the frames and the labels take no focus, so what remains is
// the chain below.
void frmStart::chainTabOrder()
{
    const std::array<QWidget *, 16> chain = {
        Option2,  Option6,  Option3,  Option4,  Option5, Option7, Option1,  Check1,
        Text1[0], Text2[0], Text1[1], Text2[1], Text3,   Check2,  Command1, Command2,
    };
    for (size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

QRadioButton *frmStart::optionFor(Operation op) const
{
    switch (op) {
    case Operation::Addition:
        return Option2;
    case Operation::Subtraction:
        return Option6;
    case Operation::Multiplication:
        return Option3;
    case Operation::Division:
        return Option4;
    case Operation::Remainder:
        return Option5;
    case Operation::Power:
        return Option7;
    case Operation::Logarithm:
        return Option1;
    }
    return nullptr;
}

QRadioButton *frmStart::selectedOption() const
{
    for (const Operation op : kAllOperations) {
        if (optionFor(op)->isChecked())
            return optionFor(op);
    }
    return Option3;
}

void frmStart::load()
{
    // The name-change handling sees this change before the marker below is set and leaves the
    // intellectual-mode box as designed.
    Text3->setText(GetLoginName());
    mdMain::FillPhraseTables();

    const Registry::StoredValues stored = Registry::LoadSettings();
    if (const std::optional<Operation> op = OperationFromExampleType(stored.ExampleType))
        optionFor(*op)->setChecked(true);
    Check1->setChecked(stored.ExampleDifficult != 0);
    if (const std::optional<BoundTexts> texts = StoredBoundTexts(
            {stored.ExampleMin1, stored.ExampleMax1, stored.ExampleMin2, stored.ExampleMax2})) {
        const std::array<QLineEdit *, 4> fields = {Text1[0], Text2[0], Text1[1], Text2[1]};
        for (size_t i = 0; i < fields.size(); ++i)
            fields[i]->setText((*texts)[i]);
    }
    Check2->setChecked(stored.IntellectualMode != 0);
}

// Every change of the name, also one that ends on the login name, clears the box; only the
// login name itself, letter for letter and in the same case, lets it be used (and the choices
// be saved).
void frmStart::text3Changed()
{
    if (!mdMain::PhraseTablesFilled())
        return;
    Check2->setChecked(false);
    Check2->setEnabled(Text3->text() == GetLoginName());
}

void frmStart::command1Clicked()
{
    if (m_finish)
        return; // the quiz has started already

    // All four bounds are read before anything changes, so that a rejected one leaves the
    // settings and the store as they were.
    const std::array<QLineEdit *, 4> fields = {Text1[0], Text2[0], Text1[1], Text2[1]};
    const QLocale locale; // the system's regional settings, unless the program was told otherwise
    const BoundsRead read = ReadBounds(
        {fields[0]->text(), fields[1]->text(), fields[2]->text(), fields[3]->text()}, locale);
    if (read.badField) {
        QLineEdit *bad = fields[*read.badField];
        mdMain::Dialogs().ShowMessage(read.warning, MessageIcon::Warning, std::nullopt);
        bad->setFocus();
        bad->selectAll();
        return;
    }
    const Bounds &bounds = read.bounds;

    QuizSettings &settings = mdMain::Settings();
    settings.StudentName = Text3->text();
    settings.Min1 = bounds[0];
    settings.Max1 = bounds[1];
    settings.Min2 = bounds[2];
    settings.Max2 = bounds[3];
    for (const Operation op : kAllOperations) {
        if (optionFor(op)->isChecked())
            settings.Operation = op;
    }
    settings.Difficult = Check1->checkState() != Qt::Unchecked;
    settings.IntellectualMode = Check2->checkState() == Qt::Checked;
    settings.CalculatorSeen = false;
    if (Check2->isEnabled())
        Registry::SaveSettings(settings);

    m_finish = std::make_unique<frmFinish>(this);
    m_finish->loadAndShow();
}

void frmStart::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // The stopwatch button has no action, and Enter on it has none either.
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        focusWidget() != Command2) {
        Command1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
