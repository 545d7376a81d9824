#include "core/shell/ba1_controls.h"

#include "core/shell/palette.h"

namespace tavlin::shell {

using forms::ControlKey;
using forms::ControlKind;
using forms::Rgb;

forms::Form& CreateBa1Controls(forms::Form& form) {
  auto on = [](const char* n, std::optional<int> i = std::nullopt) { return ControlKey{n, i}; };
  const char* npcTips[17] = {"最小化", "最大化", "关闭", "换肤", "置顶", "菜单", "关闭侧栏", "打开",    "",
                             "",       "",       "",     "",     "",     "",     "精简模式", "精简模式"};
  const int npcW[17] = {24, 24, 33, 24, 21, 24, 3, 10, 80, 80, 162, 57, 57, 80, 80, 24, 45};
  const int npcH[17] = {19, 19, 19, 19, 19, 19, 40, 10, 32, 32, 25, 20, 20, 32, 32, 19, 38};

  // Containers first: children are created after their parents, which keeps the
  // stacking order of the design (later controls lie on top).
  // Created in the first skin's colours; BA1::p_p applies the saved skin.
  const SkinPalette& skin = kSkins[0];
  auto& zz = form.Add("zz", {}, ControlKind::PictureBox);
  zz.back = skin.window;
  form.Add("L1", {}, ControlKind::PictureBox, on("zz")).back = skin.window;
  form.Add("Pic1", {}, ControlKind::PictureBox, on("L1"));
  form.Add("Web1", {}, ControlKind::WebView, on("Pic1"));
  form.Add("Pic2", {}, ControlKind::PictureBox, on("L1")).visible = false;
  form.Add("Web2", {}, ControlKind::WebView, on("Pic2"));
  form.Add("qvod", {}, ControlKind::PictureBox, on("L1")).visible = false;
  form.Add("QvodC", {}, ControlKind::Player, on("qvod")).visible = false;
  auto& boAd = form.Add("bo_ad", {}, ControlKind::PictureBox, on("qvod"));
  boAd.back = Rgb{0, 0, 0};
  form.Add("adp", {}, ControlKind::PictureBox, on("bo_ad")).Move(0, 0, 140, 70);
  form.C("adp").picture = skin.cover;
  form.Add("ad_huan", {}, ControlKind::PictureBox, on("bo_ad")).Move(0, 0, 450, 260);
  form.C("ad_huan").visible = false;
  form.Add("Web7", {}, ControlKind::WebView, on("ad_huan"));
  auto& nextS = form.Add("next_s", {}, ControlKind::Label, on("bo_ad"));
  nextS.Move(0, 0, 177, 12);
  nextS.caption = "正准备播放下一集，请稍后...";
  nextS.fore = kWhite;
  nextS.visible = false;
  auto& boZt = form.Add("bo_zt", {}, ControlKind::PictureBox, on("qvod"));
  boZt.h = 22;
  boZt.back = skin.status;
  auto& zhun = form.Add("zhun", {}, ControlKind::Label, on("bo_zt"));
  zhun.Move(0, 0, 48, 12);
  zhun.caption = "准备就绪";
  zhun.fore = skin.statusText;
  auto& times = form.Add("times", {}, ControlKind::Label, on("bo_zt"));
  times.Move(0, 0, 72, 12);
  // Its width follows the text: the poll keeps its right edge in place.
  times.autoSize = true;
  times.SetCaption("00:00 /00:00");
  times.fore = skin.statusText;
  auto& gunt = form.Add("gunt", {}, ControlKind::PictureBox, on("qvod"));
  gunt.h = 7;
  gunt.back = skin.track;
  form.Add("huan", {}, ControlKind::PictureBox, on("gunt")).back = skin.buffered;
  // The part played, from the track's start to the thumb's middle: over the band,
  // under the thumb.
  auto& played = form.Add("played", {}, ControlKind::PictureBox, on("gunt"));
  played.h = 7;
  played.back = skin.played;
  auto& thumb = form.Add("gunt1", {}, ControlKind::PictureBox, on("gunt"));
  thumb.Move(0, 0, 13, 7);
  thumb.picture = skin.thumb;
  auto& wait = form.Add("wait", {}, ControlKind::PictureBox, on("L1"));
  wait.visible = false;
  wait.back = kWhite;
  auto& jia = form.Add("jia", {}, ControlKind::PictureBox, on("wait"));
  jia.Move(0, 0, 32, 32);
  jia.picture = "jia";
  auto& webe = form.Add("webe", {}, ControlKind::Label, on("wait"));
  webe.autoSize = true;
  webe.SetCaption("正在加载...");

  auto& l2 = form.Add("l2", {}, ControlKind::PictureBox, on("zz"));
  l2.back = kWhite;
  form.Add("l3", {}, ControlKind::PictureBox, on("l2")).back = skin.listBack;
  form.Add("u_k", {}, ControlKind::PictureBox, on("l3")).visible = false;
  form.Add("Weby", {}, ControlKind::WebView, on("u_k"));
  form.Add("Pic3", {}, ControlKind::PictureBox, on("l3"));
  form.Add("Web3", {}, ControlKind::WebView, on("Pic3"));
  form.Add("Pic4", {}, ControlKind::PictureBox, on("l3")).visible = false;
  form.Add("Web4", {}, ControlKind::WebView, on("Pic4"));
  form.Add("Pic5", {}, ControlKind::PictureBox, on("l3")).visible = false;
  form.Add("Web5", {}, ControlKind::WebView, on("Pic5"));
  auto& shan = form.Add("shan", {}, ControlKind::PictureBox, on("l3"));
  shan.h = 20;
  shan.back = skin.listBar;
  auto& line = form.Add("Line1", {}, ControlKind::Line, on("shan"));
  line.Move(0, 0, 0, 1);
  line.fore = skin.listLine;
  auto& qk = form.Add("qk", {}, ControlKind::Label, on("shan"));
  qk.autoSize = true;
  qk.fore = kListText;
  qk.SetCaption("∴ 管理任务");

  auto& ying = form.Add("ying", {}, ControlKind::PictureBox);
  ying.visible = false;
  ying.back = kWhite;
  form.Add("Web9", {}, ControlKind::WebView, on("ying"));
  // The statistics request: a view nobody sees.
  form.Add("Web6", {}, ControlKind::WebView).visible = false;

  for (int i = 0; i <= 16; ++i) {
    std::optional<ControlKey> parent;
    if (i == 6) parent = on("zz");
    if (i == 10) parent = on("l3");
    if (i == 7 || i == 11 || i == 12) continue;  // inside the tab bar, added below
    auto& b = form.Add("npc", i, ControlKind::PictureBox, parent);
    b.w = npcW[i];
    b.h = npcH[i];
    b.tooltip = npcTips[i];
    // The window buttons' tooltips are the form's own drawing (p1).
    b.ownTooltip = i <= 5 || i == 15;
  }
  for (int i : {11, 12, 7}) {
    auto& b = form.Add("npc", i, ControlKind::PictureBox, on("npc", 10));
    b.w = npcW[i];
    b.h = npcH[i];
    b.tooltip = npcTips[i];
  }

  auto& name = form.Add("ni_name", {}, ControlKind::Label);
  name.autoSize = true;
  name.fore = kWhite;
  name.SetCaption(kMainCaption);
  auto& compactTitle = form.Add("ni_bo1", {}, ControlKind::Label);
  compactTitle.autoSize = true;
  compactTitle.fore = kWhite;
  compactTitle.visible = false;
  auto& jbi = form.Add("jbi", {}, ControlKind::Label);
  jbi.fore = kWhite;
  jbi.fontPixels = 14;
  jbi.caption = "x";
  // It looks like a close mark but brings the normal window back: say so.
  jbi.tooltip = "还原";
  jbi.w = 12;
  jbi.h = 18;
  jbi.visible = false;
  auto& boName = form.Add("bo_name", {}, ControlKind::Label);
  boName.autoSize = true;
  boName.fore = skin.title;
  for (int i = 0; i <= 3; ++i) {
    auto& lab = form.Add("Lab2", i, ControlKind::Label);
    lab.visible = false;
    lab.fore = Rgb{255, 214, 102};
    // The notice keeps the colour the update check gives it; this pale ground keeps
    // it readable on the title band of either skin.
    lab.back = skin.notice;
    lab.hand = true;
    lab.autoSize = true;
    lab.Move(0, 0, 200, 14);
  }
  auto& lab0 = form.Add("Lab", 0, ControlKind::Label);
  lab0.visible = false;
  lab0.caption = "0";
  for (int i = 0; i <= 8; ++i) {
    auto& b = form.Add("bo_but", i, ControlKind::PictureBox);
    b.w = i == 0 ? 38 : 25;
    b.h = i == 0 ? 33 : 24;
  }
  form.C("bo_but", 0).tooltip = "播放";
  form.C("bo_but", 1).tooltip = "停止";
  form.C("bo_but", 2).tooltip = "静音";
  form.C("bo_but", 3).tooltip = "全屏";
  form.C("bo_but", 4).tooltip = "打开本地文件";
  form.C("bo_but", 5).tooltip = "上一集";
  form.C("bo_but", 6).tooltip = "计划关机";
  form.C("bo_but", 7).tooltip = "下一集";
  form.C("bo_but", 8).tooltip = "显示/关闭侧栏";
  form.Add("yin", {}, ControlKind::PictureBox).Move(0, 0, 80, 24);
  // The fill reaches the knob, which stands at the right end until the volume changes.
  auto& fill = form.Add("bo_y", {}, ControlKind::Label, on("yin"));
  fill.Move(0, 11, 70, 2);
  fill.back = skin.volume;
  form.Add("bo_v", {}, ControlKind::PictureBox, on("yin")).Move(70, 7, 10, 10);

  // The drawn tooltip lies above everything else.
  auto& p1 = form.Add("p1", {}, ControlKind::PictureBox);
  p1.visible = false;
  p1.back = Rgb{255, 255, 225};
  auto& tip = form.Add("bo_tip", {}, ControlKind::Label, on("p1"));
  tip.autoSize = true;
  return form;
}

Ba1Controls::Ba1Controls(forms::Form& form)
    : zz(form.C("zz")),
      L1(form.C("L1")),
      Pic1(form.C("Pic1")),
      Web1(form.C("Web1")),
      Pic2(form.C("Pic2")),
      Web2(form.C("Web2")),
      qvod(form.C("qvod")),
      QvodC(form.C("QvodC")),
      bo_ad(form.C("bo_ad")),
      adp(form.C("adp")),
      ad_huan(form.C("ad_huan")),
      Web7(form.C("Web7")),
      next_s(form.C("next_s")),
      bo_zt(form.C("bo_zt")),
      zhun(form.C("zhun")),
      times(form.C("times")),
      gunt(form.C("gunt")),
      huan(form.C("huan")),
      played(form.C("played")),
      gunt1(form.C("gunt1")),
      wait(form.C("wait")),
      jia(form.C("jia")),
      webe(form.C("webe")),
      l2(form.C("l2")),
      l3(form.C("l3")),
      u_k(form.C("u_k")),
      Weby(form.C("Weby")),
      Pic3(form.C("Pic3")),
      Web3(form.C("Web3")),
      Pic4(form.C("Pic4")),
      Web4(form.C("Web4")),
      Pic5(form.C("Pic5")),
      Web5(form.C("Web5")),
      shan(form.C("shan")),
      Line1(form.C("Line1")),
      qk(form.C("qk")),
      ying(form.C("ying")),
      Web9(form.C("Web9")),
      Web6(form.C("Web6")),
      ni_name(form.C("ni_name")),
      ni_bo1(form.C("ni_bo1")),
      jbi(form.C("jbi")),
      bo_name(form.C("bo_name")),
      yin(form.C("yin")),
      bo_y(form.C("bo_y")),
      bo_v(form.C("bo_v")),
      p1(form.C("p1")),
      bo_tip(form.C("bo_tip")),
      npc(form, "npc"),
      bo_but(form, "bo_but"),
      Lab2(form, "Lab2"),
      Lab(form, "Lab") {}

}  // namespace tavlin::shell
