#pragma once
// The player control as the program drives it: members named and typed as the
// program uses them. The product's stand-in is built on libmpv (src/ui); tests use
// a scripted fake.
#include <memory>
#include <string>

namespace tavlin {

// PlayState codes reported by PlayerControl::PlayState().
enum PlayStateCode : int {
  kStateIdle = 0,  // idle or finished
  kStateStopped = 1,
  kStatePaused = 2,
  kStatePlaying = 3,
  kStateBuffering = 4,
  kStateWaiting = 5,
  kStateOver = 6,       // playback over
  kStatePreparing = 7,  // preparing to read
  kStateReconnecting = 8,
  kStateFetchingTorrent = 9,
  kStateConnecting = 10,
  kStateStopping = 11,
};

class PlayerControl {
 public:
  virtual ~PlayerControl() = default;

  virtual std::string Url() const = 0;
  virtual void SetUrl(const std::string& url) = 0;  // loads the item
  virtual bool Mute() const = 0;
  virtual void SetMute(bool on) = 0;
  virtual bool FullScreen() const = 0;
  virtual void SetFullScreen(bool on) = 0;
  virtual int Volume() const = 0;          // 0-100
  virtual void SetVolume(int volume) = 0;  // clamped by the control
  virtual int Duration() const = 0;        // seconds, 0 while unknown
  virtual int DownloadSpeed() const = 0;
  virtual int Position() const = 0;           // seconds
  virtual void SetPosition(int seconds) = 0;  // seeks; read back corrected
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;            // Url stays loaded
  virtual int PlayState() const = 0;  // PlayStateCode
  // The item written last could not be opened (no such file, no answer from its
  // server, not a medium): its state then reads as finished (0) nonetheless.
  virtual bool OpenFailed() const = 0;
  virtual int BitRate() const = 0;           // Kbps
  virtual int DownloadProgress() const = 0;  // per mille
  virtual void PrepareNext(const std::string& url) = 0;
  virtual void SetAdPageUrl(const std::string& url) = 0;
  // Where qvod:// items are downloaded from now on (the settings dialog changed it).
  virtual void SetDownloadFolder(const std::string& folder) = 0;
};

// The start-up test: can a player control be created on this machine at all?
class PlayerFactory {
 public:
  virtual ~PlayerFactory() = default;
  virtual bool CanCreate() = 0;
};

}  // namespace tavlin
