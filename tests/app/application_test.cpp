#include "app/application.hpp"

#include <gtest/gtest.h>

#include <QEvent>
#include <QObject>
#include <stdexcept>

#include "support/desktop_fake.hpp"
#include "text/quill_error.hpp"

namespace quill {
namespace {

// An object whose event handling fails halfway.
class FailingObject : public QObject {
public:
    int started = 0;
    int finished = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        ++started;
        throw QuillError("Datei kann nicht gelesen werden");
        ++finished;
    }
};

TEST(Application, IsTheProgramsOwnApplicationObject) {
    EXPECT_NE(qobject_cast<Application*>(QCoreApplication::instance()), nullptr);
}

TEST(Application, ShowsAnExceptionFromAnyEventInOneErrorBoxAndGoesOn) {
    test::InstalledDesktopFake desktop;
    FailingObject object;
    QEvent first(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&object, &first));
    QEvent second(QEvent::User);
    QCoreApplication::sendEvent(&object, &second);
    EXPECT_EQ(object.started, 2);
    EXPECT_EQ(object.finished, 0);
    ASSERT_EQ(desktop->errorBoxes.size(), 2u);
    EXPECT_EQ(desktop->errorBoxes[0].caption, QStringLiteral("test_app"));
    EXPECT_EQ(desktop->errorBoxes[0].text, QStringLiteral("Datei kann nicht gelesen werden."));
}

TEST(Application, PostedEventsAreCoveredToo) {
    test::InstalledDesktopFake desktop;
    FailingObject object;
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&object);
    EXPECT_EQ(object.started, 1);
    EXPECT_EQ(desktop->errorBoxes.size(), 1u);
}

}  // namespace
}  // namespace quill
