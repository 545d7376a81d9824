// tavlin-portal: the demo portal on 127.0.0.1. The first line it prints is
// its portal base address; it serves until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "catalogue.h"
#include "media.h"
#include "portal.h"
#include "text.h"

namespace {

void usage() {
  std::cerr << "usage: tavlin-portal [--port N] [--root DIR] [--media DIR] [--fault KEY=VALUE]...\n"
               "                     [--wen-version V] [--wen-notices 0|1] [--wen-fudong 0|1]\n"
               "                     [--wen-playerad 0|1] [--wen-exit FLAG****ADDRESS]\n"
               "faults: home, section, softad, qvodad, fudong, ads = 500|404|delay:MS\n"
               "        hasp = garbage|html|empty|0|1|500|404|delay:MS\n"
               "        wen = missing|malformed|empty|short|500|404|delay:MS\n"
               "        seed = rate:BYTES_PER_SECOND|500|404|delay:MS\n";
}

}  // namespace

int main(int argc, char** argv) {
  portal::Options options;
  options.root = TAVLIN_PORTAL_WWW;
  options.media = TAVLIN_PORTAL_MEDIA;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        usage();
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--port") {
      const auto port = portal::parse_number(value());
      if (!port || *port > 65535) {
        usage();
        return 2;
      }
      options.port = static_cast<int>(*port);
    } else if (arg == "--root") {
      options.root = value();
    } else if (arg == "--media") {
      options.media = value();
    } else if (arg == "--fault") {
      const std::string spec = value();
      const auto eq = spec.find('=');
      if (eq == std::string::npos) {
        usage();
        return 2;
      }
      if (!portal::Portal::valid_fault(spec.substr(0, eq), spec.substr(eq + 1))) {
        std::cerr << "tavlin-portal: unknown fault " << spec << "\n";
        return 2;
      }
      options.faults.emplace_back(spec.substr(0, eq), spec.substr(eq + 1));
    } else if (arg == "--wen-version") {
      options.update.version = value();
    } else if (arg == "--wen-notices") {
      options.update.notices_on = value();
    } else if (arg == "--wen-fudong") {
      options.update.floating_ad = value();
    } else if (arg == "--wen-playerad") {
      options.update.player_ad = value();
    } else if (arg == "--wen-exit") {
      options.update.exit_spec = value();
    } else if (arg == "--help" || arg == "-h") {
      usage();
      return 0;
    } else {
      usage();
      return 2;
    }
  }

  // Signals are taken by sigwait below, never by a handler on a server thread.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  const auto& catalogue = portal::Catalogue::builtin();
  auto media = portal::MediaLibrary::load(options.media, catalogue.clip_names());
  for (const auto& name : media.missing())
    std::cerr << "tavlin-portal: clip missing: " << (options.media / name).string() << "\n";

  portal::Portal server(options, catalogue, std::move(media));
  if (!server.start()) {
    std::cerr << "tavlin-portal: cannot listen on 127.0.0.1:" << options.port << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  std::cout << server.base() << std::endl;

  int signal_number = 0;
  sigwait(&signals, &signal_number);
  server.stop();
  return 0;
}
