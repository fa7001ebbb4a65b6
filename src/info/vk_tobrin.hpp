#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>

class QTimer;

namespace Ui {
class TVK_Tobrin;
}

namespace quill {

// The author's business card. It starts fully transparent and fades in over
// five seconds the first time it becomes active.
class TVK_Tobrin : public QDialog {
    Q_OBJECT
public:
    explicit TVK_Tobrin(QWidget* parent = nullptr);
    ~TVK_Tobrin() override;

    void FormActivate();
    void Timer1Timer();
    void Label17Click();
    void Label18Click();

    // 0 = invisible, 255 = opaque; only in effect while blending is on.
    std::uint8_t alphaBlendValue() const { return alphaBlendValue_; }
    bool alphaBlend() const { return alphaBlend_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void setAlphaBlendValue(std::uint8_t value);
    void setAlphaBlend(bool on);

    std::unique_ptr<Ui::TVK_Tobrin> ui_;
    QTimer* Timer1;
    std::uint8_t alphaBlendValue_ = 0;
    bool alphaBlend_ = true;
    bool fadedIn_ = false;
};

inline constexpr std::uint8_t kFadeStep = 5;
inline constexpr std::uint8_t kFadeEnd = 250;

}  // namespace quill
