#pragma once

class QFont;
class QTranslator;

namespace quill {

// The windows' font: an 11-pixel sans serif, the size of the desktop's
// 8-point dialog font at 96 dots per inch.
QFont programFont();

// One style on every platform and the program font everywhere (needs the
// application object).
void applyProgramLook();

// Qt's own dialogs and buttons in German; false when the translations are
// not installed (the program then runs with Qt's English texts).
bool loadGermanQtTranslations(QTranslator& translator);

}  // namespace quill
