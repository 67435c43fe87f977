#include "CTessarelView.h"

namespace tessarel {

CTessarelView::CTessarelView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("CTessarelView"));
    setHeaderHidden(true);
}

}  // namespace tessarel
