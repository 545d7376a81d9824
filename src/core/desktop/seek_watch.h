#pragma once
// The player as the program's rooms drive it, every position write noted on the
// way: the desktop hears of a jump however it was made (seek bar, arrow keys, the
// resume at a saved place, its own remote).
#include <algorithm>
#include <optional>
#include <utility>

#include "platform/player_control.h"

namespace tavlin::desktop {

class SeekWatch final : public PlayerControl {
 public:
  explicit SeekWatch(PlayerControl* inner) : inner_(inner) {}
  // What the rooms get: none when there is no player.
  PlayerControl* control() { return inner_ ? this : nullptr; }
  // Where the last jump since the previous call went (seconds, within the item).
  std::optional<int> TakeJump() { return std::exchange(jump_, std::nullopt); }

  void SetPosition(int seconds) override {
    inner_->SetPosition(seconds);
    const int length = inner_->Duration();
    jump_ = std::max(0, length > 0 ? std::min(seconds, length) : seconds);
  }

  std::string Url() const override { return inner_->Url(); }
  void SetUrl(const std::string& url) override {
    jump_.reset();  // a new item starts where it starts: no jump
    inner_->SetUrl(url);
  }
  bool Mute() const override { return inner_->Mute(); }
  void SetMute(bool on) override { inner_->SetMute(on); }
  bool FullScreen() const override { return inner_->FullScreen(); }
  void SetFullScreen(bool on) override { inner_->SetFullScreen(on); }
  int Volume() const override { return inner_->Volume(); }
  void SetVolume(int volume) override { inner_->SetVolume(volume); }
  int Duration() const override { return inner_->Duration(); }
  int DownloadSpeed() const override { return inner_->DownloadSpeed(); }
  int Position() const override { return inner_->Position(); }
  void Play() override { inner_->Play(); }
  void Pause() override { inner_->Pause(); }
  void Stop() override { inner_->Stop(); }
  int PlayState() const override { return inner_->PlayState(); }
  bool OpenFailed() const override { return inner_->OpenFailed(); }
  int BitRate() const override { return inner_->BitRate(); }
  int DownloadProgress() const override { return inner_->DownloadProgress(); }
  void PrepareNext(const std::string& url) override { inner_->PrepareNext(url); }
  void SetAdPageUrl(const std::string& url) override { inner_->SetAdPageUrl(url); }
  void SetDownloadFolder(const std::string& folder) override { inner_->SetDownloadFolder(folder); }

 private:
  PlayerControl* inner_;
  std::optional<int> jump_;
};

}  // namespace tavlin::desktop
