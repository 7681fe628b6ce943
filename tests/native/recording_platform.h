// A dialog platform without an operating system, for the native tests: it
// hands out control numbers, reports required sizes set by the test, and
// records what the engine asked for.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "dialog/description.h"

struct RecordedControl {
  int kind = 0;
  std::string text;
  uint32_t flags = 0;
  ControlRequest request = {};
  int list = 0;  // the control whose child list was open at creation, 0 for the window
  int x = 0, y = 0, w = 0, h = 0;
  int resizes = 0;
  bool disabled = false, hidden = false;
  int radioGroup = 0;  // options: groups are separated by endRadioGroup
  std::vector<std::pair<int, intptr_t>> events;
};

struct Recording {
  std::vector<RecordedControl> controls;  // control n is controls[n - 1]
  std::vector<int> openLists;
  std::map<int, std::pair<int, int>> requiredByKind;  // NodeKind -> size
  std::vector<int> failingKinds;
  int radioGroup = 0;
  int windowW = 0, windowH = 0, windowResizes = 0, centered = 0;
  bool windowOpen = false, windowShown = false;
  int bounds[4] = {0, 0, 0, 0};
  int listRow = 0, listFrame = 0, thinBorder = 1, caption = 13, panelTabs = 20;

  RecordedControl& Control(int n) { return controls.at((size_t)n - 1); }
};

inline Recording g_recording;

namespace recording {
inline int OpenWindow(int, int, int, int w, int h, const char*, uint32_t, int) {
  g_recording.windowOpen = true;
  g_recording.windowW = w, g_recording.windowH = h;
  return 77;
}
inline void CloseWindow(int) { g_recording.windowOpen = false; }
inline void InnerSize(int, int* w, int* h) { *w = g_recording.windowW, *h = g_recording.windowH; }
inline void ResizeWindow(int, int w, int h) {
  g_recording.windowW = w, g_recording.windowH = h;
  g_recording.windowResizes++;
}
inline void Bounds(int, int a, int b, int c, int d) {
  g_recording.bounds[0] = a, g_recording.bounds[1] = b, g_recording.bounds[2] = c, g_recording.bounds[3] = d;
}
inline void Center(int, int) { g_recording.centered++; }
inline void Show(int) { g_recording.windowShown = true; }
inline int Create(const ControlRequest& r) {
  for (int k : g_recording.failingKinds)
    if (k == r.kind) return 0;
  RecordedControl c;
  c.kind = r.kind, c.text = r.text ? r.text : "", c.flags = r.flags, c.request = r;
  c.request.text = nullptr;
  c.list = g_recording.openLists.empty() ? 0 : g_recording.openLists.back();
  c.radioGroup = g_recording.radioGroup;
  g_recording.controls.push_back(c);
  return (int)g_recording.controls.size();
}
inline void OpenList(int control) { g_recording.openLists.push_back(control); }
inline void CloseList() {
  if (!g_recording.openLists.empty()) g_recording.openLists.pop_back();
}
inline void EndRadioGroup() { g_recording.radioGroup++; }
inline int AddPage(int, const char* title) {
  ControlRequest r = {};
  r.kind = NODE_CONTAINER, r.text = title;
  return Create(r);
}
inline int Pane(int, int) {
  ControlRequest r = {};
  r.kind = NODE_CONTAINER, r.text = "pane";
  return Create(r);
}
inline void Disable(int c) { g_recording.Control(c).disabled = true; }
inline void Hide(int c, bool hidden) { g_recording.Control(c).hidden = hidden; }
inline void SetText(int c, const char* text) { g_recording.Control(c).text = text; }
inline void Bind(int c, int type, intptr_t p) { g_recording.Control(c).events.push_back({type, p}); }
inline void Resize(int c, int x, int y, int w, int h) {
  RecordedControl& r = g_recording.Control(c);
  r.x = x, r.y = y, r.w = w, r.h = h;
  r.resizes++;
}
// A control created with a font of its own measures twice its kind's size.
inline void Required(int c, int kind, uint32_t, int* w, int* h) {
  auto it = g_recording.requiredByKind.find(kind);
  int scale = g_recording.Control(c).request.font ? 2 : 1;
  *w = it == g_recording.requiredByKind.end() ? 0 : scale * it->second.first;
  *h = it == g_recording.requiredByKind.end() ? 0 : scale * it->second.second;
}
inline void ListRow(int, int* row, int* frame) { *row = g_recording.listRow, *frame = g_recording.listFrame; }
inline int ThinBorder() { return g_recording.thinBorder; }
inline int Caption(int) { return g_recording.caption; }
inline int PanelTabs(int) { return g_recording.panelTabs; }
inline void PageSize(int panel, int* w, int* h) {
  RecordedControl& p = g_recording.Control(panel);
  *w = p.w - 4, *h = p.h - g_recording.panelTabs - 2;
}
inline void InnerAreaSize(int c, int w, int h) {
  RecordedControl& r = g_recording.Control(c);
  if (w != kAutoLength) r.request.innerWidth = w;
  if (h != kAutoLength) r.request.innerHeight = h;
}
inline void SplitterMinimum(int c, int pane, int minimum) {
  (pane == 0 ? g_recording.Control(c).request.firstMinimum : g_recording.Control(c).request.secondMinimum) = minimum;
}
inline void PaneSize(int c, int pane, int* w, int* h) {
  RecordedControl& s = g_recording.Control(c);
  *w = pane == 0 ? s.w / 2 : s.w - s.w / 2;
  *h = s.h;
}
}  // namespace recording

inline const DialogPlatform kRecordingPlatform = {
    recording::OpenWindow,   recording::CloseWindow,  recording::InnerSize,      recording::ResizeWindow,
    recording::Bounds,       recording::Center,       recording::Show,           recording::Create,
    recording::OpenList,     recording::CloseList,    recording::EndRadioGroup,  recording::AddPage,
    recording::Pane,         recording::Disable,      recording::Hide,           recording::SetText,
    recording::Bind,         recording::Resize,       recording::Required,       recording::ListRow,
    recording::ThinBorder,   recording::Caption,      recording::PanelTabs,      recording::PageSize,
    recording::InnerAreaSize, recording::SplitterMinimum, recording::PaneSize,
};
