#pragma once
// The program's prompter: Qt dialogs. Texts arrive and leave as Shift_JIS.
#include <QString>
#include <optional>

#include "model/Prompter.h"

class QWidget;

namespace wux {

class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons) override;
  Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons,
                    Answer defaultButton) override;
  // The box itself: the buttons and the icon of `kind`; Escape or closing the box gives
  // the safe answer.
  Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons,
                    std::optional<Answer> defaultButton, BoxKind kind) override;
  using Prompter::messageBox;
  bool inputBox(const std::string& caption, const std::string& prompt, std::string& value) override;
  bool openFileName(const std::string& title, const std::string& filter, std::string& path) override;
  bool saveFileName(const std::string& title, const std::string& filter, std::string& path) override;
  bool directoryName(const std::string& title, std::string& dir) override;

  // "Text files|*.txt;*.log|All|*.*" as Qt writes it: "Text files (*.txt *.log);;All (*.*)".
  static QString qtFilter(const std::string& filter);
  // The entry of `filter`, as qtFilter writes it, whose patterns name the extension of
  // `path` ("*.*" only when no other does); empty when none. A save dialog starts on it,
  // so that the filter shown agrees with the name proposed.
  static QString filterFor(const std::string& filter, const std::string& path);

 private:
  // The window a box opens in front of: the dialog in use, else the parent.
  QWidget* owner() const;
  QWidget* parent_;
};

// The application title, the caption of boxes asked without one ("wux.exe" at start).
// Kept apart from Qt's application name, which gives every window its class.
void setApplicationTitle(const QString& title);
QString applicationTitle();

// True while any modal dialog of the program is open (idle work waits for it).
bool isModalDialogOpen();

}  // namespace wux
