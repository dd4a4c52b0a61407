#pragma once

class QWidget;

// Puts a window in the middle of its screen's free area, so that windows opened without a
// window manager to place them do not pile up in the corner.
void CentreOnScreen(QWidget &window);
