#include "views/NoteViewBuilder.h"

#include <QPointer>

#include "views/NoteViews.h"

namespace wux {

QWidget* makeNoteView(MemoHolderUI& holder, MemoHolderUI::Kind kind, QWidget* parent) {
  using Kind = MemoHolderUI::Kind;
  holder.buildView_(kind);
  NoteItemModel* model = holder.model(kind);
  if (!model) return nullptr;
  QWidget* control = holder.viewControl(kind);
  if (!control && !parent) return nullptr;  // no window: the list alone
  if (!control) {
    control = kind == Kind::CheckList ? static_cast<QWidget*>(new NoteCheckListView(model, parent))
              : kind == Kind::Tree    ? static_cast<QWidget*>(new NoteTreeView(model, parent))
                                      : static_cast<QWidget*>(new NoteListView(model, parent));
    // Qt's own handling of the model's end runs first (it was connected by setModel),
    // then the control goes; a control its parent freed first is not touched.
    QObject::connect(model, &QObject::destroyed, [c = QPointer<QWidget>(control)] { delete c.data(); });
    holder.setViewControl(kind, control);
  } else if (parent && control->parentWidget() != parent) {
    control->setParent(parent);
  }
  holder.paintView_(control);
  holder.selectInView_(holder.getCurrentNode_());
  return control;
}

}  // namespace wux
