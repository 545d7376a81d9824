#pragma once
// One libmpv instance: its options, its start (on this thread or with the library
// opened on another), its events, and what it last reported of the properties the
// player reads. Knows nothing of items, downloads or the control's rules.
#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>

struct mpv_handle;
class QThread;

namespace tavlin {

class MpvVideoWindow;

struct MpvSessionOptions {
  bool null_output = false;  // vo=null and ao=null
  bool null_audio = false;   // ao=null
  std::string log_level;     // mpv's message level, "" for none
};

class MpvSession : public QObject {
  Q_OBJECT

 public:
  explicit MpvSession(MpvSessionOptions options);
  ~MpvSession() override;

  // Whether an mpv could start here (libmpv found and initialised with no output).
  static bool CanStart();

  // Opens libmpv and creates and initialises mpv, once. False when it cannot; it is
  // then never tried again.
  bool Open();
  // Opens libmpv on a thread of its own, then runs `then` on this one. While one
  // opening is under way a second call is dropped; once open (or failed) `then`
  // runs at once.
  void OpenLibraryInBackground(std::function<void()> then);
  // Observes the watched properties, reads them all, and drains mpv's events on this
  // thread from now on.
  void Watch();
  bool Running() const { return mpv_ != nullptr; }
  const MpvSessionOptions& options() const { return options_; }
  mpv_handle* handle() const { return mpv_; }
  // Waits for a library opening under way and stops the event delivery.
  void Quiesce();
  // Ends mpv (a renderer attached to it must have been detached).
  void Close();

  // What mpv last reported (flags as 0 or 1); `fallback` while unavailable.
  double Double(const char* name, double fallback = 0) const;
  bool Flag(const char* name) const { return Double(name, 0) != 0; }
  bool Known(const char* name) const { return seen_.count(name) != 0; }
  // Taken as mpv's value until it reports another (written before mpv starts, or
  // written by the control itself).
  void Remember(const char* name, double value) { seen_[name] = value; }
  void Forget(const char* name) { seen_.erase(name); }

  // mpv_command with a null-terminated argument list; false when mpv refused it.
  bool Command(std::initializer_list<const char*> args);
  void CommandString(const char* command);
  void SetString(const char* name, const char* value);
  bool SetFlag(const char* name, bool on);
  bool SetDouble(const char* name, double value);
  // Switches the video output only when it differs (a switch reinitialises it).
  void UseVideoOutput(const char* name);
  // Where GL draws on the CPU, frames are brought to the picture's size before it.
  void FitFramesTo(MpvVideoWindow* video);
  // The size of the frames handed to the renderer; empty before one.
  QSize FrameSize() const;

 signals:
  // mpv opened a file; `path` is the one it opened.
  void FileLoaded(const QString& path);
  // The file of the current playlist entry ended in an error.
  void FileFailed();
  // Playback began, or went on after a seek.
  void PlaybackRestarted();
  // The video's picture has a new shape (width over height), never 0; told once
  // mpv's reports of the moment are all in.
  void PictureAspectChanged(double aspect);

 private:
  void DrainEvents();
  void Note(const std::string& name, int format, void* data);
  void ReportPictureShape();
  void ReadAll();

  MpvSessionOptions options_;
  mpv_handle* mpv_ = nullptr;  // null until opened
  bool open_failed_ = false;
  QThread* loader_ = nullptr;
  std::map<std::string, double, std::less<>> seen_;
  int64_t current_entry_ = -1;
  double reported_aspect_ = 0;
  QTimer fit_timer_;
  QSize fit_size_;
};

}  // namespace tavlin
