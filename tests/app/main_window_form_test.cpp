#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

#include "app/list_box.hpp"
#include "app/memo.hpp"
#include "app_test_support.hpp"
#include "widgets/xp_button.hpp"

namespace quill {
namespace {

using test::control;

enum class Kind { Label, Edit, Button, Memo, CheckBox, ListBox };

struct ControlRow {
    const char* name;
    Kind kind;
    const char* parent;  // the page, or the window itself
    const char* text;
    QRect geometry;
};

const ControlRow kControls[] = {
    {"Logo", Kind::Label, "Maskerade", "", {88, 8, 315, 114}},
    {"Obere_Info", Kind::Label, "Maskerade", " Was möchten Sie tun?", {8, 128, 111, 13}},
    {"Adresse", Kind::Label, "Mail", "E-Mail-Adresse:", {8, 16, 73, 13}},
    {"Mail_Edit", Kind::Edit, "Mail", "", {8, 32, 449, 21}},
    {"Betreff", Kind::Label, "Mail", "Betreff:", {8, 56, 34, 13}},
    {"Betreff_Edit", Kind::Edit, "Mail", "", {8, 72, 449, 21}},
    {"Go_Mail", Kind::Button, "Mail", "E-Mail-Adresse kodieren", {8, 104, 449, 25}},
    {"kodierte_adresse", Kind::Label, "Mail", "Kodierte E-Mail-Adresse:", {8, 144, 115, 13}},
    {"adressen_link", Kind::Label, "Mail", "E-Mail-Link:", {240, 144, 55, 13}},
    {"Kodiert_Memo", Kind::Memo, "Mail", "", {8, 168, 217, 97}},
    {"Link_Memo", Kind::Memo, "Mail", "", {240, 168, 217, 97}},
    {"Copy_Mail", Kind::Button, "Mail", "E-Mail-Adresse kopieren", {8, 280, 217, 25}},
    {"Copy_Link", Kind::Button, "Mail", "E-Mail-Link kopieren", {240, 280, 217, 25}},
    {"Datei_ja", Kind::CheckBox, "Mail", "HTML-Datei erzeugen", {8, 316, 129, 17}},
    {"verz_text",
     Kind::Label,
     "Verzeichnis",
     "Beachten Sie bitte, dass bereits kodierte E-Mail-Adressen nicht erneut kodiert werden!\r\nSollte eine der "
     "Dateien bereits kodierte E-Mail-Adressen enthalten, so werden diese übergangen.",
     {8, 16, 404, 39}},
    {"Datei_kodieren", Kind::Button, "Verzeichnis", "Datei(en) auswählen und kodieren", {8, 64, 449, 25}},
    {"Verzeichnis_suchen", Kind::Button, "Verzeichnis", "Verzeichnis auswählen", {8, 96, 217, 25}},
    {"Verzeichnis_kodieren", Kind::Button, "Verzeichnis", "Verzeichnis kodieren", {240, 96, 217, 25}},
    {"Unterverz", Kind::CheckBox, "Verzeichnis", "Unterverzeichnisse ebenfalls durchsuchen", {12, 128, 225, 17}},
    {"Rueckgaengig", Kind::Button, "Verzeichnis", "Rückgängig …", {240, 126, 217, 25}},
    {"gefundene_dateien", Kind::Label, "Verzeichnis", "Folgende Dateien wurden gefunden:", {12, 160, 173, 13}},
    {"Dateien_gefunden", Kind::ListBox, "Verzeichnis", "", {12, 176, 445, 65}},
    {"gefundene_adressen", Kind::Label, "Verzeichnis", "Folgende E-Mail-Adressen wurden gefunden:", {12, 248, 212, 13}},
    {"EMail_gefunden", Kind::ListBox, "Verzeichnis", "", {12, 264, 445, 65}},
    {"einst_text",
     Kind::Label,
     "Einstellungen",
     "Wenn Sie weitere Dateiendungen hinzufügen möchten, tippen Sie bitte die Dateiendung (z.B. *.html) in das Feld "
     "ein und klicken Sie auf \"Hinzufügen\".\r\nBeachten Sie, dass immer nach dem vorkommen der Endung gesucht wird. "
     "\r\n(*.htm findet daher auch *.html-Dateien).\r\n\r\nBeachten Sie bitte, dass vor jeder Endung immer ein "
     "Sternchen und ein \r\nPunkt stehen MUSS.\r\n\r\nWenn Sie eine Dateiendung löschen möchten, markieren Sie die "
     "Endung in der Liste und klicken dann auf \"Markierten Eintrag löschen\".",
     {8, 16, 443, 130}},
    {"neu_endungen", Kind::Label, "Einstellungen", "Neue Dateiendung:", {8, 144, 93, 13}},
    {"vorhanden_endungen", Kind::Label, "Einstellungen", "Vorhandene Dateiendungen:", {256, 160, 137, 13}},
    {"Dateiendung", Kind::Edit, "Einstellungen", "", {8, 176, 233, 21}},
    {"Add", Kind::Button, "Einstellungen", "Hinzufügen", {10, 208, 231, 25}},
    {"Endungen", Kind::ListBox, "Einstellungen", "", {256, 176, 201, 145}},
    {"Del", Kind::Button, "Einstellungen", "Markierten Eintrag löschen", {10, 240, 231, 25}},
    {"Alle_ja", Kind::CheckBox, "Einstellungen", "Alle E-Mail-Adressen schützen", {10, 280, 231, 17}},
    {"Sicherung_ja", Kind::CheckBox, "Einstellungen", "Sicherung vor jedem Kodieren", {10, 300, 231, 17}},
    {"Vorschau_ja", Kind::CheckBox, "Einstellungen", "Änderungen vor dem Kodieren zeigen", {10, 320, 231, 17}},
    {"Ausnahmen", Kind::Button, "Einstellungen", "Ausnahmen …", {256, 324, 201, 19}},
    {"Dekodieren_Text",
     Kind::Label,
     "Dekodieren",
     "Hier besteht die Möglichkeit, die kodierte E-Mail-Adresse zu dekodieren.\r\nDazu bitte den kodierten Text in das "
     "Feld einfügen und auf dekodieren klicken.\r\nIn dem Feld darunter erscheint dann die dekodierte "
     "E-Mail-Adresse.\r\nBeachten Sie bitte, dass Sie nur kodierten Text einfügen.",
     {8, 16, 373, 52}},
    {"CodedText", Kind::Label, "Dekodieren", "Kodierter Text:", {8, 88, 69, 13}},
    {"Kodierter_Text", Kind::Memo, "Dekodieren", "", {8, 104, 449, 137}},
    {"Dekode", Kind::Button, "Dekodieren", "Text dekodieren", {8, 248, 449, 25}},
    {"Decoded_Text", Kind::Label, "Dekodieren", "Dekodierte E-Mail-Adresse:", {8, 280, 128, 13}},
    {"Dekodierter_Text", Kind::Edit, "Dekodieren", "", {8, 304, 449, 21}},
    {"Label1",
     Kind::Label,
     "FTP",
     "Sie haben hier die Möglichkeit einen kompletten Ordner auf einem FTP-Server\r\nkodieren zu lassen.\r\n\r\nGeben "
     "Sie Ihre Daten in die Felder ein.\r\nIn das Feld Datenverzeichnis wird der Pfad zu den Dateien \r\nausgehend vom "
     "FTP-Root angegeben.\r\nUnterverzeichnisse werden nicht berücksichtigt.\r\n\r\nDurch einen Klick auf \"Starten\" "
     "werden die Daten heruntergeladen, kodiert\r\nund wieder bereitgestellt.",
     {8, 16, 449, 161}},
    {"Server_Label", Kind::Label, "FTP", "FTP-Server:", {8, 195, 57, 13}},
    {"Host", Kind::Edit, "FTP", "", {96, 192, 121, 21}},
    {"User_Label", Kind::Label, "FTP", "Benutzername:", {8, 219, 71, 13}},
    {"User", Kind::Edit, "FTP", "", {96, 216, 121, 21}},
    {"Pass_Label", Kind::Label, "FTP", "Passwort:", {8, 243, 46, 13}},
    {"Pass", Kind::Edit, "FTP", "", {96, 240, 121, 21}},
    {"Verzeichnis_Label", Kind::Label, "FTP", "Datenverzeichnis:", {8, 267, 85, 13}},
    {"FTPDir", Kind::Edit, "FTP", "", {96, 264, 121, 21}},
    {"Passiv", Kind::CheckBox, "FTP", "Passiv-Modus", {96, 288, 97, 17}},
    // Two lines: the caption is wider than the column left of "Passiv".
    {"TLS_ja", Kind::CheckBox, "FTP", "Verschlüsselt\n(FTPS)", {8, 288, 85, 30}},
    {"FTP_Unterordner", Kind::CheckBox, "FTP", "Unterordner", {8, 322, 85, 17}},
    {"FTP_Rueckgaengig", Kind::Button, "FTP", "Rückgängig …", {398, 179, 59, 34}},
    {"FTP_Go", Kind::Button, "FTP", "Starten", {96, 308, 121, 21}},
    {"FTPDateiengefunden_Text", Kind::Label, "FTP", "Folgende Dateien wurden gefunden:", {224, 194, 173, 13}},
    {"FileBox", Kind::ListBox, "FTP", "", {224, 216, 233, 113}},
    {"Help", Kind::Button, "Maskerade", "Hilfe", {8, 528, 145, 25}},
    {"About", Kind::Button, "Maskerade", "Info", {171, 528, 150, 25}},
    {"Exit", Kind::Button, "Maskerade", "Programm beenden", {336, 528, 145, 25}},
};

QString textOf(QWidget& widget, Kind kind) {
    switch (kind) {
        case Kind::Label:
            return static_cast<QLabel&>(widget).text();
        case Kind::Edit:
            return static_cast<QLineEdit&>(widget).text();
        case Kind::Button:
        case Kind::CheckBox:
            return static_cast<QAbstractButton&>(widget).text();
        case Kind::Memo:
            return static_cast<Memo&>(widget).text();
        case Kind::ListBox:
            return QString::number(static_cast<ListBox&>(widget).count());
    }
    return {};
}

bool isOfKind(QWidget& widget, Kind kind) {
    switch (kind) {
        case Kind::Label:
            return qobject_cast<QLabel*>(&widget) != nullptr;
        case Kind::Edit:
            return qobject_cast<QLineEdit*>(&widget) != nullptr;
        case Kind::Button:
            return qobject_cast<XpButton*>(&widget) != nullptr;
        case Kind::Memo:
            return qobject_cast<Memo*>(&widget) != nullptr;
        case Kind::CheckBox:
            return qobject_cast<QCheckBox*>(&widget) != nullptr;
        case Kind::ListBox:
            return qobject_cast<ListBox*>(&widget) != nullptr;
    }
    return false;
}

class MainWindowFormTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        // No extension list: the loading stops at once and every control keeps its definition.
        window = makeWindow();
    }
    std::unique_ptr<TMaskerade> window;
};

TEST_F(MainWindowFormTest, EveryControlHasItsNameKindPlaceTextAndSize) {
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.name);
        auto* widget = window->findChild<QWidget*>(QString::fromLatin1(row.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(isOfKind(*widget, row.kind));
        ASSERT_NE(widget->parentWidget(), nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(row.parent));
        EXPECT_EQ(widget->geometry(), row.geometry);
        const QString expected = row.kind == Kind::ListBox ? QStringLiteral("0") : QString::fromUtf8(row.text);
        EXPECT_EQ(textOf(*widget, row.kind), expected);
    }
}

TEST_F(MainWindowFormTest, MultiLineLabelsAreJoinedByCrLf) {
    const QString lines = control<QLabel>(*window, "einst_text").text();
    EXPECT_EQ(lines.count(QStringLiteral("\r\n")), 7);
    EXPECT_EQ(lines.count(u'\n'), 7);
    EXPECT_TRUE(lines.contains(QStringLiteral("gesucht wird. \r\n(*.htm")));
    EXPECT_EQ(control<QLabel>(*window, "Label1").text().count(QStringLiteral("\r\n")), 9);
    EXPECT_EQ(control<QLabel>(*window, "Dekodieren_Text").text().count(QStringLiteral("\r\n")), 3);
    EXPECT_EQ(control<QLabel>(*window, "verz_text").text().count(QStringLiteral("\r\n")), 1);
}

TEST_F(MainWindowFormTest, FrameCaptionSizeAndLook) {
    EXPECT_EQ(window->objectName(), QStringLiteral("Maskerade"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillmaskerade Version 2.6"));
    EXPECT_EQ(window->size(), QSize(486, 563));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(window->autoFillBackground());
    EXPECT_EQ(window->font().pixelSize(), 11);
    EXPECT_EQ(control<QLabel>(*window, "Adresse").font().pixelSize(), 11);
    const QPixmap logo = control<QLabel>(*window, "Logo").pixmap();
    EXPECT_EQ(window->geometry().center(), window->screen()->geometry().center());
    EXPECT_EQ(logo.size(), QSize(315, 114));
}

TEST_F(MainWindowFormTest, FivePagesInOrderStartingWithTheMailPage) {
    auto& pages = control<QTabWidget>(*window, "Auswahl");
    const QStringList names = {"Mail", "Verzeichnis", "Einstellungen", "Dekodieren", "FTP"};
    const QStringList captions = {"E-Mail-Adressen", "Verzeichnisse", "Einstellungen", "Dekodieren", "FTP-Zugriff"};
    ASSERT_EQ(pages.count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(pages.widget(i)->objectName(), names[i]);
        EXPECT_EQ(pages.tabText(i), captions[i]);
    }
    EXPECT_EQ(pages.currentIndex(), 0);

    // Every tab fully visible, its caption not cut.
    window->show();
    const QTabBar* bar = pages.tabBar();
    for (int i = 0; i < 5; ++i) {
        const QRect tab = bar->tabRect(i);
        EXPECT_GE(tab.left(), 0) << i;
        EXPECT_LE(tab.right(), pages.width() - 1) << i;
        EXPECT_GE(tab.width(), bar->fontMetrics().horizontalAdvance(captions[i])) << i;
    }
    // The pages leave room for their lowest controls.
    EXPECT_GE(pages.widget(0)->height(), 316 + 17);
    EXPECT_GE(pages.widget(0)->width(), 457);
}

TEST_F(MainWindowFormTest, CaptionsFitTheirControls) {
    for (const ControlRow& row : kControls) {
        if (row.kind != Kind::Label && row.kind != Kind::CheckBox) continue;
        auto* widget = window->findChild<QWidget*>(QString::fromLatin1(row.name));
        if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(label->width()), label->height()) << row.name;
            continue;
        }
        EXPECT_LE(widget->sizeHint().width(), widget->width()) << row.name;
        EXPECT_LE(widget->sizeHint().height(), widget->height() + 4) << row.name;
    }
}

TEST_F(MainWindowFormTest, FocusChainVisitsTheControlsInOrderAndLabelsTakeNoFocus) {
    const QStringList order = {"Auswahl",
                               "Mail_Edit",
                               "Betreff_Edit",
                               "Go_Mail",
                               "Kodiert_Memo",
                               "Link_Memo",
                               "Copy_Mail",
                               "Copy_Link",
                               "Datei_ja",
                               "Datei_kodieren",
                               "Verzeichnis_suchen",
                               "Verzeichnis_kodieren",
                               "Unterverz",
                               "Rueckgaengig",
                               "Dateien_gefunden",
                               "EMail_gefunden",
                               "Dateiendung",
                               "Add",
                               "Endungen",
                               "Del",
                               "Alle_ja",
                               "Sicherung_ja",
                               "Vorschau_ja",
                               "Ausnahmen",
                               "Kodierter_Text",
                               "Dekode",
                               "Dekodierter_Text",
                               "FTP_Rueckgaengig",
                               "Host",
                               "User",
                               "Pass",
                               "FTPDir",
                               "Passiv",
                               "TLS_ja",
                               "FTP_Unterordner",
                               "FTP_Go",
                               "FileBox",
                               "Help",
                               "About",
                               "Exit"};
    QStringList chain;
    QWidget* start = &control<QTabWidget>(*window, "Auswahl");
    QWidget* current = start;
    for (int guard = 0; guard < 500; ++guard) {
        const QString name = current->objectName();
        if (order.contains(name) && !chain.contains(name)) chain << name;
        current = current->nextInFocusChain();
        if (current == start) break;
    }
    EXPECT_EQ(chain, order);
    for (const ControlRow& row : kControls) {
        if (row.kind == Kind::Label) {
            EXPECT_EQ(window->findChild<QWidget*>(QString::fromLatin1(row.name))->focusPolicy(), Qt::NoFocus)
                << row.name;
        }
    }
}

TEST_F(MainWindowFormTest, InitialStates) {
    EXPECT_FALSE(control<QCheckBox>(*window, "Datei_ja").isChecked());
    EXPECT_TRUE(control<QCheckBox>(*window, "Unterverz").isChecked());
    EXPECT_FALSE(control<QCheckBox>(*window, "Passiv").isChecked());
    EXPECT_FALSE(control<QCheckBox>(*window, "Alle_ja").isChecked());
    EXPECT_FALSE(control<QCheckBox>(*window, "TLS_ja").isChecked());
    EXPECT_FALSE(control<QCheckBox>(*window, "FTP_Unterordner").isChecked());
    EXPECT_TRUE(control<QCheckBox>(*window, "Sicherung_ja").isChecked());
    EXPECT_FALSE(control<QCheckBox>(*window, "Vorschau_ja").isChecked());

    auto& pass = control<QLineEdit>(*window, "Pass");
    EXPECT_EQ(pass.echoMode(), QLineEdit::Password);
    EXPECT_EQ(pass.style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, &pass), u'*');

    EXPECT_EQ(control<ListBox>(*window, "Dateien_gefunden").selectionMode(), QAbstractItemView::ExtendedSelection);
    for (const char* name : {"EMail_gefunden", "Endungen", "FileBox"})
        EXPECT_EQ(control<ListBox>(*window, name).selectionMode(), QAbstractItemView::SingleSelection) << name;
    auto& list = control<ListBox>(*window, "Endungen");
    list.addItem(QStringLiteral("*.html"));
    list.addItem(QStringLiteral("*.htm"));
    window->show();
    EXPECT_EQ(list.visualItemRect(list.item(1)).height(), 13);
    EXPECT_EQ(list.visualItemRect(list.item(1)).top() - list.visualItemRect(list.item(0)).top(), 13);

    for (const char* name : {"Kodiert_Memo", "Link_Memo", "Kodierter_Text"}) {
        auto& memo = control<Memo>(*window, name);
        EXPECT_FALSE(memo.isReadOnly()) << name;
        EXPECT_EQ(memo.lineWrapMode(), QPlainTextEdit::WidgetWidth) << name;
        EXPECT_TRUE(memo.tabChangesFocus()) << name;
    }
    EXPECT_EQ(control<Memo>(*window, "Link_Memo").verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(control<Memo>(*window, "Link_Memo").horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

}  // namespace
}  // namespace quill
