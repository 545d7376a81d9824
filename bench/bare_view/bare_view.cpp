// One plain QWebEngineView loading the address given on the command line: the yardstick
// for the program's start time and memory. Prints "loaded ok" when the first page has
// finished loading (the caller times the line), then keeps running so that its memory
// can be measured; with --quit it ends there.
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>
#include <cstdio>
#include <ctime>

// TAVLIN_STARTUP_TRACE=1: the steps with the monotonic clock, as the program prints them.
static void Mark(const char* step) {
  static const bool on = !qEnvironmentVariableIsEmpty("TAVLIN_STARTUP_TRACE");
  if (!on) return;
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  std::fprintf(stderr, "startup %.6f %s\n", static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9, step);
}

int main(int argc, char* argv[]) {
  Mark("main");
  QApplication app(argc, argv);
  Mark("application");
  const QStringList args = app.arguments();
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: tavlin_bare_view ADDRESS [--quit]\n");
    return 2;
  }
  const bool quit = args.contains(QStringLiteral("--quit"));
  QWebEngineView view;
  Mark("view");
  view.resize(1000, 640);
  bool first = true;
  QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool ok) {
    if (!first) return;
    first = false;
    Mark("first page");
    std::printf("loaded %s\n", ok ? "ok" : "failed");
    std::fflush(stdout);
    if (quit) app.quit();
  });
  view.load(QUrl(args.at(1)));
  view.show();
  Mark("window shown");
  return app.exec();
}
