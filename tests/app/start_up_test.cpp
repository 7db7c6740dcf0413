// Start-up as the program runs it, under its own application object: the
// document named on the command line.
#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include <string>
#include <vector>

#include "app/qt/main_window.h"
#include "dialogs/qt/error_display.h"
#include "document/document.h"
#include "editor/qt/memo.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

class StartUpTest : public testing::Test {
protected:
    void SetUp() override {
        Previous_ = SetErrorBoxDisplay([this](const TErrorBox& box) { Shown.push_back(box.Text); });
    }
    void TearDown() override { SetErrorBoxDisplay(std::move(Previous_)); }

    test::TTempFolder Folder;
    std::vector<std::string> Shown;

private:
    TErrorBoxDisplay Previous_;
};

TEST_F(StartUpTest, OpensTheDocumentNamedByAnyOfItsFilesOrShowsTheMessageOverANewOne) {
    const std::string base = Folder.File("計画 2024");
    {
        TMain maker;
        maker.moNote->Append("note");
        maker.moNote->SetModified(true);
        maker.Document().SaveDocument(base);
    }
    for (const std::string& name : {base + ".Trr", base + ".Txt", base + ".Bin", base}) {
        TMain window;
        window.show();
        window.OpenAtStartUp(name);
        QTest::qWait(1);
        EXPECT_EQ(QFile::encodeName(window.windowTitle()).toStdString(), base) << name;
        EXPECT_EQ(window.moNote->Line(0), "note") << name;
    }
    EXPECT_EQ(Shown, std::vector<std::string>{});

    TMain window;
    window.show();
    window.OpenAtStartUp(Folder.File("missing.Trr"));
    QTest::qWait(1);
    EXPECT_EQ(Shown, std::vector<std::string>{"ファイル " + Folder.File("missing.Trr") +
                                              " は開けません."});
    EXPECT_EQ(window.windowTitle(), QStringLiteral("NewFile"));
}

} // namespace
} // namespace virevi
