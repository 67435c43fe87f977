// Print preview with the real preview window: it opens with one page or two side by side as
// "Settings"/"PreviewPages" says, and keeps the person's choice there when it closes.
#include <QAction>
#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>

#include "PrintTestSupport.h"
#include "../app/AppFixture.h"
#include "framework/PreviewPageCount.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

class PreviewPagesTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        CCardFileData data;
        AddNumberedCards(data, 40);
        SaveFile(data, Path("cards.qdf"));
        ASSERT_NE(app->GetDocManager().OpenDocumentFile(Path("cards.qdf")), nullptr);
        Settle();
        // The preview is Qt's own window, as the person sees it.
        dialogs.reset();
    }

    // Runs Print Preview; while it shows, notes how many pages it shows side by side, presses
    // the preview's toolbar button `press` (none when empty) and closes it.
    int Preview(const QString& press) {
        int shown = -1;
        QTimer person;
        person.setInterval(10);
        QObject::connect(&person, &QTimer::timeout, [&] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!preview || !preview->isVisible()) return;
            person.stop();
            shown = PreviewPageCount::Shown(*preview);
            if (!press.isEmpty()) {
                QAction* button = nullptr;
                for (QAction* action : preview->findChildren<QAction*>())
                    if (action->text() == press) button = action;
                EXPECT_NE(button, nullptr) << press.toStdString();
                if (button) button->trigger();
            }
            preview->close();
        });
        person.start();
        app->ExecuteCommand(res::PrintPreview);
        Settle();
        return shown;
    }
};

TEST_F(PreviewPagesTest, OpensAsStoredAndKeepsThePersonsChoice) {
    // Never chosen: one page, and closing writes nothing.
    EXPECT_EQ(Preview({}), 1);
    EXPECT_FALSE(SettingExists(setting::PreviewPages));

    EXPECT_EQ(Preview("Show facing pages"), 1);
    EXPECT_EQ(ReadInt(setting::PreviewPages), 2);
    EXPECT_EQ(Preview("Show single page"), 2) << "two pages side by side, as left";
    EXPECT_EQ(ReadInt(setting::PreviewPages), 1);
    EXPECT_EQ(Preview({}), 1);

    // The overview of all pages is no page count: the stored one stays.
    EXPECT_EQ(Preview("Show overview of all pages"), 1);
    EXPECT_EQ(ReadInt(setting::PreviewPages), 1);

    // A value from the stored settings of an earlier run; anything but 2 reads as one page.
    WriteInt(setting::PreviewPages, 2);
    EXPECT_EQ(Preview({}), 2);
    WriteInt(setting::PreviewPages, 7);
    EXPECT_EQ(Preview({}), 1);
    EXPECT_EQ(ReadInt(setting::PreviewPages), 7);
}

}  // namespace
}  // namespace tessarel::test
