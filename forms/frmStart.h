#pragma once

#include <QWidget>

#include <array>
#include <memory>

class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class frmFinish;
enum class Operation : quint8;

// The window the program opens with. The pupil sets the name, the kind of example, the two
// operand ranges and the two boxes here; "Начать" copies them into the quiz settings, saves
// them while the name is the login name, and starts the quiz in the results window.
class frmStart final : public QWidget
{
    Q_OBJECT

  public:
    // Names the application "Vorpa", builds the window in its design state and loads it: login
    // name, stored choices.
    explicit frmStart(QWidget *parent = nullptr);
    ~frmStart() override;

    // The results window, once "Начать" has opened it.
    frmFinish *finishWindow() const { return m_finish.get(); }

    // The controls, by the names the rest of the program knows them by. Arrays are the rows of
    // the two operands: index 0 the first operand, index 1 the second.
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QRadioButton *Option3 = nullptr;
    QRadioButton *Option4 = nullptr;
    QRadioButton *Option5 = nullptr;
    QRadioButton *Option6 = nullptr;
    QRadioButton *Option7 = nullptr;
    QCheckBox *Check1 = nullptr;
    QCheckBox *Check2 = nullptr;
    std::array<QLabel *, 2> Label1{};
    std::array<QLabel *, 2> Label2{};
    std::array<QLineEdit *, 2> Text1{};
    std::array<QLabel *, 2> Label3{};
    std::array<QLineEdit *, 2> Text2{};
    QLabel *Label4 = nullptr;
    QLineEdit *Text3 = nullptr;

  protected:
    // Enter anywhere on the window but on the stopwatch button presses "Начать".
    void keyPressEvent(QKeyEvent *event) override;

  private:
    void createControls();
    void chainTabOrder();
    QRadioButton *optionFor(Operation op) const;
    QRadioButton *selectedOption() const;

    void load();
    void text3Changed();
    void command1Clicked();

    std::unique_ptr<frmFinish> m_finish;
};
