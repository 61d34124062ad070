#pragma once
// The notebook chooser: the caller fills it, shows it and reads the chosen line; an
// OK with no line chosen ("New Holder") asks for a new notebook.
#include <QDialog>
#include <QPointer>
#include <vector>

class QListWidget;
class QPushButton;

namespace wux {

class MainWindowApi;
class MemoHolderUI;

class TFormSelectHolder : public QDialog {
  Q_OBJECT
 public:
  explicit TFormSelectHolder(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { w_ = w; }
  // The document's notebooks but `leaveOut`, the current one chosen.
  void fill(const MemoHolderUI* leaveOut = nullptr);
  // The chosen line, -1 for none.
  int selectedIndex() const;
  // The notebook of the chosen line, nullptr for none.
  MemoHolderUI* selectedHolder() const;
  QListWidget* ListBox1() const { return list_; }
  QPushButton* button(const QString& caption) const;

 private:
  int currentIndex() const;
  MainWindowApi* w_ = nullptr;
  QListWidget* list_;
  // The notebook of each line: a line left out shifts the rows against the document.
  std::vector<MemoHolderUI*> holders_;
};

// Keeps the one chooser, made on first use.
class HolderChooser {
 public:
  HolderChooser() = default;
  ~HolderChooser();
  HolderChooser(const HolderChooser&) = delete;
  HolderChooser& operator=(const HolderChooser&) = delete;
  // Fills and shows the chooser modally, in the main window's font: false when
  // cancelled; else `holder` is the chosen notebook, nullptr for a new one. The list
  // leaves out `leaveOut`, and "Current" is offered only with `offerCurrent`.
  bool choose(MainWindowApi& w, MemoHolderUI*& holder, const MemoHolderUI* leaveOut = nullptr,
              bool offerCurrent = true);
  TFormSelectHolder* window();

 private:
  QPointer<TFormSelectHolder> form_;
};

}  // namespace wux
