#include "info/vk_tobrin.hpp"

#include <QLabel>
#include <QTimer>

#include "info/author_info.hpp"
#include "info/info_look.hpp"
#include "text/product_info.hpp"
#include "ui_vk_tobrin.h"
#include "widgets/desktop_open.hpp"

namespace quill {

TVK_Tobrin::TVK_Tobrin(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TVK_Tobrin>()), Timer1(new QTimer(this)) {
    ui_->setupUi(this);
    setUpInfoWindow(*this, 415, 218);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);

    ui_->Label10->setText(kAuthorSurname);
    ui_->Label11->setText(kAuthorFirstName);
    ui_->Label12->setText(kAuthorHome);
    ui_->Label13->setText(kAuthorBirthday);
    ui_->Label14->setText(kAuthorIcq);
    ui_->Label15->setText(kAuthorAim);
    ui_->Label17->setText(QString::fromUtf8(kProductWebAddress));
    ui_->Label18->setText(kAuthorMailAddress);
    // The labels size themselves to their text.
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label != ui_->Image1) label->adjustSize();
    }
    ui_->Image1->setPixmap(jpegPicture(kPortraitPicture));
    ui_->Image1->resize(ui_->Image1->pixmap().size());

    setAlphaBlendValue(0);
    setAlphaBlend(true);

    connect(Timer1, &QTimer::timeout, this, &TVK_Tobrin::Timer1Timer);
    connect(ui_->Label17, &ClickLabel::clicked, this, &TVK_Tobrin::Label17Click);
    connect(ui_->Label18, &ClickLabel::clicked, this, &TVK_Tobrin::Label18Click);
}

TVK_Tobrin::~TVK_Tobrin() = default;

void TVK_Tobrin::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
    QDialog::changeEvent(event);
}

void TVK_Tobrin::FormActivate() {
    Timer1->start();
}

void TVK_Tobrin::Timer1Timer() {
    // After the first fade-in a later activation leaves the card opaque, instead
    // of counting on from 250 and wrapping round to near-invisible.
    if (fadedIn_) {
        Timer1->stop();
        return;
    }
    setAlphaBlendValue(static_cast<std::uint8_t>(alphaBlendValue_ + kFadeStep));
    setAlphaBlend(true);
    if (alphaBlendValue_ == kFadeEnd) {
        Timer1->stop();
        setAlphaBlend(false);
        fadedIn_ = true;
    }
}

void TVK_Tobrin::Label17Click() {
    openOrFail(QString::fromUtf8(kProductWebAddress));
}

void TVK_Tobrin::Label18Click() {
    openOrFail(QStringLiteral("mailto:") + kAuthorMailAddress);
}

void TVK_Tobrin::setAlphaBlendValue(std::uint8_t value) {
    alphaBlendValue_ = value;
    if (alphaBlend_) setWindowOpacity(value / 255.0);
}

void TVK_Tobrin::setAlphaBlend(bool on) {
    alphaBlend_ = on;
    setWindowOpacity(on ? alphaBlendValue_ / 255.0 : 1.0);
}

}  // namespace quill
