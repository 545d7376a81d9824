#pragma once
// The program's run-time state, one struct per subsystem, under the names the
// program keeps them. The program owns one of each; the window's handlers and the
// subsystems read what they need. "0" in a text field means nothing, as stored and
// shown texts have it.
#include <string>
#include <string_view>

#include "platform/geometry.h"

namespace tavlin::state {

// Named fields, for observers that show the state (the automation dump).
class StateVisitor {
 public:
  virtual ~StateVisitor() = default;
  virtual void Field(std::string_view name, int value) = 0;
  virtual void Field(std::string_view name, const std::string& value) = 0;
  // left, top, right, bottom
  virtual void Field(std::string_view name, const PixelRect& value) = 0;
};

// The item in the player and where it stands.
struct PlaybackState {
  int PlaySource = 0;            // 1 portal item, 2 local file
  int PlaysInPage = 0;           // 1: the item plays in the page player (Web2)
  std::string CurrentItemKey = "0";  // the portal item's id, or the local file's path
  int PlayPosition = 0;
  int ResumePosition = 0;
  int ResumeApplied = 0;
  int LastPlayState = 0;
  int DownloadRate = 0;
  std::string BalloonSetting = "0";
};

// The portal's side of the item: its series, the next episode, the portal's faults.
struct EpisodeState {
  std::string CurrentEpisodeKey = "0";
  std::string NextEpisodePage = "0";
  std::string NextEpisodeUrl = "0";
  int NextPrefetchStarted = 0;
  int PrefetchRetryTicks = 0;
  int PortalErrorShown = 0;
  int BannerAdFailed = 0;
  int PlayerAdFailed = 0;
};

struct ListState {
  std::string SelectedListLink = "0";
  int DeleteFailed = 0;
};

// What the portal announces: versions, notices, the exit page.
struct UpdateState {
  std::string UserId = "0";
  std::string InstalledVersion = "0";
  std::string LatestVersion;  // empty until the update file has been read
  int NoticeSwitch = 0;
  std::string ExitPageSpec = "0";
};

// The player's helper processes.
struct ServiceState {
  std::string QvodFolder;
  std::string CloseQvodSetting = "0";
};

struct ProgramState {
  PlaybackState playback;
  EpisodeState episodes;
  ListState lists;
  UpdateState update;
  ServiceState services;
};

void Describe(const ProgramState& state, StateVisitor& visitor);

}  // namespace tavlin::state
