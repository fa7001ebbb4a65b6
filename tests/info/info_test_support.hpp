#pragma once

#include <gtest/gtest.h>

#include <QRect>
#include <QString>
#include <QWidget>

#include "info/info_flags.hpp"
#include "support/desktop_fake.hpp"
#include "support/temp_folder.hpp"

namespace quill::test {

// One control as a window definition gives it.
struct ExpectedControl {
    const char* name;
    const char* parent;
    QRect geometry;
    QString text;
    bool visible;
};

void expectControls(const QWidget& window, std::initializer_list<ExpectedControl> controls);

// A fresh working folder, a recording desktop and both program-wide flags cleared.
class InfoWindowTest : public InTempWorkingFolder {
protected:
    void SetUp() override {
        InTempWorkingFolder::SetUp();
        AltKeyDown = false;
        MusicCreditShown = false;
    }
    void TearDown() override {
        AltKeyDown = false;
        MusicCreditShown = false;
        InTempWorkingFolder::TearDown();
    }

    InstalledDesktopFake desktop;
};

}  // namespace quill::test
