#include "View.h"

#include "Document.h"

namespace tessarel {

View::~View() {
    if (document) document->RemoveView(this);
}

void View::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void View::OnUpdate(View*, int, const UpdateHint*) {}

}  // namespace tessarel
