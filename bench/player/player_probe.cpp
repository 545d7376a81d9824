// Plays one file in the stand-in, as the program shows it, for the benchmark
// script: prints "first-frame" when the first picture is drawn and ends after
// `seconds` of playback.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <clocale>
#include <cstdio>

#include "ui/player/mpv_player_control.h"
#include "ui/player/mpv_video_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s FILE SECONDS [WIDTHxHEIGHT]\n", argv[0]);
    return 2;
  }
  const int seconds = std::atoi(argv[2]);
  int width = 1280, height = 720;
  if (argc > 3) std::sscanf(argv[3], "%dx%d", &width, &height);

  // A local file only: no portal, no download folder. TAVLIN_MPV_LOG=v shows mpv's log.
  auto player =
      tavlin::MpvPlayerControl::Create({.null_audio = true, .mpv_log_level = qgetenv("TAVLIN_MPV_LOG").toStdString()});
  if (!player || !player->VideoView()) {
    std::fprintf(stderr, "no player or no OpenGL view\n");
    return 1;
  }
  QWidget window;
  window.resize(width, height);
  player->VideoWidget()->setParent(&window);
  player->VideoWidget()->setGeometry(0, 0, width, height);
  window.show();
  QElapsedTimer since_load;
  QObject::connect(player->VideoView(), &tavlin::MpvVideoWindow::FirstFrameDrawn, [&] {
    std::printf("first-frame load-to-frame-ms=%lld\n", static_cast<long long>(since_load.elapsed()));
    std::fflush(stdout);
  });
  since_load.start();
  player->SetUrl(argv[1]);
  player->Play();

  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    const int state = player->PlayState();
    if (player->Position() >= seconds || state == tavlin::kStateIdle) {
      std::printf("done position=%d frames=%lld\n", player->Position(),
                  static_cast<long long>(player->VideoView()->FramesDrawn()));
      std::fflush(stdout);
      app.quit();
    }
  });
  watch.start(50);
  return app.exec();
}
