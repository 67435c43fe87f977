#pragma once
// How many pages print preview shows side by side, kept in "Settings"/"PreviewPages": 2 shows two
// facing pages, 1 one page, 0 (the person never chose) one page. The preview opens as it was
// left and, when it closes, keeps the person's choice for the next one.

class QPrintPreviewDialog;

namespace tessarel {

class PreviewPageCount {
public:
    // The count the next preview shows: 1 or 2.
    static int Stored();
    // Opens `dialog` on the stored count.
    static void Apply(QPrintPreviewDialog& dialog);
    // Stores the count `dialog` shows now, when the person changed it. The overview of all pages
    // is no count of its own: it leaves the stored value as it was.
    static void Remember(const QPrintPreviewDialog& dialog);
    // The count `dialog` shows: 1, 2, or 0 for the overview of all pages.
    static int Shown(const QPrintPreviewDialog& dialog);
};

}  // namespace tessarel
