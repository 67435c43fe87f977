#include "CNoteDlg.h"

#include "resources/ResourceIds.h"

namespace tessarel {

CNoteDlg::CNoteDlg(QWidget* parent) : OneTextDlg(Look{res::DialogNote, "Note ", "Note:", res::ControlNoteText, false}, note, parent) {}

}  // namespace tessarel
