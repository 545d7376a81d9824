// qvod:// items: fetched from a seed on loopback into the download folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>
#include <utility>
#include <vector>

#include "test_support.h"
#include "ui/player/mpv_player_control.h"
#include "ui/player/qvod_download.h"

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
  std::string Url(const std::string& name = "第1集.mp4") { return test::QvodUrl(clip_.size(), "ABC123", name); }
  QString OnDisk(const std::string& name = "第1集.mp4") { return home_.MediaFolder() + QString::fromStdString(name); }
  int State() const { return player_->PlayState(); }
  static void WriteFile(const QString& path, const std::string& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  QStringList HiddenInMedia() const {
    return QDir(home_.MediaFolder())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
        .filter(QRegularExpression("^\\."));
  }
  // The item started on a player of its own that goes away part-way, as on quitting;
  // the path of the one hidden file that run left in the download folder.
  QString InterruptedPartial(const std::string& url) {
    server_.Throttle(clip_.size() / 4);
    {
      auto player = MpvPlayerControl::Create(Options());
      EXPECT_TRUE(player);
      if (!player) return {};
      player->PrepareNext(url);
      EXPECT_TRUE(WaitFor([&] { return player->DownloadedBytes(url) > 0; }));
    }
    server_.Throttle(0);
    const QStringList left = HiddenInMedia();
    EXPECT_EQ(left.size(), 1) << left.join(", ").toStdString();
    return left.size() == 1 ? home_.MediaFolder() + left[0] : QString();
  }
  MpvPlayerOptions Options() const {
    return {
        .null_output = true, .portal_base = server_.PortalBase(), .download_folder = home_.MediaFolder().toStdString()};
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
  ASSERT_TRUE(WaitFor(
      [&] {
        const int p = player_->DownloadProgress();
        if (progress.empty() || progress.back() != p) progress.push_back(p);
        top_speed = std::max(top_speed, player_->DownloadSpeed());
        if (State() == kStatePlaying && p < 1000) played_while_arriving = true;
        return p == 1000;
      },
      20000));

  // Per mille of the bytes on disk, rising through the middle.
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_GE(progress.size(), 4u);
  EXPECT_TRUE(std::any_of(progress.begin(), progress.end(), [](int p) { return p > 100 && p < 900; }));
  EXPECT_TRUE(played_while_arriving);
  // Played from the program's own hidden file while it grew, kept under its name after.
  EXPECT_TRUE(player_->OpenedPath().startsWith("appending://" + home_.MediaFolder() + "."))
      << player_->OpenedPath().toStdString();
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

TEST_F(QvodTest, FilesAlreadyUnderTheItemsNameKeepTheirBytesAndTheItemTakesAFreeName) {
  // One longer than the item, one shorter as an unfinished download would be, and
  // beside the shorter one its first variant taken as well.
  server_.Serve("LONGER", clip_);
  server_.Serve("SHORTER", clip_);
  const std::string longer(clip_.size() + 10, 'x');
  const std::string shorter = clip_.substr(0, 1000);
  const std::string users = "echo the user's own\n";
  WriteFile(OnDisk("longer.mp4"), longer);
  WriteFile(OnDisk("shorter.mp4"), shorter);
  WriteFile(OnDisk("shorter (2).mp4"), users);
  const std::string longer_url = test::QvodUrl(clip_.size(), "LONGER", "longer.mp4");
  const std::string shorter_url = test::QvodUrl(clip_.size(), "SHORTER", "shorter.mp4");

  // One after the other: preparing the second ends the first unless it is whole.
  player_->PrepareNext(longer_url);
  EXPECT_TRUE(WaitFor([&] { return test::ReadBytes(OnDisk("longer (2).mp4")) == clip_; }));
  player_->PrepareNext(shorter_url);
  EXPECT_TRUE(WaitFor([&] { return test::ReadBytes(OnDisk("shorter (3).mp4")) == clip_; }));
  EXPECT_EQ(test::ReadBytes(OnDisk("longer.mp4")), longer);
  EXPECT_EQ(test::ReadBytes(OnDisk("shorter.mp4")), shorter);
  EXPECT_EQ(test::ReadBytes(OnDisk("shorter (2).mp4")), users);
  EXPECT_EQ(server_.RangesSeen(), (std::vector<std::string>{"", ""}));  // nothing taken for a partial
  EXPECT_EQ(HiddenInMedia(), QStringList{});

  // Played later, the item is found where it landed and not fetched again.
  const int requests = server_.RequestsSeen();
  player_->SetUrl(shorter_url);
  player_->Play();
  EXPECT_EQ(player_->OpenedPath(), OnDisk("shorter (3).mp4"));
  EXPECT_TRUE(WaitFor([&] { return State() == kStatePlaying; })) << State();
  EXPECT_EQ(server_.RequestsSeen(), requests);
}

TEST_F(QvodTest, ANameTakenWhileTheItemArrivesIsLeftAlone) {
  server_.Throttle(clip_.size() / 3);
  player_->SetUrl(Url());
  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return player_->DownloadProgress() > 0; }));
  ASSERT_LT(player_->DownloadProgress(), 1000);
  WriteFile(OnDisk(), "mine");
  ASSERT_TRUE(WaitFor([&] { return test::ReadBytes(OnDisk("第1集 (2).mp4")) == clip_; }));
  EXPECT_EQ(test::ReadBytes(OnDisk()), "mine");
  EXPECT_TRUE(WaitFor([&] { return State() == kStatePlaying; })) << State();
}

TEST_F(QvodTest, AnUnfinishedDownloadOfTheProgramsOwnIsResumedWithARange) {
  const QString partial = InterruptedPartial(Url());
  ASSERT_FALSE(partial.isEmpty());
  const qint64 had = QFileInfo(partial).size();
  ASSERT_GT(had, 0);
  ASSERT_LT(had, qint64(clip_.size()));
  EXPECT_FALSE(QFileInfo::exists(OnDisk()));  // nothing under the item's name until it is whole

  player_->SetUrl(Url());
  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return State() == kStatePlaying; })) << State();
  ASSERT_TRUE(WaitFor([&] { return test::ReadBytes(OnDisk()) == clip_; }));
  EXPECT_EQ(server_.RangesSeen().back(), "bytes=" + std::to_string(had) + "-");
  EXPECT_EQ(HiddenInMedia(), QStringList{});
}

TEST_F(QvodTest, NothingAtThePartialNameThatTheProgramDidNotMakeIsWrittenThrough) {
  const QString partial = InterruptedPartial(Url());
  ASSERT_FALSE(partial.isEmpty());
  const QString elsewhere = home_.Path() + "elsewhere.mp4";
  // Shaped like the item's first bytes, so taking it for a partial would append to it.
  const std::string start = clip_.substr(0, 1000);
  const std::pair<std::string, QString> cases[] = {{"symlink", OnDisk()}, {"hard link", OnDisk("第1集 (2).mp4")}};
  for (const auto& c : cases) {
    const std::string& kind = c.first;
    const QString& lands = c.second;
    SCOPED_TRACE(kind);
    ASSERT_TRUE(QFile::remove(partial));
    WriteFile(elsewhere, start);
    if (kind == "symlink") {
      ASSERT_TRUE(QFile::link(elsewhere, partial));
    } else {
      ASSERT_EQ(::link(QFile::encodeName(elsewhere).constData(), QFile::encodeName(partial).constData()), 0);
    }
    const size_t ranges = server_.RangesSeen().size();
    player_ = MpvPlayerControl::Create(Options());
    ASSERT_TRUE(player_);
    player_->SetUrl(Url());
    player_->Play();
    ASSERT_TRUE(WaitFor([&] { return test::ReadBytes(lands) == clip_; }));
    EXPECT_TRUE(WaitFor([&] { return State() == kStatePlaying; })) << State();
    EXPECT_EQ(test::ReadBytes(elsewhere), start);
    EXPECT_EQ(server_.RangesSeen().size(), ranges + 1);
    EXPECT_EQ(server_.RangesSeen().back(), "");  // fetched afresh
    EXPECT_TRUE(QFileInfo::exists(partial));     // left where it was found
  }
}

// mpv opens the partial file a moment after it is asked to; were the item placed in
// between, the open would find nothing. Which comes first cannot be forced from
// outside the control, so the download's side is checked on its own.
TEST_F(QvodTest, AWholeItemKeepsItsPartialNameUntilReleased) {
  QNetworkAccessManager network;
  QvodDownload download(&network, QUrl(QString::fromStdString(server_.Base() + "/seed/ABC123")), home_.MediaFolder(),
                        "held.mp4", "ABC123", qint64(clip_.size()));
  download.KeepPartialName(true);
  download.Start();
  const QString partial = download.path();
  ASSERT_TRUE(WaitFor([&] { return download.Complete(); }));
  EXPECT_EQ(download.path(), partial);
  EXPECT_EQ(test::ReadBytes(partial), clip_);
  EXPECT_FALSE(QFileInfo::exists(OnDisk("held.mp4")));

  download.KeepPartialName(false);
  EXPECT_EQ(download.path(), OnDisk("held.mp4"));
  EXPECT_EQ(test::ReadBytes(OnDisk("held.mp4")), clip_);
  EXPECT_FALSE(QFileInfo::exists(partial));
  EXPECT_TRUE(download.StillOnDisk());
}

TEST_F(QvodTest, OnlyThePlayingItemAndItsNextKeepDownloading) {
  // Items started one after the other by a page, each too slow to finish meanwhile.
  server_.Throttle(clip_.size() / 8);
  const char* hashes[] = {"A1", "A2", "A3", "A4", "A5", "A6"};
  for (const char* hash : hashes) server_.Serve(hash, clip_);
  auto url = [&](int i) { return test::QvodUrl(clip_.size(), hashes[i], std::string(hashes[i]) + ".mp4"); };
  const std::string done = test::QvodUrl(clip_.size(), "ABC123", "done.mp4");
  server_.Throttle(0);
  player_->PrepareNext(done);
  ASSERT_TRUE(WaitFor([&] { return test::ReadBytes(OnDisk("done.mp4")) == clip_; }));
  server_.Throttle(clip_.size() / 8);
  for (int i = 0; i < 4; ++i) {
    player_->SetUrl(url(i));
    player_->Play();
    ASSERT_TRUE(WaitFor([&] { return player_->DownloadedBytes(url(i)) > 0; })) << i;
  }
  // A partial name taken over by a file of the user's meanwhile is not the
  // program's to remove.
  QStringList hidden = HiddenInMedia();
  ASSERT_EQ(hidden.size(), 1) << hidden.join(", ").toStdString();
  const QString earlier_partial = home_.MediaFolder() + hidden[0];
  player_->PrepareNext(url(4));
  ASSERT_TRUE(WaitFor([&] { return player_->DownloadedBytes(url(4)) > 0; }));
  ASSERT_TRUE(QFile::remove(earlier_partial));
  WriteFile(earlier_partial, "the user's");

  player_->SetUrl(url(5));
  player_->Play();
  ASSERT_TRUE(WaitFor([&] { return player_->DownloadedBytes(url(5)) > 0; }));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(player_->DownloadedBytes(url(i)), -1) << i;
  hidden = HiddenInMedia();
  hidden.removeAll(QFileInfo(earlier_partial).fileName());
  EXPECT_EQ(hidden.size(), 1) << "only the playing item's partial file: " << hidden.join(", ").toStdString();
  EXPECT_EQ(test::ReadBytes(earlier_partial), "the user's");
  EXPECT_EQ(test::ReadBytes(OnDisk("done.mp4")), clip_) << "a whole item stays";
  // Nothing more arrives for the items left behind.
  const int requests = server_.RequestsSeen();
  test::Spin(2500);
  EXPECT_EQ(server_.RequestsSeen(), requests);
  EXPECT_EQ(HiddenInMedia().size(), 2);
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
  EXPECT_FALSE(QFileInfo::exists(home_.MediaFolder() + "gone.mp4"));
  EXPECT_EQ(HiddenInMedia(), QStringList{});  // no empty partial file left behind
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

TEST_F(QvodTest, DotNamesFetchNothingWhereTheUsersSettingsLive) {
  // The download folder set to the home folder itself.
  MpvPlayerOptions options = Options();
  options.download_folder = home_.Path().toStdString();
  player_ = MpvPlayerControl::Create(options);
  ASSERT_TRUE(player_);
  const std::string bashrc = "alias ll='ls -l'\n";
  WriteFile(home_.Path() + ".bashrc", bashrc);
  for (const std::string name : {".bashrc", ".profile"}) {
    const std::string url = test::QvodUrl(clip_.size(), "ABC123", name);
    player_->PrepareNext(url);
    player_->SetUrl(url);
    player_->Play();
    EXPECT_EQ(State(), kStateIdle) << name;
  }
  test::Spin(300);
  EXPECT_EQ(server_.RequestsSeen(), 0);
  EXPECT_EQ(player_->OpenedPath(), "");
  EXPECT_EQ(test::ReadBytes(home_.Path() + ".bashrc"), bashrc);
  EXPECT_FALSE(QFileInfo::exists(home_.Path() + ".profile"));
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
  EXPECT_EQ(QDir(home_.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"Media"});
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
