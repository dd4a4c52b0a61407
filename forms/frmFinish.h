#pragma once

#include "FontFit.h"

#include <QWidget>

#include <array>
#include <vector>

class QLabel;

// The results window. Loading it runs the whole quiz; only after the twelfth answer does it
// appear, with the pupil's name, the pass or fail banner, the count sentence and the thinking
// time. Double-clicking the name shows the diagnostic line; closing the window ends the
// program.
class frmFinish final : public QWidget
{
    Q_OBJECT

  public:
    // startWindow is hidden when the quiz begins; it may be null.
    explicit frmFinish(QWidget *startWindow = nullptr);

    // Hides the start window, runs the quiz and shows the results. False when the program
    // ended inside the quiz; the window is then not shown.
    bool loadAndShow();

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    // The pass banner (0) and the fail banner (1) share one rectangle; the one in front shows.
    std::array<QLabel *, 2> Label4{};
    QLabel *Label5 = nullptr;

  protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void createControls();
    void colourBanners();
    void fitToFont();
    bool load();
    void label1DoubleClicked();

    QWidget *m_startWindow;
    std::vector<DesignedControl> m_design; // the labels and their twips
};
