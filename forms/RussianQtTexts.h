#pragma once

// Puts Qt's own texts (the standard buttons of the dialogs, the context menus of the edit
// fields) into Russian whatever the system's language. The first call installs the translation
// for the rest of the process; later calls do nothing.
void UseRussianQtTexts();
