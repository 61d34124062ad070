#include "mainwindow/FormMainScript.h"

namespace wux {

void TFormMainScript::FormCreate() { TFormMainBaseWUX::FormCreate(); }

}  // namespace wux
