#include "runtime/event_queue.h"

#include <stddef.h>

#include <deque>
#include <tuple>
#include <unordered_set>

// The queue is bounded: a program that stops taking events must not make
// the queue grow without end. See OfferWindowEvent in the header for what
// goes when it is full.
static const size_t kMaxPendingEvents = 4096;

// The queue and its state belong to the program's one GUI thread, as its
// windows do.
static std::deque<WindowEvent> g_pending;
static int g_textChangeDepth = 0;
static WindowEvent g_current;
static bool g_hasCurrent = false;

static bool SameEvent(const WindowEvent& a, const WindowEvent& b) {
  return a.code == b.code && a.window == b.window && a.control == b.control && a.type == b.type &&
         a.timer == b.timer;
}

// A button release ends a drag and a close request ends the program: losing
// either would leave a drag running or the window open.
static bool MustKeep(const WindowEvent& e) {
  if (e.code == Event_Close) return true;
  return e.code == Event_Control && (e.type == LeftReleased || e.type == RightReleased || e.type == MiddleReleased);
}

// Makes room in a full queue: the oldest pending event that an equal one
// pending after it supersedes (what coalescing would have merged, had the
// two been adjacent), else the oldest one that may go. False when every
// pending event must be kept.
static bool DropOnePending() {
  typedef std::tuple<int, int, int, int, int> Key;
  struct KeyHash {
    size_t operator()(const Key& k) const {
      return (size_t)std::get<0>(k) * 31u ^ (size_t)std::get<1>(k) * 1009u ^ (size_t)std::get<2>(k) * 65599u ^
             (size_t)std::get<3>(k) * 2654435761u ^ (size_t)std::get<4>(k);
    }
  };
  std::unordered_set<Key, KeyHash> later;
  size_t superseded = g_pending.size(), droppable = g_pending.size();
  for (size_t i = g_pending.size(); i-- > 0;) {
    const WindowEvent& e = g_pending[i];
    Key key(e.code, e.window, e.control, e.type, e.timer);
    if (!MustKeep(e)) {
      droppable = i;
      if (later.count(key)) superseded = i;
    }
    later.insert(key);
  }
  size_t victim = superseded < g_pending.size() ? superseded : droppable;
  if (victim == g_pending.size()) return false;
  g_pending.erase(g_pending.begin() + (ptrdiff_t)victim);
  return true;
}

bool OfferWindowEvent(const WindowEvent& event) {
  if (event.code == Event_Control && g_textChangeDepth > 0) return false;
  if (!g_pending.empty() && SameEvent(g_pending.back(), event)) {
    g_pending.back().data = event.data;
    return true;
  }
  if (g_pending.size() >= kMaxPendingEvents && !DropOnePending() && !MustKeep(event)) return false;
  g_pending.push_back(event);
  return true;
}

bool TakeWindowEvent(WindowEvent* event) {
  if (g_pending.empty()) return false;
  *event = g_pending.front();
  g_pending.pop_front();
  SetCurrentWindowEvent(event);
  return true;
}

const WindowEvent* CurrentWindowEvent() { return g_hasCurrent ? &g_current : nullptr; }

void SetCurrentWindowEvent(const WindowEvent* event) {
  g_hasCurrent = event != nullptr;
  if (event) g_current = *event;
}

int PendingWindowEventCount() { return (int)g_pending.size(); }
void ClearWindowEvents() { g_pending.clear(); }

void BeginProgramTextChange() { g_textChangeDepth++; }
void EndProgramTextChange() {
  if (g_textChangeDepth > 0) g_textChangeDepth--;
}
bool ProgramTextChangeActive() { return g_textChangeDepth > 0; }
