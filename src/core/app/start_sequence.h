#pragma once
// The program's start once its settings are in place (RunMain) up to the event loop.
// What each step does is the Qt layer's; which step comes when is decided here:
//  - with a media file the player starts before the window is made, and the pages
//    wait for its first frame (a moment at most); the web engine starts with the
//    first of them, so that its start (some 60 ms of the main thread and of its
//    helper processes) comes after the film is on screen;
//  - without one the portal comes first: the web engine starts at once, and the
//    player once the first page is up, or after a while at the latest (a portal the
//    views refuse never gives a first page);
//  - the web engine writes one variable to the environment as it starts, which may
//    be while mpv's threads read it: the Qt layer gives the variable its place while
//    there is one thread, so the write replaces a value and the environment never
//    grows under a reader;
//  - command lines of later starts are taken only once the window is shown.
#include <functional>
#include <string>

namespace tavlin {

class StartSteps {
 public:
  virtual ~StartSteps() = default;
  // Makes the web profile now; otherwise the first page that loads makes it.
  virtual void StartWebEngine() = 0;
  // The player control, not started: its picture can be placed, volume written.
  virtual void MakePlayer() = 0;
  // Starts mpv now; false when it cannot.
  virtual bool StartPlayer() = 0;
  // Opens mpv's library off this thread, then starts it; `done` gets the answer.
  virtual void StartPlayerInBackground(std::function<void(bool)> done) = 0;
  // The program and its windows; false when the start cannot go on.
  virtual bool MakeWindows() = 0;
  // Whether a first frame will be drawn (the player has a picture).
  virtual bool PlayerHasPicture() = 0;
  // No page loads until the player's first frame, or `ms` at most.
  virtual void HoldPagesForFirstFrame(int ms) = 0;
  // The main window shows with the command line; its first page starts loading.
  virtual void ShowWindow() = 0;
  // `then` runs once the first page is up (or has had its few seconds).
  virtual void AfterFirstPage(std::function<void()> then) = 0;
  // `then` runs after `ms`, while the player lives.
  virtual void After(int ms, std::function<void()> then) = 0;
  // Command lines of later starts are delivered from now on, the early ones first.
  virtual void DeliverHandOffs() = 0;
  virtual void Log(const std::string& line) = 0;
};

// The pages wait at most this long for a media file's first frame.
inline constexpr int kPagesWaitForPictureMs = 1000;
// Without a media file the player starts this long after the window at the latest.
inline constexpr int kPlayerStartsAtLatestMs = 5000;

enum class StartOutcome { kRun, kCannotGoOn };

// Runs the steps in their order; `with_file`: the command line names a media file.
// The steps object must outlive the event loop (the later steps run from it).
StartOutcome RunStartSequence(StartSteps& steps, bool with_file);

}  // namespace tavlin
