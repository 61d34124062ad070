#pragma once
// Third layer: editor <-> model, the caption, the temporary folder, and (in their own
// files, by family) the commands named UI....
#include "mainwindow/FormMainBaseWUX.h"

namespace wux {

class TFormMainScript : public TFormMainBaseWUX {
  Q_OBJECT
 public:
  template <class Form, class... Args>
  friend std::unique_ptr<Form> createForm(Args&&... args);

  void FormCreate() override;
  int UI2Model() override;
  void Model2UI() override;
  void updateCaption() override;
  void refreshHolderView() override;
  std::string getTempDir() override { return settings_.tempDir; }
  void putTempDir_(const std::string& dir) override { settings_.tempDir = dir; }
  virtual int changeFlagReadOnly_();

 protected:
  TFormMainScript() = default;
};

}  // namespace wux
