#pragma once
// The base of the property dialogs: OK stores the controls into the object and
// accepts, CANCEL rejects. A descendant fills its controls in loadFromObject and
// writes them back in storeToObject.
#include <QDialog>
#include <QGroupBox>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "model/strutil.h"

class QMenuBar;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace wux {

class TFormPropaty : public QDialog {
  Q_OBJECT
 public:
  explicit TFormPropaty(QWidget* parent = nullptr);
  QPushButton* OKBtn() const { return ok_; }
  QPushButton* CANCELBtn() const { return cancel_; }

 protected:
  virtual void storeToObject() {}
  // Where a descendant puts its controls (above the buttons).
  QVBoxLayout* body() const { return body_; }
  // A menu bar along the window's top, above everything else.
  void setMenuBar(QMenuBar* bar);

 private:
  QVBoxLayout* body_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

// A "Color" text that opens a colour dialog when clicked and shows the colour chosen;
// no colour means the button face colour (nothing chosen).
class ColorText : public QWidget {
  Q_OBJECT
 public:
  explicit ColorText(QWidget* parent = nullptr);
  void setColor(std::optional<Color> color);
  std::optional<Color> color() const { return color_; }
  QPushButton* button() const { return button_; }

 private:
  QPushButton* button_;
  std::optional<Color> color_;
};

// A titled group of radio buttons answering the index of the one chosen (-1: none).
class RadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  RadioGroup(const char* objectName, const QString& title, std::initializer_list<QString> items,
             QWidget* parent = nullptr);
  int itemIndex() const;
  void setItemIndex(int i);
  QString itemText(int i) const;
  int indexOfText(const QString& text) const;
  QRadioButton* button(int i) const { return buttons_[static_cast<std::size_t>(i)]; }

 private:
  std::vector<QRadioButton*> buttons_;
};

// A label whose text the user may copy (pop-up "Copy").
void addCopyMenu(QWidget* label);
// Opens a file's folder in the desktop's file manager, or says it is missing.
void exploreFolderOf(QWidget* parent, const std::string& sjisFileName);

}  // namespace wux
