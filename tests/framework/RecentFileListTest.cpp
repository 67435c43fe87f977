#include <QFileInfo>
#include <gtest/gtest.h>

#include "framework/RecentFileList.h"
#include "framework/Settings.h"

namespace tessarel {
namespace {

TEST(RecentFileListTest, KeepsFourMostRecentFirstWithoutDuplicates) {
    RecentFileList list;
    for (QString name : {"/a/1", "/a/2", "/a/3", "/a/4", "/a/2", "/a/5"}) list.Add(name);
    EXPECT_EQ(list.Entries(), QStringList({"/a/5", "/a/2", "/a/4", "/a/3"}));
}

TEST(RecentFileListTest, SurvivesARestartThroughTheSettings) {
    RecentFileList before;
    before.Add("/x/one.qdf");
    before.Add("/x/two.qde");
    before.Save();
    EXPECT_EQ(ReadText(setting::RecentFile1), "/x/two.qde");
    EXPECT_EQ(ReadText(setting::RecentFile2), "/x/one.qdf");
    EXPECT_EQ(ReadText(setting::RecentFile3), "");
    RecentFileList after;
    after.Load();
    EXPECT_EQ(after.Entries(), before.Entries());
}

TEST(RecentFileListTest, MenuTextsAreShortenedToThirtyCharacters) {
    struct Case {
        QString path;
        QString shown;
    };
    for (const Case& c : {Case{"/tmp/cards.qdf", "/tmp/cards.qdf"},
                          Case{"/home/someone/documents/private/cards.qdf", "/home/someone/.../cards.qdf"},
                          Case{"/averyveryverylongfoldername/x.qdf", "/.../x.qdf"},
                          Case{"/a/" + QString(40, 'n') + ".qdf", QString(30, 'n')}}) {
        QString shown = RecentFileList::Abbreviate(c.path, 30);
        EXPECT_EQ(shown, c.shown);
        EXPECT_LE(shown.size(), 30);
    }
    RecentFileList list;
    list.Add("/tmp/a&b.qdf");
    EXPECT_EQ(list.MenuText(0), "&1 /tmp/a&&b.qdf");
}

}  // namespace
}  // namespace tessarel
