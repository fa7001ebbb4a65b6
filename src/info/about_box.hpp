#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TAboutBox;
}

namespace quill {

class Tcredit;

// The about window: program name, version, author, web address. Alt plus a
// double-click on the icon opens the hidden credits.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    void setCreditWindow(Tcredit* credit) { credit_ = credit; }

    // Key codes are those of the classic desktop: 18 is Alt.
    void FormKeyDown(int keyCode);
    void FormKeyUp(int keyCode);
    void ProgramIconDblClick();
    void CommentsClick();
    void OKButtonClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TAboutBox> ui_;
    Tcredit* credit_ = nullptr;
};

// The classic desktop's code for Alt (either key) is 18; this window names no
// other key, so every other key is 0.
int classicKeyCode(int qtKey);

inline constexpr int kAltKeyCode = 18;

}  // namespace quill
