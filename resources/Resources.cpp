#include "Resources.h"

#include <QDir>
#include <QFile>

// Outside any namespace, as the resource initialiser requires.
static void InitTessarelResources() { Q_INIT_RESOURCE(tessarel); }

namespace tessarel {

void LoadResources() {
    static bool loaded = false;
    if (loaded) return;
    InitTessarelResources();
    loaded = true;
}

QIcon ResourceIcon(int number) {
    LoadResources();
    return QIcon(QStringLiteral(":/icons/icon-%1.svg").arg(number));
}

QPixmap ResourceBitmap(int number) {
    LoadResources();
    return QPixmap(QStringLiteral(":/icons/bitmap-%1.svg").arg(number));
}

QIcon ToolbarImage(int strip, int index) {
    LoadResources();
    return QIcon(QStringLiteral(":/icons/toolbar-%1-%2.svg").arg(strip).arg(index, 2, 10, QChar('0')));
}

int ToolbarImageCount(int strip) {
    LoadResources();
    return static_cast<int>(QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("toolbar-%1-*.svg").arg(strip)}).size());
}

}  // namespace tessarel
