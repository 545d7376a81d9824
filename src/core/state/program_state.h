#pragma once
// The program's run-time state, one struct per subsystem, under the names the
// program keeps them. The program owns one of each; the window's handlers and the
// subsystems read what they need. "0" in a text field means nothing, as stored and
// shown texts have it.
#include <string>
#include <string_view>

#include "core/state/next_episode.h"
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
  int PlaySource = 0;                // 1 portal item, 2 local file
  int PlaysInPage = 0;               // 1: the item plays in the page player (Web2)
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
  NextEpisode NextEpisodePage;  // the play link of the next episode
  NextEpisode NextEpisodeUrl;   // its address, to be buffered ahead (never Failed)
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

// QvodFolder, read from config.ini when first needed and kept from then on ("0"
// when the key is missing: the player's folder was never seen).
const std::string& KnownQvodFolder(ServiceState& services, const std::string& iniPath);

struct ProgramState {
  PlaybackState playback;
  EpisodeState episodes;
  ListState lists;
  UpdateState update;
  ServiceState services;
};

void Describe(const ProgramState& state, StateVisitor& visitor);

// A new item in the player or in the portal's page player.
struct ItemStart {
  int source = 0;          // PlaySource: 1 portal item, 2 local file
  bool inPage = false;     // the portal's page player (Web2) plays it
  std::string itemKey;     // CurrentItemKey: the record id, the file path, or "0"
  std::string episodeKey;  // CurrentEpisodeKey: id-source-index-title, or "0"
  int resumeAt = 0;        // ResumePosition: the record's saved position, 0 for a new item
};

// The one rule of what a start resets, for every way an item starts (a play link,
// a list entry, the open-file button, the command line): its next episode is
// unknown again. An item of the page player leaves the player's own resume and
// buffering as they were: the player does not play it.
void StartItem(PlaybackState& playback, EpisodeState& episodes, const ItemStart& item);

}  // namespace tavlin::state
