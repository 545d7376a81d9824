// The dialog's controls, in the order of the design (later controls lie on top).
#include "core/settings/ba3.h"

namespace tavlin::settings {

using forms::ControlKey;
using forms::ControlKind;

namespace {

forms::Form& CreateBa3Controls(forms::Form& form) {
  auto on = [](const char* n, std::optional<int> i = std::nullopt) { return ControlKey{n, i}; };
  form.window.w = 470;
  form.window.h = 330;
  form.backColor = {240, 240, 240};

  auto& tabs = form.Add("Frame1", {}, ControlKind::PictureBox);
  tabs.Move(forms::TwipsToPixels(120), forms::TwipsToPixels(90), forms::TwipsToPixels(1815),
            forms::TwipsToPixels(3615));
  tabs.back = forms::Rgb{255, 255, 255};
  const char* tabCaptions[] = {"关于软件", "软件设置", "缓存设置"};
  for (int i = 0; i < 3; ++i) {
    auto& tab = form.Add("d_z", i, ControlKind::Label, on("Frame1"));
    tab.Move(0, forms::TwipsToPixels(480 * i), forms::TwipsToPixels(1815), forms::TwipsToPixels(495));
    tab.caption = tabCaptions[i];
    tab.fontPixels = 13;
  }
  auto& heading = form.Add("bb", {}, ControlKind::Label);
  heading.Move(145, 12, 200, 20);
  heading.fontPixels = 14;

  // The pages lie on top of each other in their container right of the tabs.
  form.Add("Picture2", {}, ControlKind::PictureBox).Move(137, 0, 333, 282);
  for (int i = 0; i < 3; ++i) {
    auto& page = form.Add("p1", i, ControlKind::PictureBox, on("Picture2"));
    page.Move(forms::TwipsToPixels(240), forms::TwipsToPixels(600), forms::TwipsToPixels(4476),
              forms::TwipsToPixels(3275));
    page.visible = false;
  }

  auto& about = form.Add("Frame2", {}, ControlKind::Frame, on("p1", 0));
  about.Move(0, 0, 298, 200);
  about.caption = "关于";
  const char* aboutLines[] = {
      "Tavlin",     "版本 3.0    发布日期 2010.10.1",       "Tavlin是一款以快播QVOD为核心的",
      "播放软件。", "软件以搜索引擎的方式整合了互联网上的", "QVOD媒体资源。为用户提供方便快捷的浏",
      "览体验。"};
  for (int i = 0; i < 7; ++i) {
    auto& line = form.Add("Label1", i, ControlKind::Label, on("Frame2"));
    line.Move(16, i == 0 ? 22 : 34 + 20 * i, 270, i == 0 ? 22 : 16);
    line.fontPixels = i == 0 ? 18 : 12;
    line.caption = aboutLines[i];
  }

  auto check = [&](int index, const char* caption, ControlKey parent, int x, int y) {
    auto& c = form.Add("Check1", index, ControlKind::CheckBox, std::move(parent));
    c.Move(x, y, 220, 18);
    c.caption = caption;
  };
  check(8, "托盘显示气泡提示", on("p1", 1), 8, 6);
  check(7, "启动软件不启动快播(Qvod)", on("p1", 1), 8, 28);
  check(6, "关闭软件同时关闭快播(Qvod)", on("p1", 1), 8, 50);
  check(5, "关闭软件最小化到托盘", on("p1", 1), 8, 72);
  auto& play = form.Add("Frame3", {}, ControlKind::Frame, on("p1", 1));
  play.Move(4, 96, 290, 88);
  play.caption = "播放设置";
  check(3, "记录影片播放进度", on("Frame3"), 12, 18);
  check(1, "自动缓冲下一集", on("Frame3"), 12, 40);
  check(2, "自动播放下一集", on("Frame3"), 12, 62);
  check(0, "保存软件界面大小", on("p1", 1), 8, 192);

  auto& folderLabel = form.Add("Label2", {}, ControlKind::Label, on("p1", 2));
  folderLabel.Move(8, 14, 260, 16);
  folderLabel.caption = "设置影片接收下载路径：";
  form.Add("Text1", {}, ControlKind::TextBox, on("p1", 2)).Move(8, 38, 218, 22);
  auto& browse = form.Add("Command1", {}, ControlKind::Button, on("p1", 2));
  browse.Move(232, 37, 60, 24);
  browse.caption = "浏览";

  const char* buttons[][2] = {{"cmdOK", "确定"}, {"cmdCancel", "取消"}, {"cmdApply", "应用(&A)"}};
  for (int i = 0; i < 3; ++i) {
    auto& b = form.Add(buttons[i][0], {}, ControlKind::Button);
    b.Move(196 + 92 * i, 292, 82, 26);
    b.caption = buttons[i][1];
  }
  return form;
}

}  // namespace

BA3::BA3(ProgramFolder folder, std::string defaultFolder, Ba3Ports ports)
    : forms::Form("BA3"),
      d_z(CreateBa3Controls(*this), "d_z"),
      p1(*this, "p1"),
      Check1(*this, "Check1"),
      bb(C("bb")),
      Text1(C("Text1")),
      Command1(C("Command1")),
      cmdOK(C("cmdOK")),
      cmdCancel(C("cmdCancel")),
      cmdApply(C("cmdApply")),
      folder_(std::move(folder)),
      defaultFolder_(std::move(defaultFolder)),
      ports_(ports) {
  auto onClick = [](auto action) {
    return [action](const forms::InputEvent& e) {
      if (e.kind == forms::InputEvent::Click) action(e);
    };
  };
  input.Route(d_z, onClick([this](const forms::InputEvent& e) { d_z_Click(*e.control->index); }));
  input.Route(Check1, onClick([this](const forms::InputEvent& e) {
                auto& box = Check1[*e.control->index];
                box.checked = !box.checked;
              }));
  input.Route(Command1, onClick([this](const forms::InputEvent&) { Command1_Click(); }));
  input.Route(cmdOK, onClick([this](const forms::InputEvent&) { cmdOK_Click(); }));
  input.Route(cmdCancel, onClick([this](const forms::InputEvent&) { cmdCancel_Click(); }));
  input.Route(cmdApply, onClick([this](const forms::InputEvent&) { cmdApply_Click(); }));
  input.RouteForm([this](const forms::InputEvent& e) {
    if (e.kind == forms::InputEvent::CloseRequested) Unload();
  });
}

}  // namespace tavlin::settings
