#pragma once
// Views of result lines that their window already holds (a search's lines, the batch
// editor's targets): nothing is copied into the view. Only the lines on screen are made
// into text to show, so a million lines cost the view no more than ten, and filling it
// is at once.
#include <QAbstractListModel>
#include <QAbstractScrollArea>
#include <QListView>
#include <cstddef>
#include <functional>
#include <string_view>

namespace wux {

// The lines as their holder has them (Shift_JIS text). `line` is asked only for an index
// below `count`.
struct LineSource {
  std::function<std::size_t()> count;
  std::function<std::string_view(std::size_t)> line;
};

// A list box over a LineSource; a click on a line emits `lineClicked`.
class LinesList : public QListView {
  Q_OBJECT
 public:
  explicit LinesList(QWidget* parent = nullptr);
  void setSource(LineSource source);
  // The lines changed: show them again.
  void reload();
  int count() const;
  QString text(int row) const;

 signals:
  void lineClicked(int row);

 private:
  class Model;
  Model* model_;
};

// A text of many lines to read, select and copy (Ctrl+C, Ctrl+A, the context menu), not
// to edit. The mouse selects by dragging, Shift+click and double-click (a word); the
// moving keys move the cursor, with Shift they select.
class LinesView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit LinesView(QWidget* parent = nullptr);
  void setSource(LineSource source);
  // The lines changed: show them again from the top, nothing selected.
  void reload();
  std::size_t lineCount() const;
  // Every line, joined by line breaks.
  QString toPlainText() const;
  QString selectedText() const;
  void selectAll();
  void copy();

  // A place in the text: a line and a column of its text (UTF-16 units).
  struct Pos {
    std::size_t line = 0;
    int column = 0;
    bool operator<(const Pos& o) const { return line != o.line ? line < o.line : column < o.column; }
    bool operator==(const Pos& o) const { return line == o.line && column == o.column; }
  };

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  int lineHeight() const;
  int visibleLines() const;
  void updateScrollBars();
  QString shown(std::size_t line) const;
  Pos posAt(const QPoint& point) const;
  void moveTo(Pos pos, bool select);
  void ensureVisible(const Pos& pos);
  // The text between two places, the whole line where a line is taken to its end.
  QString textBetween(Pos from, Pos to) const;

  LineSource source_;
  Pos anchor_, cursor_;
  int widest_ = 0;
};

// The text a view shows of a line: a line longer than this is shown cut (its whole text
// is still what is copied).
inline constexpr std::size_t kMostShownBytes = 16 * 1024;
QString ShownLineText(std::string_view line);

}  // namespace wux
