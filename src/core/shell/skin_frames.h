#pragma once
// Which frame of which skin strip each button of the main window shows: its normal
// look, its hovered look and the looks of its toggled states. The window's painting,
// its hover handling and the player's buttons all take their frames from here.
#include <optional>
#include <string>

#include "core/forms/form.h"

namespace tavlin::shell {

void SetFrame(forms::Control& c, int strip, int x, int w, int h);

// The window buttons npc(0..16). maximized picks the restore look of npc(1); the
// tooltip tells the toggles of npc(4) (pinned) and npc(7) (panel open). Nothing for
// buttons without a look of their own.
std::optional<forms::Frame> NpcFrame(int index, bool hover, bool maximized, const std::string& tooltip);

// The view tabs npc(8), npc(9), npc(13), npc(14); a selected tab is drawn taller.
std::optional<forms::Frame> TabFrame(int index, bool selected, int height);

// The list tabs npc(11) and npc(12), with the network or the local list selected.
forms::Frame ListTabFrame(int index, bool localSelected);

// The side-bar handle npc(6).
forms::Frame SideBarHandleFrame(bool shown);

// The player buttons bo_but(0..8). The tooltip tells play from pause, sound from
// mute, and whether the shutdown after playback is armed. Nothing where the
// program draws no such look (the shutdown button has no hover).
std::optional<forms::Frame> BoButFrame(int index, bool hover, const std::string& tooltip);

}  // namespace tavlin::shell
