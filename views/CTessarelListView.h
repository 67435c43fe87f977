#pragma once
// The card field list of a card window. It takes its place in the child frame now; the fields of
// the selected card fill it in with the field list work.

#include <QTreeWidget>

#include "framework/View.h"

namespace tessarel {

class CTessarelListView : public QTreeWidget, public View {
    Q_OBJECT
public:
    explicit CTessarelListView(QWidget* parent = nullptr);
    QWidget* Widget() override { return this; }
};

}  // namespace tessarel
