#include "CEditUrlDlg.h"

#include "resources/ResourceIds.h"

namespace tessarel {

CEditUrlDlg::CEditUrlDlg(QWidget* parent)
    : OneTextDlg(Look{res::DialogEditUrl, "Edit URL", nullptr, res::ControlUrlText, true}, address, parent) {}

}  // namespace tessarel
