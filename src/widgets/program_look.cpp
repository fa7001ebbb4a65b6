#include "widgets/program_look.hpp"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

namespace quill {

QFont programFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    // The sans serif runs wider than the desktop's dialog font; this keeps
    // every caption inside the control the window definition sizes for it.
    font.setLetterSpacing(QFont::PercentageSpacing, 92);
    return font;
}

void applyProgramLook() {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
    QApplication::setFont(programFont());
}

bool loadGermanQtTranslations(QTranslator& translator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    return translator.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
           QApplication::installTranslator(&translator);
}

}  // namespace quill
