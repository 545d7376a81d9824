#pragma once
// The controls of the main window, created once in the order of the design (later
// controls lie on top) and resolved to handles, so a handler names a control the
// compiler knows and a misspelt name fails when the window is built.
#include "core/forms/form.h"

namespace tavlin::shell {

inline constexpr const char *kMainCaption = "Tavlin 3.0";
// The title of a message that names none: the program's name.
inline constexpr const char *kDefaultTitle = "Tavlin";

// The navigation bar npc, by index: window buttons, tabs, list switch.
enum NpcIndex : int {
  kNpcMinimise = 0,
  kNpcMaximise = 1,  // maximise or restore
  kNpcClose = 2,
  kNpcSkinMenu = 3,
  kNpcPin = 4,  // stay above other windows, or not
  kNpcProgramMenu = 5,
  kNpcSidebar = 6,  // the side panel shown or hidden
  kNpcBanner = 7,   // the banner over the lists opened or closed
  kNpcBrowseTab = 8,
  kNpcPlayTab = 9,
  kNpcTabBar = 10,
  kNpcNetworkList = 11,
  kNpcLocalList = 12,
  kNpcTvTab = 13,
  kNpcFilmTab = 14,
  kNpcCompact = 15,
  kNpcCornerMenu = 16,  // the program menu from the player row's corner
  kNpcLast = kNpcCornerMenu,
};

// The player's button row bo_but, by index.
enum BoButIndex : int {
  kBoPlayPause = 0,
  kBoStop = 1,
  kBoMute = 2,
  kBoFullScreen = 3,
  kBoOpenFile = 4,
  kBoPrevious = 5,
  kBoShutdownMenu = 6,
  kBoNext = 7,
  kBoSidebar = 8,
  kBoLast = kBoSidebar,
};

// Adds every control of the main window to the form.
forms::Form &CreateBa1Controls(forms::Form &form);

struct Ba1Controls {
  explicit Ba1Controls(forms::Form &form);

  // The view area: the home page, the page player and the player.
  forms::Control &zz, &L1, &Pic1, &Web1, &Pic2, &Web2;
  forms::Control &qvod, &QvodC, &bo_ad, &adp, &ad_huan, &Web7, &next_s;
  forms::Control &bo_zt, &zhun, &times, &gunt, &huan, &played, &gunt1;
  forms::Control &wait, &jia, &webe;
  // The side panel: banner, the two lists, the list switch.
  forms::Control &l2, &l3, &u_k, &Weby, &Pic3, &Web3, &Pic4, &Web4, &Pic5, &Web5;
  forms::Control &shan, &Line1, &qk;
  // The section views and the hidden statistics view.
  forms::Control &ying, &Web9, &Web6;
  // Captions, the compact-mode close label, the notices, the player row.
  forms::Control &ni_name, &ni_bo1, &jbi, &bo_name;
  forms::Control &yin, &bo_y, &bo_v;
  // The drawn tooltip.
  forms::Control &p1, &bo_tip;
  forms::ControlArray npc, bo_but, Lab2, Lab;
};

}  // namespace tavlin::shell
