#pragma once
// The tables of the main window's resources: menus 128, 129, 200 and 155, toolbars 128 and 158,
// the accelerator table 128 and the status texts.

#include <QKeySequence>
#include <QString>
#include <vector>

namespace tessarel {

struct MenuItem {
    int id;            // 0: separator
    const char* text;  // the caption, "\t" before the key text
};

struct MenuDefinition {
    const char* title;
    std::vector<MenuItem> items;
};

struct ToolbarButton {
    int id;              // 0: separator
    const char* tooltip;
};

struct Accelerator {
    const char* key;  // in QKeySequence's portable form
    int id;
};

const std::vector<MenuDefinition>& MenuResource(int menuId);
const std::vector<ToolbarButton>& ToolbarResource(int toolbarId);
const std::vector<Accelerator>& AcceleratorTable();
// The status bar text of a command (the first line of its string), empty when it has none.
QString StatusText(int id);

}  // namespace tessarel
