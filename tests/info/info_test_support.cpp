#include "info_test_support.hpp"

#include <QAbstractButton>
#include <QLabel>

namespace quill::test {

namespace {
bool isOneLineTextLabel(const QLabel* label) {
    return label && !label->wordWrap() && label->pixmap().isNull() && !label->text().contains('\n');
}
}  // namespace

void expectControls(const QWidget& window, std::initializer_list<ExpectedControl> controls) {
    for (const ExpectedControl& expected : controls) {
        SCOPED_TRACE(expected.name);
        const auto* control = window.findChild<QWidget*>(QString::fromLatin1(expected.name));
        ASSERT_NE(control, nullptr);
        ASSERT_NE(control->parentWidget(), nullptr);
        EXPECT_EQ(control->parentWidget()->objectName(), QString::fromLatin1(expected.parent));
        EXPECT_EQ(!control->isHidden(), expected.visible);

        const auto* label = qobject_cast<const QLabel*>(control);
        if (isOneLineTextLabel(label)) {
            // Such a label may be wider than defined, so that its text is never cut.
            EXPECT_EQ(label->pos(), expected.geometry.topLeft());
            EXPECT_EQ(label->height(), expected.geometry.height());
            EXPECT_GE(label->width(), expected.geometry.width());
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        } else {
            EXPECT_EQ(control->geometry(), expected.geometry);
        }
        if (label) {
            EXPECT_EQ(label->text(), expected.text);
        }
        if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
            EXPECT_EQ(button->text(), expected.text);
        }
    }
}

}  // namespace quill::test
