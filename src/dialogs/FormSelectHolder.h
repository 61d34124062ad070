#pragma once
// The notebook chooser: the caller fills it, shows it and reads the chosen line; an
// OK with no line chosen ("New Holder") asks for a new notebook.
#include <QDialog>
#include <QPointer>

class QListWidget;
class QPushButton;

namespace wux {

class MainWindowApi;

class TFormSelectHolder : public QDialog {
  Q_OBJECT
 public:
  explicit TFormSelectHolder(QWidget* parent = nullptr);
  void setMainWindow(MainWindowApi* w) { w_ = w; }
  // The document's notebooks, the current one chosen.
  void fill();
  // The chosen notebook's index, -1 for none.
  int selectedIndex() const;
  QListWidget* ListBox1() const { return list_; }
  QPushButton* button(const QString& caption) const;

 private:
  int currentIndex() const;
  MainWindowApi* w_ = nullptr;
  QListWidget* list_;
};

// Keeps the one chooser, made on first use.
class HolderChooser {
 public:
  HolderChooser() = default;
  ~HolderChooser();
  HolderChooser(const HolderChooser&) = delete;
  HolderChooser& operator=(const HolderChooser&) = delete;
  // Fills and shows the chooser modally: false when cancelled; else `index` is the
  // chosen notebook, -1 for a new one.
  bool choose(MainWindowApi& w, int& index);
  TFormSelectHolder* window();

 private:
  QPointer<TFormSelectHolder> form_;
};

}  // namespace wux
