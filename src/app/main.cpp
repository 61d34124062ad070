// The program: the application object, the one main window, a new document, the loop.
#include <QIcon>
#include <cstdio>
#include <exception>
#include <string>

#include "mainwindow/Application.h"
#include "mainwindow/FormMainWUXX13c.h"
#include "model/Prompter.h"
#include "platform/textconv.h"
#include "views/QtPrompter.h"
#ifdef WUX_WEBENGINE
#include "webengine/WebEngineBrowser.h"
#endif

int main(int argc, char** argv) {
  try {
#ifdef WUX_WEBENGINE
    wux::prepareWebEngine();
#endif
    wux::Application app(argc, argv);
#ifdef WUX_WEBENGINE
    wux::installWebEngine();
#endif
    wux::QtPrompter qtPrompter;
    wux::ScopedPrompter usePrompter(&qtPrompter);

    std::unique_ptr<wux::TFormMainWUXX13c> form;
    if (!wux::runGuarded([&] { form = wux::createForm<wux::TFormMainWUXX13c>(); })) return 1;
    qtPrompter.setParent(form.get());
    form->resize(900, 640);
    form->show();

    wux::runGuarded([&] {
      form->newMemoFile();
      std::string cmd;
      for (int i = 1; i < argc; ++i) {
        if (i > 1) cmd += ' ';
        cmd += argv[i];
      }
      if (cmd.empty()) cmd = argv[0];
      form->addLogTS("Launch " + wux::platform::utf8ToSjis(cmd));
      form->repaint();
    });
    if (argc > 1)
      wux::runGuarded([&] { form->documentSession().openAtStartup(wux::platform::fromOsName(argv[1])); });
    return app.exec();
  } catch (...) {
    std::fprintf(stderr, "ERROR wux15\n");
    return 1;
  }
}
