#pragma once

#include <QDialog>
#include <memory>

class QTimer;

namespace Ui {
class Tcredit;
}

namespace quill {

class MediaPlayer;
class TVK_Tobrin;

// The hidden credits: music, a title picture that shrinks away on a click, the
// author's picture beneath it that does the same, then the business card.
// Nothing is reset between showings; the timers run on while it is hidden.
class Tcredit : public QDialog {
    Q_OBJECT
public:
    explicit Tcredit(QWidget* parent = nullptr);
    ~Tcredit() override;

    void setBusinessCard(TVK_Tobrin* card) { card_ = card; }

    void FormShow();
    void FormActivate();
    void FormClose();
    void Image1Click();
    void Image2Click();
    void Timer1Timer();
    void Timer2Timer();

    MediaPlayer& player() { return *MediaPlayer1; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void reject() override;

private:
    // A picture's bounds as the animation counts them: the width may go below
    // zero, which a widget cannot show.
    struct Bounds {
        int left;
        int top;
        int width;
        int height;
    };
    // One animation step: one pixel in from every side.
    static void shrink(QWidget& picture, Bounds& bounds);

    std::unique_ptr<Ui::Tcredit> ui_;
    MediaPlayer* MediaPlayer1;
    QTimer* Timer1;
    QTimer* Timer2;
    TVK_Tobrin* card_ = nullptr;
    Bounds image1Bounds_{};
    Bounds image2Bounds_{};
};

}  // namespace quill
