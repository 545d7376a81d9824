#include "core/state/program_state.h"

#include "core/base/config.h"

namespace tavlin::state {

void Describe(const ProgramState& s, StateVisitor& v) {
  const PlaybackState& p = s.playback;
  v.Field("PlaySource", p.PlaySource);
  v.Field("PlaysInPage", p.PlaysInPage);
  v.Field("CurrentItemKey", p.CurrentItemKey);
  v.Field("PlayPosition", p.PlayPosition);
  v.Field("ResumePosition", p.ResumePosition);
  v.Field("ResumeApplied", p.ResumeApplied);
  v.Field("LastPlayState", p.LastPlayState);
  v.Field("DownloadRate", p.DownloadRate);
  v.Field("BalloonSetting", p.BalloonSetting);
  const EpisodeState& e = s.episodes;
  v.Field("CurrentEpisodeKey", e.CurrentEpisodeKey);
  v.Field("NextEpisodePage", e.NextEpisodePage.ToText());
  v.Field("NextEpisodeUrl", e.NextEpisodeUrl.ToText());
  v.Field("NextPrefetchStarted", e.NextPrefetchStarted);
  v.Field("PrefetchRetryTicks", e.PrefetchRetryTicks);
  v.Field("PortalErrorShown", e.PortalErrorShown);
  v.Field("BannerAdFailed", e.BannerAdFailed);
  v.Field("PlayerAdFailed", e.PlayerAdFailed);
  v.Field("QvodFolder", s.services.QvodFolder);
  v.Field("CloseQvodSetting", s.services.CloseQvodSetting);
  v.Field("SelectedListLink", s.lists.SelectedListLink);
  v.Field("DeleteFailed", s.lists.DeleteFailed);
  const UpdateState& u = s.update;
  v.Field("UserId", u.UserId);
  v.Field("InstalledVersion", u.InstalledVersion);
  v.Field("ExitPageSpec", u.ExitPageSpec);
  v.Field("LatestVersion", u.LatestVersion);
  v.Field("NoticeSwitch", u.NoticeSwitch);
}

const std::string& KnownQvodFolder(ServiceState& services, const std::string& iniPath) {
  if (services.QvodFolder.empty()) services.QvodFolder = ReadIni(iniPath, ini_keys::kQvodFolder);
  return services.QvodFolder;
}

void StartItem(PlaybackState& p, EpisodeState& e, const ItemStart& item) {
  p.PlaySource = item.source;
  p.PlaysInPage = item.inPage ? 1 : 0;
  p.CurrentItemKey = item.itemKey;
  e.CurrentEpisodeKey = item.episodeKey;
  e.NextEpisodePage = {};
  e.NextEpisodeUrl = {};
  if (item.inPage) return;
  p.ResumePosition = item.resumeAt;
  p.ResumeApplied = 0;
  e.NextPrefetchStarted = 0;
}

}  // namespace tavlin::state
