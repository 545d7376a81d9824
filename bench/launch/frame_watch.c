/* One screen watcher for every player the launch benchmark starts: grabs the X
 * screen every few milliseconds and prints the CLOCK_MONOTONIC time (seconds, as
 * Python's time.monotonic) at which a block of the clip's colour first shows.
 * Usage: tavlin_frame_watch RRGGBB [min-pixels] [timeout-s]; prints "ready" first.
 * Not part of the product. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <xcb/xcb.h>

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

static int near(int a, int b) { return abs(a - b) <= 48; /* the clip's YUV turns 255,0,255 into about 255,39,255 */ }

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const unsigned long rgb = strtoul(argv[1], NULL, 16);
  const int r = (rgb >> 16) & 255, g = (rgb >> 8) & 255, b = rgb & 255;
  const long need = argc > 2 ? atol(argv[2]) : 20000;
  const double timeout = argc > 3 ? atof(argv[3]) : 30;
  xcb_connection_t* c = xcb_connect(NULL, NULL);
  if (xcb_connection_has_error(c)) return 1;
  xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  printf("ready\n");
  fflush(stdout);
  const double end = now() + timeout;
  while (now() < end) {
    xcb_get_image_reply_t* img = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, s->root, 0, 0, s->width_in_pixels, s->height_in_pixels, ~0u),
        NULL);
    const double at = now();
    if (img) {
      const uint8_t* p = xcb_get_image_data(img);
      const int len = xcb_get_image_data_length(img);
      long hits = 0;
      /* Every fourth pixel of a 32-bit BGRX screen. */
      for (int i = 0; i + 3 < len; i += 16) hits += near(p[i + 2], r) && near(p[i + 1], g) && near(p[i], b);
      free(img);
      if (hits * 4 >= need) {
        printf("%.6f\n", at);
        return 0;
      }
    }
    struct timespec pause = {0, 4000000};
    nanosleep(&pause, NULL);
  }
  printf("timeout\n");
  return 3;
}
