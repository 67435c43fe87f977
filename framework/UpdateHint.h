#pragma once
// What changed in a document, as Document::UpdateAllViews hands it to the views. Each kind of
// change is a class of its own deriving from UpdateHint; a view asks for the kinds it handles
// with dynamic_cast, so a hint can never be read as the wrong type (a plain pointer and a number
// saying what it points to could).

namespace tessarel {

struct UpdateHint {
    virtual ~UpdateHint() = default;
};

}  // namespace tessarel
