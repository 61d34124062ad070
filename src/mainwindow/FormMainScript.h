#pragma once
// Third layer: editor <-> model, the caption, the temporary folder, and (in their own
// files, by family) the commands named UI....
#include <memory>

#include "mainwindow/FormMainBaseWUX.h"
#include "mainwindow/ScriptHost.h"
#include "printing/StringsPrinter.h"

namespace wux {

class TFormMainScript : public TFormMainBaseWUX {
  Q_OBJECT
 public:
  template <class Form, class... Args>
  friend std::unique_ptr<Form> createForm(Args&&... args);

  void FormCreate() override;
  int UI2Model() override;
  int UI2ModelAll() override;
  void Model2UI() override;
  void updateCaption() override;
  void refreshHolderView() override;
  // The temporary folder as set, with its separator; the system's one when none is set.
  std::string getTempDir() override;
  void putTempDir_(const std::string& dir) override;
  // Turns the current note's own read-only flag over: the command of the same name.
  virtual int changeFlagReadOnly_();
  // The text printer, with the settings the print settings file holds.
  TStringsPrinter& getStringsPrinter() { return StringsPrinter1; }
  TStringsPrinter* stringsPrinter() override { return &StringsPrinter1; }
  // The window's interpreter (PP1), its runners and the commands that run scripts.
  ScriptHost& scriptHost() { return *scriptHost_; }

 protected:
  TFormMainScript() = default;
  // Scripts run inside the window's event loop and their frames use the window and the
  // document: a close that comes while one is in progress stops them all and completes
  // when the outermost one has returned.
  bool mayClose_() override;
  void stopRunning_() override;
  TStringsPrinter StringsPrinter1;
  std::unique_ptr<ScriptHost> scriptHost_;

 private:
  bool closeAfterScripts_ = false;  // a close waits for the scripts to return
};

}  // namespace wux
