#pragma once
// libmpv is opened at run time, not by the loader at start: with its codecs and
// outputs it is some 160 libraries, 50 ms before main() is reached, and a start
// without a media file needs none of them until the portal is on screen.
// The mpv_* functions the program calls are defined in mpv_library.cpp and go to
// the opened library; without it they answer as an mpv that cannot start.

namespace tavlin {

// Whether libmpv is where the build found it, without opening it.
bool MpvInstalled();
// Opens libmpv (once; a call while another opens it waits). False when it cannot.
bool LoadMpv();

}  // namespace tavlin
