// One plain QWebEngineView loading the address given on the command line: the yardstick
// for the program's start time and memory. Prints "loaded ok" when the first page has
// finished loading (the caller times the line), then keeps running so that its memory
// can be measured; with --quit it ends there.
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>
#include <cstdio>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: tavlin_bare_view ADDRESS [--quit]\n");
    return 2;
  }
  const bool quit = args.contains(QStringLiteral("--quit"));
  QWebEngineView view;
  view.resize(1000, 640);
  bool first = true;
  QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool ok) {
    if (!first) return;
    first = false;
    std::printf("loaded %s\n", ok ? "ok" : "failed");
    std::fflush(stdout);
    if (quit) app.quit();
  });
  view.load(QUrl(args.at(1)));
  view.show();
  return app.exec();
}
