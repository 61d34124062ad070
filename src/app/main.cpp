// The program: the application object, the one main window, a new document, the
// settings file with the splash, the file named on the command line, the loop.
#include <QIcon>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

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
    // The program ends with the main window's accepted close, not with the last window
    // on the screen: a window it owns may have lost its tie to it (the main window's
    // native window is made anew when a first web page is shown).
    QObject::connect(form.get(), &wux::TFormMainBase0007::closedForGood, &app,
                     [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    form->resize(900, 640);
    form->show();

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(wux::platform::fromOsName(argv[i]));
    wux::runGuarded([&] {
      form->newMemoFile();
      std::string cmd;
      for (const std::string& a : args) cmd += (cmd.empty() ? "" : " ") + a;
      if (cmd.empty()) cmd = wux::platform::fromOsName(argv[0]);
      form->addLogTS("Launch " + cmd);
      form->repaint();
    });
    // Each step on its own: a bad settings file never keeps the command line's file shut.
    wux::runGuarded([&] { form->_loadINIFile_(); });
    wux::runGuarded([&] { form->openArg1_(args); });
    return app.exec();
  } catch (...) {
    std::fprintf(stderr, "ERROR wux15\n");
    return 1;
  }
}
