#include "info_test_support.hpp"

#include <QAbstractButton>
#include <QLabel>

namespace quill::test {

namespace {
bool isOneLineTextLabel(const QLabel* label) {
    return label && !label->wordWrap() && label->pixmap().isNull() && !label->text().contains('\n');
}
}  // namespace

void expectControls(const QWidget& window, std::initializer_list<ControlSpec> controls) {
    for (const ControlSpec& spec : controls) {
        SCOPED_TRACE(spec.name);
        const auto* control = window.findChild<QWidget*>(QString::fromLatin1(spec.name));
        ASSERT_NE(control, nullptr);
        ASSERT_NE(control->parentWidget(), nullptr);
        EXPECT_EQ(control->parentWidget()->objectName(), QString::fromLatin1(spec.parent));
        EXPECT_EQ(!control->isHidden(), spec.visible);

        const auto* label = qobject_cast<const QLabel*>(control);
        if (isOneLineTextLabel(label)) {
            // Such a label may be wider than defined, so that its text is never cut.
            EXPECT_EQ(label->pos(), spec.geometry.topLeft());
            EXPECT_EQ(label->height(), spec.geometry.height());
            EXPECT_GE(label->width(), spec.geometry.width());
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        } else {
            EXPECT_EQ(control->geometry(), spec.geometry);
        }
        if (label) {
            EXPECT_EQ(label->text(), spec.text);
        }
        if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
            EXPECT_EQ(button->text(), spec.text);
        }
    }
}

}  // namespace quill::test
