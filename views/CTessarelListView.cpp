#include "CTessarelListView.h"

namespace tessarel {

CTessarelListView::CTessarelListView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("CTessarelListView"));
    setRootIsDecorated(false);
}

}  // namespace tessarel
