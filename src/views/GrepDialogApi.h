#pragma once
// The keyword dialog of New Child > Grep > Any, as the notebook frame sees it. The dialog
// itself lives with the other dialogs; the main window hands the frame its one instance.
#include <string>

namespace wux {

class GrepDialogApi {
 public:
  virtual ~GrepDialogApi() = default;
  // Shows the dialog modally; true when the user confirmed it.
  virtual bool ask() = 0;
  virtual std::string keyword() const = 0;
  // 0 Normal, 1 Head, 2 Tail.
  virtual int option() const = 0;
  virtual bool ignoreCase() const = 0;
  virtual bool numbered() const = 0;
  virtual bool inverted() const = 0;
};

}  // namespace wux
