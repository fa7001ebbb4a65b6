#include "app/main_window.hpp"
#include "encoding/reference_decoding.hpp"
#include "ui_main_window.h"
#include "widgets/qt_text.hpp"

namespace quill {

void TMaskerade::DekodeClick() {
    // The joined text goes back into the memo first; a lone CR or LF comes
    // back from it as CR LF and is decoded as such.
    ui->Kodierter_Text->setText(fromCp1252(removeCrLfPairs(toCp1252(ui->Kodierter_Text->text()))));
    const std::u32string decoded = decodeReferences(toCp1252(ui->Kodierter_Text->text()));
    ui->Dekodierter_Text->setText(QString::fromUcs4(decoded.data(), static_cast<qsizetype>(decoded.size())));
}

}  // namespace quill
