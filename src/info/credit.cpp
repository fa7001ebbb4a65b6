#include "info/credit.hpp"

#include <QApplication>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "files/file_io.hpp"
#include "info/author_info.hpp"
#include "info/info_flags.hpp"
#include "info/info_look.hpp"
#include "info/media_player.hpp"
#include "info/vk_tobrin.hpp"
#include "ui_credit.h"

namespace quill {

namespace {

// A window shown while a modal one runs is blocked by it. As the modal
// window's transient the card takes input beside it, as a business card
// should; the modal window goes on taking input too.
void showBesideModalWindow(QWidget& window) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != &window) {
        window.winId();
        modal->winId();
        window.windowHandle()->setTransientParent(modal->windowHandle());
    }
    window.show();
    window.raise();
    window.activateWindow();
}

QTimer* makeTimer(QObject* owner, const char* name) {
    auto* timer = new QTimer(owner);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(100);
    return timer;
}

}  // namespace

Tcredit::Tcredit(QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::Tcredit>()),
      MediaPlayer1(new MediaPlayer(this)),
      Timer1(makeTimer(this, "Timer1")),
      Timer2(makeTimer(this, "Timer2")) {
    ui_->setupUi(this);
    setUpInfoWindow(*this, 320, 240);
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));

    ui_->Image2->setPixmap(jpegPicture(kPortraitPicture));
    ui_->Image1->setPixmap(jpegPicture(kTitlePicture));
    ui_->Image3->setPixmap(jpegPicture(kThanksPicture));

    ui_->Label1->setFont(creditFont());
    ui_->Label1->setText(QStringLiteral("Das Programm wurde von\r\n") + kAuthorName + QStringLiteral(" erstellt."));

    ui_->Label2->setFont(closingFont());
    ui_->Label2->setText(QStringLiteral("\r\n\r\n\r\nQuillmaskerade\r\n\r\nVersion 2.6"));
    // Drawn without a background, so what lies beneath shows through.
    ui_->Label2->setAutoFillBackground(false);

    image1Bounds_ = {8, 8, 307, 174};
    image2Bounds_ = {80, 8, 150, 169};

    connect(ui_->Image1, &ClickLabel::clicked, this, &Tcredit::Image1Click);
    connect(ui_->Image2, &ClickLabel::clicked, this, &Tcredit::Image2Click);
    connect(Timer1, &QTimer::timeout, this, &Tcredit::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &Tcredit::Timer2Timer);
}

Tcredit::~Tcredit() = default;

void Tcredit::showEvent(QShowEvent* event) {
    // The window system repeats a show when it maps or restores the window;
    // only the showing itself opens the music.
    if (!event->spontaneous()) FormShow();
    QDialog::showEvent(event);
}

void Tcredit::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
    QDialog::changeEvent(event);
}

// Every way of closing (close box, Escape, close()) ends up here while shown.
void Tcredit::reject() {
    FormClose();
    QDialog::reject();
}

void Tcredit::FormShow() {
    try {
        MediaPlayer1->setFileName(files::inCurrentFolder("Quillmaskerade.dat"));
        MediaPlayer1->open();
        MediaPlayer1->play();
    } catch (const std::exception&) {
        // No music, and no message about it either.
    }
}

void Tcredit::FormActivate() {
    // The animations must not flicker: Qt already paints every window through
    // an off-screen buffer, so there is nothing left to switch on here.
}

void Tcredit::FormClose() {
    try {
        MediaPlayer1->stop();
        MediaPlayer1->close();
        if (!MusicCreditShown) return;
    } catch (const std::exception&) {
        // Nothing was open: the music could not be played when shown.
    }
    ui_->Label2->show();
    ui_->Image3->hide();
    ui_->Label1->hide();
}

// start() on a running timer would restart its interval; a click then changes nothing.
void Tcredit::Image1Click() {
    if (!Timer1->isActive()) Timer1->start();
}

void Tcredit::Image2Click() {
    if (!Timer2->isActive()) Timer2->start();
}

void Tcredit::shrink(QWidget& picture, Bounds& bounds) {
    bounds.top += 1;
    bounds.left += 1;
    bounds.width -= 2;
    bounds.height -= 2;
    picture.setGeometry(bounds.left, bounds.top, std::max(bounds.width, 0), std::max(bounds.height, 0));
}

void Tcredit::Timer1Timer() {
    shrink(*ui_->Image1, image1Bounds_);
    if (image1Bounds_.height <= 1) {
        ui_->Image1->hide();
        Timer1->stop();
    }
}

void Tcredit::Timer2Timer() {
    shrink(*ui_->Image2, image2Bounds_);
    if (image2Bounds_.width < 0) {
        ui_->Image2->hide();
        Timer2->stop();
        if (card_) showBesideModalWindow(*card_);
        ui_->Label1->setText(kMusicCredit);
        MusicCreditShown = true;
        ui_->Image3->show();
    }
}

}  // namespace quill
