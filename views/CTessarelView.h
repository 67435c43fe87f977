#pragma once
// The category tree of a card window. It takes its place in the child frame now; the tree of
// categories and cards fills it in with the category tree work.

#include <QTreeWidget>

#include "framework/View.h"

namespace tessarel {

class CTessarelView : public QTreeWidget, public View {
    Q_OBJECT
public:
    explicit CTessarelView(QWidget* parent = nullptr);
    QWidget* Widget() override { return this; }
};

}  // namespace tessarel
