#include "info/about_box.hpp"

#include <QIcon>
#include <QKeyEvent>

#include "info/author_info.hpp"
#include "info/credit.hpp"
#include "info/info_flags.hpp"
#include "info/info_look.hpp"
#include "text/product_info.hpp"
#include "ui_about_box.h"
#include "widgets/desktop_open.hpp"

namespace quill {

int classicKeyCode(int qtKey) {
    return qtKey == Qt::Key_Alt || qtKey == Qt::Key_AltGr ? kAltKeyCode : 0;
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TAboutBox>()) {
    ui_->setupUi(this);
    setUpInfoWindow(*this, 298, 206);
    ui_->Panel1->setAutoFillBackground(false);
    ui_->ProgramIcon->setPixmap(QIcon(kProgramIcon).pixmap(32, 32));
    ui_->Copyright->setText(kCopyright);
    ui_->Comments->setText(QStringLiteral("Internet: ") + QString::fromUtf8(kProductWebAddress));
    for (QLabel* label : {ui_->ProductName, ui_->Version, ui_->Copyright}) widenToText(*label);

    connect(ui_->ProgramIcon, &ClickLabel::doubleClicked, this, &TAboutBox::ProgramIconDblClick);
    connect(ui_->Comments, &ClickLabel::clicked, this, &TAboutBox::CommentsClick);
    connect(ui_->OKButton, &QAbstractButton::clicked, this, &TAboutBox::OKButtonClick);

    // Key preview: the window sees every key before the focused control does.
    // A key that travels on to the window itself is seen twice, which does no
    // harm: the flag is only set or cleared.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

TAboutBox::~TAboutBox() = default;

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        FormKeyDown(classicKeyCode(static_cast<QKeyEvent*>(event)->key()));
    } else if (event->type() == QEvent::KeyRelease) {
        // A held key repeats its press only, as on the classic desktop.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) FormKeyUp(classicKeyCode(key->key()));
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::FormKeyDown(int keyCode) {
    if (keyCode == kAltKeyCode) AltKeyDown = true;
}

void TAboutBox::FormKeyUp(int /*keyCode*/) {
    AltKeyDown = false;
}

void TAboutBox::ProgramIconDblClick() {
    if (AltKeyDown && credit_) credit_->exec();
}

void TAboutBox::CommentsClick() {
    openOrFail(QString::fromUtf8(kProductWebAddress));
}

void TAboutBox::OKButtonClick() {
    close();
}

}  // namespace quill
