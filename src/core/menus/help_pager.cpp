// The help window's controls: five pages of usage hints lying on top of each other.
#include "core/menus/tip.h"
#include "core/shell/palette.h"
#include "core/shell/skin_frames.h"

namespace tavlin::menus {

namespace {

using forms::ControlKey;
using forms::ControlKind;
using forms::TwipsToPixels;

struct HintText {
  int page, line, left;  // line 0..2; left in twips
  const char* text;
};

constexpr HintText kHints[] = {
    {0, 0, 120, "Tavlin可以播放本机影音文件了"},
    {0, 1, 120, "点击播放器下方的"},
    {0, 1, 1860, "打开本地电脑上的文件就可以播放"},
    {0, 2, 120, "播放过的文件保存在[本地列表]中，方便下次观看"},
    {1, 0, 120, "影片播放时，可以用键盘方向键来调整影片进度和音量"},
    {1, 1, 120, "方向键→ 影片快进"},
    {1, 1, 1920, "方向键← 影片快退"},
    {1, 2, 120, "方向键↑增大音量"},
    {1, 2, 1920, "方向键↓减小音量"},
    {1, 2, 3600, "空格键暂停/播放"},
    {2, 0, 120, "鼠标放到软件边框上,按住鼠标左键,可以拉伸调整界面大小"},
    {2, 1, 120, "你可以在软件设置中选择退出时是否保存软件界面大小"},
    {2, 2, 120, "下次打开软件时，界面大小就是你保存的大小"},
    {3, 0, 120, "右侧网络任务列表中是你观看过的网络影片列表"},
    {3, 1, 120, "软件列表中的影片保存了你上次观看的集数和进度条"},
    {3, 2, 120, "点击列表中的影片会直接从你上次退出时保存的进度播放"},
    {4, 0, 120, "Tavlin是以快播(Qvod)为核心的播放软件"},
    {4, 1, 120, "快播是边看边下的方式，影片缓存位置可以在软件设置中修改"},
    {4, 2, 120, "记得定时删除你下载过的影片。以免硬盘不足，影响观看。"},
};

}  // namespace

forms::Form& CreateHelpControls(forms::Form& form) {
  form.window.w = 360;
  form.window.h = 170;
  form.backColor = {240, 240, 240};
  auto& heading = form.Add("Label1", {}, ControlKind::Label);
  heading.Move(8, 10, 120, 20);
  heading.fontPixels = 14;
  heading.caption = "你知道吗";
  for (int i = 0; i < kHelpPages; ++i) {
    auto& page = form.Add("Pi", i, ControlKind::PictureBox);
    page.Move(TwipsToPixels(120), TwipsToPixels(720), TwipsToPixels(5055), TwipsToPixels(1095));
    page.visible = i == 0;
  }
  int n = 0;
  for (const auto& h : kHints) {
    auto& line = form.Add("Label4", n++, ControlKind::Label, ControlKey{"Pi", h.page});
    line.Move(TwipsToPixels(h.left), TwipsToPixels(360 * h.line), 0, 16);
    line.autoSize = true;
    line.SetCaption(h.text);
  }
  // Page 0 points at the player's open button with a small copy of its picture.
  auto& open = form.Add("Picture1", {}, ControlKind::PictureBox, ControlKey{"Pi", 0});
  open.Move(TwipsToPixels(1560), TwipsToPixels(330), 17, 17);
  if (const auto frame = shell::BoButFrame(4, false, "打开本地文件"))
    open.blits.push_back({frame->strip, frame->x, frame->y, frame->w, frame->h, 0, 0, 17, 17});
  // The button is light on the player's dark bar: on the dialog's grey it needs its bar.
  open.back = shell::kSkins[0].window;
  const char* counter[][2] = {{"Label2", "第"}, {"Label3", "1"}, {"Label5", "条"}};
  for (int i = 0; i < 3; ++i) {
    auto& label = form.Add(counter[i][0], {}, ControlKind::Label);
    label.Move(20 + 14 * i, 136, 14, 16);
    label.caption = counter[i][1];
  }
  auto& close = form.Add("cmdclose", {}, ControlKind::Button);
  close.Move(176, 132, 82, 26);
  close.caption = "关闭(&C)";
  auto& next = form.Add("cmdnext", {}, ControlKind::Button);
  next.Move(266, 132, 82, 26);
  next.caption = "下一条(&N)";
  return form;
}

}  // namespace tavlin::menus
