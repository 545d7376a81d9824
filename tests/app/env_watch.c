/* Preloaded into the program: notes every change of the environment made while a
 * started mpv instance exists, or while libmpv is being opened (its libraries'
 * constructors run then, on the thread that opens it). mpv's threads read the
 * environment whenever they like. A change that adds or removes a name moves the
 * array glibc's getenv walks (a setenv that grows it can free it under a reader);
 * replacing the value of a name already there only swaps one pointer, and glibc
 * never frees the old value. The log (path in TAVLIN_ENV_WATCH_LOG) gets "dlopen
 * libmpv" when the library is opened, "mpv_initialize" for every started instance,
 * and for every change made meanwhile "env <call> <name>" when it adds or removes a
 * name and "env replace <name>" when it only replaces a value. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

typedef struct mpv_handle mpv_handle;

static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static mpv_handle* live[16];
static int live_count;

static void note(const char* what, const char* name) {
  const char* path = getenv("TAVLIN_ENV_WATCH_LOG");
  if (!path) return;
  char line[512];
  const int n = snprintf(line, sizeof line, "%s%s%.*s\n", what, name ? " " : "", name ? (int)strcspn(name, "=") : 0,
                         name ? name : "");
  const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (write(fd, line, n > 0 && n < (int)sizeof line ? (size_t)n : 0) < 0) { /* nothing to do */
  }
  close(fd);
}

static int present(const char* name) {
  char plain[256];
  snprintf(plain, sizeof plain, "%.*s", (int)strcspn(name, "="), name);
  return getenv(plain) != NULL;
}

/* adds: the call adds the name when it is not there yet (else it replaces it). */
static void changing(const char* call, const char* name, int adds) {
  pthread_mutex_lock(&lock);
  const int alive = live_count;
  pthread_mutex_unlock(&lock);
  if (alive > 0) {
    char what[32];
    snprintf(what, sizeof what, "env %s", adds && present(name) ? "replace" : call);
    note(what, name);
  }
}

#define REAL(type, name, ...) ((type(*)(__VA_ARGS__))dlsym(RTLD_NEXT, name))

int mpv_initialize(mpv_handle* h) {
  const int rc = REAL(int, "mpv_initialize", mpv_handle*)(h);
  if (rc >= 0) {
    pthread_mutex_lock(&lock);
    if (live_count < 16) live[live_count++] = h;
    pthread_mutex_unlock(&lock);
    note("mpv_initialize", NULL);
  }
  return rc;
}

void* dlopen(const char* file, int mode) {
  const int mpv = file && strstr(file, "libmpv") != NULL;
  if (mpv) {
    note("dlopen libmpv", NULL);
    pthread_mutex_lock(&lock);
    ++live_count;
    pthread_mutex_unlock(&lock);
  }
  void* handle = REAL(void*, "dlopen", const char*, int)(file, mode);
  if (mpv) {
    pthread_mutex_lock(&lock);
    --live_count;
    pthread_mutex_unlock(&lock);
  }
  return handle;
}

static void forget(mpv_handle* h) {
  pthread_mutex_lock(&lock);
  for (int i = 0; i < live_count; ++i) {
    if (live[i] == h) {
      live[i] = live[--live_count];
      break;
    }
  }
  pthread_mutex_unlock(&lock);
}

void mpv_terminate_destroy(mpv_handle* h) {
  REAL(void, "mpv_terminate_destroy", mpv_handle*)(h);
  forget(h);
}

void mpv_destroy(mpv_handle* h) {
  REAL(void, "mpv_destroy", mpv_handle*)(h);
  forget(h);
}

int setenv(const char* name, const char* value, int replace) {
  changing("setenv", name, 1);
  return REAL(int, "setenv", const char*, const char*, int)(name, value, replace);
}

int unsetenv(const char* name) {
  changing("unsetenv", name, 0);
  return REAL(int, "unsetenv", const char*)(name);
}

int putenv(char* text) {
  changing("putenv", text, 1);
  return REAL(int, "putenv", char*)(text);
}

int clearenv(void) {
  changing("clearenv", NULL, 0);
  return REAL(int, "clearenv", void)();
}
