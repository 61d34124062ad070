#include "dialogs/LinesView.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <string>

#include "model/text/sjis.h"
#include "views/Clipboard.h"
#include "views/qtext.h"

namespace wux {

QString ShownLineText(std::string_view line) {
  if (line.size() <= kMostShownBytes) return toQ(line);
  return toQ(line.substr(0, sjis::charStart(line, kMostShownBytes)));
}

namespace {

std::size_t countOf(const LineSource& s) { return s.count ? s.count() : 0; }

// Rows of a Qt view are ints.
int rowsOf(const LineSource& s) { return static_cast<int>(std::min<std::size_t>(countOf(s), INT_MAX)); }

constexpr int kMargin = 3;

}  // namespace

// ---- the list ------------------------------------------------------------------------

class LinesList::Model : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;
  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rowsOf(source); }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowsOf(source)) return {};
    return ShownLineText(source.line(static_cast<std::size_t>(index.row())));
  }
  void reset() {
    beginResetModel();
    endResetModel();
  }
  LineSource source;
};

LinesList::LinesList(QWidget* parent) : QListView(parent), model_(new Model(this)) {
  // Every line is one text line high: the view lays out none of them ahead.
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setModel(model_);
  connect(this, &QListView::clicked, this, [this](const QModelIndex& i) { emit lineClicked(i.row()); });
}

void LinesList::setSource(LineSource source) {
  model_->source = std::move(source);
  model_->reset();
}

void LinesList::reload() { model_->reset(); }

int LinesList::count() const { return model_->rowCount({}); }

QString LinesList::text(int row) const { return model_->data(model_->index(row), Qt::DisplayRole).toString(); }

// ---- the text ------------------------------------------------------------------------

LinesView::LinesView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  verticalScrollBar()->setSingleStep(1);
  updateScrollBars();
}

void LinesView::setSource(LineSource source) {
  source_ = std::move(source);
  reload();
}

void LinesView::reload() {
  anchor_ = cursor_ = Pos{};
  widest_ = 0;
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  updateScrollBars();
  viewport()->update();
}

std::size_t LinesView::lineCount() const { return countOf(source_); }

int LinesView::lineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int LinesView::visibleLines() const { return std::max(1, viewport()->height() / lineHeight()); }

void LinesView::updateScrollBars() {
  const int rows = rowsOf(source_);
  verticalScrollBar()->setPageStep(visibleLines());
  verticalScrollBar()->setRange(0, std::max(0, rows - visibleLines()));
  horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 4);
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setRange(0, std::max(0, widest_ + 2 * kMargin - viewport()->width()));
}

QString LinesView::shown(std::size_t line) const {
  return line < lineCount() ? ShownLineText(source_.line(line)) : QString();
}

namespace {

// One line laid out on one row, as wide as it is.
struct RowLayout {
  RowLayout(const QString& text, const QFont& font) : layout(text, font) {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    row = layout.createLine();
    if (row.isValid()) row.setLineWidth(4.0e6);
    layout.endLayout();
  }
  int width() const { return row.isValid() ? static_cast<int>(row.naturalTextWidth()) + 1 : 0; }
  QTextLayout layout;
  QTextLine row;
};

}  // namespace

void LinesView::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  const std::size_t count = lineCount();
  const int lh = lineHeight();
  const std::size_t first = static_cast<std::size_t>(verticalScrollBar()->value());
  const Pos from = std::min(anchor_, cursor_), to = std::max(anchor_, cursor_);
  const int x = kMargin - horizontalScrollBar()->value();
  int widest = widest_;
  p.setPen(palette().color(QPalette::Text));
  for (int r = 0; r <= visibleLines() && first + static_cast<std::size_t>(r) < count; ++r) {
    const std::size_t line = first + static_cast<std::size_t>(r);
    const QString text = shown(line);
    RowLayout row(text, font());
    widest = std::max(widest, row.width());
    QList<QTextLayout::FormatRange> selection;
    if (!(from == to) && line >= from.line && line <= to.line) {
      const int start = line == from.line ? std::min(from.column, static_cast<int>(text.size())) : 0;
      const int end = line == to.line ? std::min(to.column, static_cast<int>(text.size())) : static_cast<int>(text.size());
      QTextLayout::FormatRange range;
      range.start = start;
      range.length = end - start;
      range.format.setBackground(palette().brush(QPalette::Highlight));
      range.format.setForeground(palette().brush(QPalette::HighlightedText));
      if (range.length > 0) selection.append(range);
    }
    const QPointF at(x, r * lh);
    row.layout.draw(&p, at, selection);
    if (line == cursor_.line && hasFocus())
      row.layout.drawCursor(&p, at, std::min(cursor_.column, static_cast<int>(text.size())));
  }
  if (widest > widest_) {
    widest_ = widest;
    updateScrollBars();
  }
}

void LinesView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

LinesView::Pos LinesView::posAt(const QPoint& point) const {
  const std::size_t count = lineCount();
  if (count == 0) return {};
  const long long row = point.y() < 0 ? -1 : point.y() / lineHeight();
  const long long line = std::clamp<long long>(verticalScrollBar()->value() + row, 0,
                                               static_cast<long long>(count) - 1);
  RowLayout layout(shown(static_cast<std::size_t>(line)), font());
  const int column = layout.row.isValid()
                         ? layout.row.xToCursor(point.x() - kMargin + horizontalScrollBar()->value())
                         : 0;
  return {static_cast<std::size_t>(line), column};
}

void LinesView::ensureVisible(const Pos& pos) {
  QScrollBar* v = verticalScrollBar();
  const long long line = static_cast<long long>(pos.line);
  if (line < v->value()) v->setValue(static_cast<int>(line));
  else if (line >= v->value() + visibleLines()) v->setValue(static_cast<int>(line - visibleLines() + 1));
  RowLayout layout(shown(pos.line), font());
  if (!layout.row.isValid()) return;
  const int x = static_cast<int>(layout.row.cursorToX(pos.column));
  QScrollBar* h = horizontalScrollBar();
  const int width = viewport()->width() - 2 * kMargin;
  if (x > widest_) {
    widest_ = layout.width();
    updateScrollBars();
  }
  if (x < h->value()) h->setValue(x);
  else if (x > h->value() + width) h->setValue(x - width);
}

void LinesView::moveTo(Pos pos, bool select) {
  cursor_ = pos;
  if (!select) anchor_ = pos;
  ensureVisible(pos);
  viewport()->update();
}

void LinesView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  moveTo(posAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void LinesView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  QPoint point = event->position().toPoint();
  // Dragged past an edge, the text runs by a line at a time.
  QScrollBar* v = verticalScrollBar();
  if (point.y() < 0) v->setValue(v->value() - 1);
  else if (point.y() >= viewport()->height()) v->setValue(v->value() + 1);
  point.setY(std::clamp(point.y(), 0, std::max(0, viewport()->height() - 1)));
  moveTo(posAt(point), true);
}

void LinesView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const Pos at = posAt(event->position().toPoint());
  const QString text = shown(at.line);
  QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
  words.setPosition(std::min(at.column, static_cast<int>(text.size())));
  const int start = words.isAtBoundary() && words.boundaryReasons() & QTextBoundaryFinder::StartOfItem
                        ? static_cast<int>(words.position())
                        : std::max<int>(0, static_cast<int>(words.toPreviousBoundary()));
  words.setPosition(start);
  const qsizetype next = words.toNextBoundary();
  anchor_ = {at.line, start};
  moveTo({at.line, next < 0 ? static_cast<int>(text.size()) : static_cast<int>(next)}, true);
}

void LinesView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) return copy();
  if (event->matches(QKeySequence::SelectAll)) return selectAll();
  const std::size_t count = lineCount();
  if (count == 0) return QAbstractScrollArea::keyPressEvent(event);
  const bool select = event->modifiers() & Qt::ShiftModifier;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  Pos pos = cursor_;
  const std::size_t last = count - 1;
  const std::size_t page = static_cast<std::size_t>(visibleLines());
  auto endOf = [this](std::size_t line) { return static_cast<int>(shown(line).size()); };
  pos.line = std::min(pos.line, last);
  switch (event->key()) {
    case Qt::Key_Up: pos.line = pos.line > 0 ? pos.line - 1 : 0; break;
    case Qt::Key_Down: pos.line = std::min(last, pos.line + 1); break;
    case Qt::Key_PageUp: pos.line = pos.line > page ? pos.line - page : 0; break;
    case Qt::Key_PageDown: pos.line = std::min(last, pos.line + page); break;
    case Qt::Key_Home: pos = ctrl ? Pos{0, 0} : Pos{pos.line, 0}; break;
    case Qt::Key_End: pos = ctrl ? Pos{last, endOf(last)} : Pos{pos.line, endOf(pos.line)}; break;
    case Qt::Key_Left:
      if (pos.column > 0) pos.column = std::min(pos.column, endOf(pos.line)) - 1;
      else if (pos.line > 0) pos = {pos.line - 1, endOf(pos.line - 1)};
      break;
    case Qt::Key_Right:
      if (pos.column < endOf(pos.line)) ++pos.column;
      else if (pos.line < last) pos = {pos.line + 1, 0};
      break;
    default: return QAbstractScrollArea::keyPressEvent(event);
  }
  moveTo(pos, select);
}

void LinesView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copyAction = menu.addAction(tr("&Copy"), this, &LinesView::copy);
  copyAction->setEnabled(!(anchor_ == cursor_));
  menu.addAction(tr("Select &All"), this, &LinesView::selectAll);
  menu.exec(event->globalPos());
}

QString LinesView::textBetween(Pos from, Pos to) const {
  const std::size_t count = lineCount();
  if (count == 0 || !(from < to)) return {};
  to.line = std::min(to.line, count - 1);
  // A line taken to its end is taken whole, the part a cut line does not show too.
  auto piece = [&](std::size_t line, int start, int end) {
    const std::string_view text = source_.line(line);
    const QString shownText = ShownLineText(text);
    const bool toEnd = end >= shownText.size();
    const QString whole = toEnd && text.size() > kMostShownBytes ? toQ(text) : shownText;
    return toEnd ? whole.mid(start) : whole.mid(start, end - start);
  };
  if (from.line == to.line) return piece(from.line, from.column, to.column);
  std::string middle;
  for (std::size_t line = from.line + 1; line < to.line; ++line) {
    middle += '\n';
    middle.append(source_.line(line));
  }
  return piece(from.line, from.column, INT_MAX) + toQ(middle) + '\n' + piece(to.line, 0, to.column);
}

QString LinesView::selectedText() const { return textBetween(std::min(anchor_, cursor_), std::max(anchor_, cursor_)); }

QString LinesView::toPlainText() const {
  const std::size_t count = lineCount();
  return count == 0 ? QString() : textBetween({0, 0}, {count - 1, INT_MAX});
}

void LinesView::selectAll() {
  const std::size_t count = lineCount();
  if (count == 0) return;
  anchor_ = {0, 0};
  cursor_ = {count - 1, static_cast<int>(shown(count - 1).size())};
  viewport()->update();
}

void LinesView::copy() {
  if (anchor_ == cursor_) return;
  clipboard().setUnicodeText(selectedText());
}

}  // namespace wux
