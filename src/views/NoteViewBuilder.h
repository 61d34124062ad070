#pragma once
// Makes the control that shows a notebook's notes in one kind of view. The notebook
// keeps the note list and its item models; the control is the caller's (a child of
// `parent`), and it is deleted with the item model it shows, so a notebook that is
// cleared or freed never leaves a control behind that points into it.
#include "views/MemoHolderUI.h"

class QWidget;

namespace wux {

// Builds the kind (the list and ModeNodesMngr, as buildView_) and makes its control
// once as a child of `parent`; later calls answer the same control, moved to `parent`.
// Without a parent and without a control yet, only the list is built: nullptr.
QWidget* makeNoteView(MemoHolderUI& holder, MemoHolderUI::Kind kind, QWidget* parent);

}  // namespace wux
