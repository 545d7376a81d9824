// qvod:// items: fetched from a seed on loopback into the download folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <optional>
#include <utility>
#include <vector>

#include "test_support.h"
#include "ui/player/mpv_player_control.h"

namespace tavlin {
namespace {

using test::WaitFor;

class QvodTest : public ::testing::Test {
 protected:
  void SetUp() override {
    player_ = MpvPlayerControl::Create(Options());
    ASSERT_TRUE(player_);
    clip_ = test::ReadBytes(test::GeneratedClip(6));
    ASSERT_GT(clip_.size(), 100000u);
    server_.Serve("ABC123", clip_);
  }
  std::string Url(const std::string& name = "第1集.mp4") {
    return test::QvodUrl(clip_.size(), "ABC123", name);
  }
  QString OnDisk(const std::string& name = "第1集.mp4") {
    return home_.MediaFolder() + QString::fromStdString(name);
  }
  int State() const { return player_->PlayState(); }
  MpvPlayerOptions Options() const {
    return {.null_output = true,
            .portal_base = server_.PortalBase(),
            .download_folder = home_.MediaFolder().toStdString()};
  }

  test::TempHome home_;
  test::SeedServer server_;
  std::string clip_;
  std::unique_ptr<MpvPlayerControl> player_;
};

TEST_F(QvodTest, ItemPlaysWhileItArrivesWithRealProgressAndSpeed) {
  // Long enough that playing can start well before the last byte.
  clip_ = test::ReadBytes(test::GeneratedClip(20));
  ASSERT_GT(clip_.size(), 512u * 1024);
  server_.Serve("ABC123", clip_);
  server_.Throttle(clip_.size() / 4);  // about four seconds for the whole item
  player_->SetUrl(Url());
  player_->Play();
  EXPECT_EQ(State(), kStateConnecting);

  std::vector<int> progress;
  int top_speed = 0;
  bool played_while_arriving = false;
  ASSERT_TRUE(WaitFor([&] {
    const int p = player_->DownloadProgress();
    if (progress.empty() || progress.back() != p) progress.push_back(p);
    top_speed = std::max(top_speed, player_->DownloadSpeed());
    if (State() == kStatePlaying && p < 1000) played_while_arriving = true;
    return p == 1000;
  }, 20000));

  // Per mille of the bytes on disk, rising through the middle.
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_GE(progress.size(), 4u);
  EXPECT_TRUE(std::any_of(progress.begin(), progress.end(), [](int p) { return p > 100 && p < 900; }));
  EXPECT_TRUE(played_while_arriving);
  EXPECT_TRUE(player_->OpenedPath().startsWith("appending://" + OnDisk()));
  // Around the throttle rate, in KB/s.
  EXPECT_GT(top_speed, static_cast<int>(clip_.size() / 4 / 1024 / 3));
  EXPECT_LT(top_speed, static_cast<int>(clip_.size() / 4 / 1024 * 3));
  EXPECT_EQ(test::ReadBytes(OnDisk()), clip_);
  EXPECT_EQ(player_->DownloadSpeed(), 0);  // nothing more to fetch
}

TEST_F(QvodTest, PrepareNextDownloadsAheadAndTheLaterUrlPlaysFromDisk) {
  player_->PrepareNext(Url("next.mp4"));
  ASSERT_TRUE(WaitFor([&] { return player_->DownloadedBytes(Url("next.mp4")) == qint64(clip_.size()); }));
  EXPECT_EQ(test::ReadBytes(OnDisk("next.mp4")), clip_);
  EXPECT_EQ(State(), kStateIdle);  // preparing plays nothing
  const int requests = server_.RequestsSeen();

  player_->SetUrl(Url("next.mp4"));
  player_->Play();
  EXPECT_EQ(player_->OpenedPath(), OnDisk("next.mp4"));  // the plain file
  ASSERT_TRUE(WaitFor([&] { return State() == kStatePlaying; })) << State();
  EXPECT_EQ(player_->DownloadProgress(), 1000);
  EXPECT_EQ(server_.RequestsSeen(), requests);  // nothing fetched again
}

TEST_F(QvodTest, PartialFileOnDiskIsResumedWithARange) {
  QDir().mkpath(home_.MediaFolder());
  {
    QFile partial(OnDisk());
    ASSERT_TRUE(partial.open(QIODevice::WriteOnly));
    partial.write(clip_.data(), 1000);
  }
  player_->SetUrl(Url());
  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return State() == kStatePlaying; })) << State();
  ASSERT_TRUE(WaitFor([&] { return player_->DownloadProgress() == 1000; }));
  EXPECT_EQ(server_.RangesSeen(), std::vector<std::string>{"bytes=1000-"});
  EXPECT_EQ(test::ReadBytes(OnDisk()), clip_);
}

TEST_F(QvodTest, ALongerFileOfTheSameNameIsReplaced) {
  QDir().mkpath(home_.MediaFolder());
  {
    QFile other(OnDisk());
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(std::string(clip_.size() + 10, 'x').c_str(), clip_.size() + 10);
  }
  player_->PrepareNext(Url());
  ASSERT_TRUE(WaitFor([&] { return test::ReadBytes(OnDisk()) == clip_; }));
  EXPECT_EQ(server_.RangesSeen(), std::vector<std::string>{""});
}

TEST_F(QvodTest, UnknownItemIsRetriedThenGivenUp) {
  const std::string missing = test::QvodUrl(5000, "NOSUCH", "gone.mp4");
  player_->SetUrl(missing);
  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return State() == kStateReconnecting; }, 5000)) << State();
  ASSERT_TRUE(WaitFor([&] { return State() == kStateIdle; }, 20000)) << State();
  EXPECT_EQ(server_.RequestsSeen(), 5);
  EXPECT_EQ(player_->Url(), missing);
  EXPECT_EQ(player_->OpenedPath(), "");  // mpv never saw it
  EXPECT_FALSE(QFileInfo(home_.MediaFolder() + "gone.mp4").size() > 0);
}

TEST_F(QvodTest, NamesThatLeaveTheDownloadFolderFetchNothing) {
  for (const std::string name : {"../escape.mp4", "a/b.mp4"}) {
    const std::string url = test::QvodUrl(clip_.size(), "ABC123", name);
    player_->PrepareNext(url);
    player_->SetUrl(url);
    player_->Play();
    EXPECT_EQ(State(), kStateIdle) << name;
  }
  test::Spin(300);
  EXPECT_EQ(server_.RequestsSeen(), 0);
  EXPECT_FALSE(QFileInfo::exists(home_.Path() + "escape.mp4"));
}

// Sets environment variables for the life of the object.
class ScopedEnvironment {
 public:
  void Set(const char* name, const QByteArray& value) {
    saved_.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    qputenv(name, value);
  }
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        qputenv(it->first, *it->second);
      } else {
        qunsetenv(it->first);
      }
    }
  }

 private:
  std::vector<std::pair<const char*, std::optional<QByteArray>>> saved_;
};

TEST_F(QvodTest, ItemsGoOnlyWhereTheOptionsSayWhateverTheEnvironmentSays) {
  // Every variable the program itself reads for its folders and portal points at a
  // decoy; the decoy seed has the item too, so fetching from it would succeed.
  QTemporaryDir decoy;
  test::SeedServer decoy_seed;
  decoy_seed.Serve("ABC123", clip_);
  ScopedEnvironment environment;
  for (const char* name : {"HOME", "TAVLIN_HOME", "XDG_DATA_HOME"}) environment.Set(name, decoy.path().toUtf8());
  environment.Set("TAVLIN_PORTAL", QByteArray::fromStdString(decoy_seed.PortalBase()));

  auto player = MpvPlayerControl::Create(Options());
  ASSERT_TRUE(player);
  player->PrepareNext(Url("given.mp4"));
  ASSERT_TRUE(WaitFor([&] { return player->DownloadedBytes(Url("given.mp4")) == qint64(clip_.size()); }));
  EXPECT_EQ(test::ReadBytes(OnDisk("given.mp4")), clip_);
  EXPECT_EQ(decoy_seed.RequestsSeen(), 0);
  EXPECT_TRUE(QDir(decoy.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
  // Nothing but the item: no settings file is made beside it either.
  EXPECT_EQ(QDir(home_.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{"Media"});
}

TEST_F(QvodTest, WithoutADownloadFolderItemsAreRefusedAndNothingIsFetched) {
  MpvPlayerOptions options = Options();
  options.download_folder.clear();
  player_ = MpvPlayerControl::Create(options);
  ASSERT_TRUE(player_);
  player_->PrepareNext(Url("next.mp4"));
  player_->SetUrl(Url());
  player_->Play();
  EXPECT_EQ(State(), kStateIdle);
  test::Spin(300);
  EXPECT_EQ(State(), kStateIdle);
  EXPECT_EQ(server_.RequestsSeen(), 0);
  EXPECT_EQ(player_->OpenedPath(), "");
}

TEST_F(QvodTest, StopKeepsDownloadingAndPlayPlaysFromTheStart) {
  server_.Throttle(clip_.size() / 3);
  player_->SetUrl(Url());
  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return State() == kStatePlaying; }, 10000)) << State();
  player_->Stop();
  ASSERT_TRUE(WaitFor([&] { return State() == kStateStopped; })) << State();
  EXPECT_TRUE(WaitFor([&] { return player_->DownloadProgress() == 1000; }, 10000));
  player_->Play();
  EXPECT_TRUE(WaitFor([&] { return State() == kStatePlaying; })) << State();
  EXPECT_EQ(player_->OpenedPath(), OnDisk());
}

}  // namespace
}  // namespace tavlin
